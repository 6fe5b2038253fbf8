// One libmosquitto client as the station's publisher and the fleet's collector both set
// it up: the library started once, the account and the trust of an MqttAddress, back-off
// between reconnections (1 s doubling up to 30 s), connecting and reconnecting on
// libmosquitto's own thread, and the end in order. The owner sets its callbacks and
// publishes and subscribes on handle().
#pragma once

#include <optional>
#include <string>

#include "mqtt_address.h"

struct mosquitto;

namespace radmon {

class MqttClient {
 public:
  static constexpr int kKeepAliveSeconds = 30;

  // A client named `id` whose callbacks get `self`; a lasting session at the broker when
  // `cleanSession` is false. handle() is null when libmosquitto cannot make one (errno
  // says why).
  MqttClient(const std::string& id, bool cleanSession, void* self);
  ~MqttClient();
  MqttClient(const MqttClient&) = delete;
  MqttClient& operator=(const MqttClient&) = delete;

  mosquitto* handle() const { return client_; }

  // The account (`password` empty: none) and, for mqtts://, the trust: `caFile`, else the
  // system's certificate store. libmosquitto's words when it refuses.
  std::optional<std::string> setUp(const MqttAddress& address, const std::string& password,
                                   const std::string& caFile);
  // Starts connecting on libmosquitto's thread: a broker that is not there yet is no
  // error, the thread keeps trying. libmosquitto's words when the thread cannot start.
  std::optional<std::string> start(const MqttAddress& address);
  // Disconnects and waits for the thread to end; the client may be started again.
  void stop();

 private:
  mosquitto* client_ = nullptr;
  bool started_ = false;
};

}  // namespace radmon
