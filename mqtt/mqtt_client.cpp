#include "mqtt_client.h"

#include <mosquitto.h>

#include <mutex>

namespace radmon {

MqttClient::MqttClient(const std::string& id, bool cleanSession, void* self) {
  static std::once_flag once;
  std::call_once(once, [] { mosquitto_lib_init(); });
  client_ = mosquitto_new(id.c_str(), cleanSession, self);
  if (client_) mosquitto_reconnect_delay_set(client_, 1, 30, true);
}

MqttClient::~MqttClient() {
  stop();
  if (client_) mosquitto_destroy(client_);
}

std::expected<void, std::string> MqttClient::setUp(const MqttAddress& address,
                                                   const std::string& password,
                                                   const std::string& caFile) {
  if (!address.user.empty()) {
    const int rc = mosquitto_username_pw_set(client_, address.user.c_str(),
                                             password.empty() ? nullptr : password.c_str());
    if (rc != MOSQ_ERR_SUCCESS) return std::unexpected(mosquitto_strerror(rc));
  }
  if (address.tls) {
    const int rc = caFile.empty() ? mosquitto_int_option(client_, MOSQ_OPT_TLS_USE_OS_CERTS, 1)
                                  : mosquitto_tls_set(client_, caFile.c_str(), nullptr, nullptr,
                                                      nullptr, nullptr);
    if (rc != MOSQ_ERR_SUCCESS) return std::unexpected(mosquitto_strerror(rc));
  }
  return {};
}

std::expected<void, std::string> MqttClient::start(const MqttAddress& address) {
  mosquitto_connect_async(client_, address.host.c_str(), address.port, kKeepAliveSeconds);
  const int rc = mosquitto_loop_start(client_);
  if (rc != MOSQ_ERR_SUCCESS) return std::unexpected(mosquitto_strerror(rc));
  started_ = true;
  return {};
}

void MqttClient::stop() {
  if (!started_) return;
  mosquitto_disconnect(client_);
  mosquitto_loop_stop(client_, false);
  started_ = false;
}

}  // namespace radmon
