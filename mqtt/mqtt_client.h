// One libmosquitto client as the station's publisher and the fleet's collector both set
// it up: the library started once, the account and the trust of an MqttAddress, back-off
// between reconnections (1 s doubling up to 30 s), connecting and reconnecting on
// libmosquitto's own thread, and the end in order. The owner sets its callbacks and
// publishes and subscribes on handle().
#pragma once

#include <expected>
#include <string>

#include "mqtt_address.h"

struct mosquitto;

namespace radmon {

class MqttClient {
 public:
  static constexpr int kKeepAliveSeconds = 30;

  // Callbacks get `self`; handle() is null when none can be made (errno says why).
  MqttClient(const std::string& id, bool cleanSession, void* self);
  ~MqttClient();
  MqttClient(const MqttClient&) = delete;
  MqttClient& operator=(const MqttClient&) = delete;

  mosquitto* handle() const { return client_; }

  // The account and, for mqtts://, the trust (`caFile`, else the system's store); empty
  // texts are none. libmosquitto's words when it refuses, as for start().
  std::expected<void, std::string> setUp(const MqttAddress& address, const std::string& password,
                                         const std::string& caFile);
  // A broker that is not there yet is no error: the thread keeps trying.
  std::expected<void, std::string> start(const MqttAddress& address);
  // Disconnects and waits for the thread to end; the client may be started again.
  void stop();

 private:
  mosquitto* client_ = nullptr;
  bool started_ = false;
};

}  // namespace radmon
