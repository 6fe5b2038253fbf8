// Test support: a real mosquitto broker on 127.0.0.1 at a free port, with a config of
// its own in a temporary folder (an account, TLS), that a test can stop and start
// again on the same port; a subscriber that keeps every message it receives; and the
// program under test started beside them.
#pragma once

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include <sys/types.h>

struct mosquitto;

namespace radmon::testing {

struct BrokerOptions {
  std::string user = {};  // with a password: anonymous clients are refused
  std::string password = {};
  bool tls = false;  // a self-signed certificate for 127.0.0.1 (certificatePath())
  // mosquitto as installed: a listener, the account or allow_anonymous, a log file and
  // nothing else (no persistence, its own queue limits).
  bool plain = false;
};

class LocalBroker {
 public:
  using Options = BrokerOptions;
  LocalBroker() : LocalBroker(Options{}) {}
  explicit LocalBroker(Options options);
  ~LocalBroker();

  bool start();  // false when the broker did not come up within 5 s
  void stop();
  int port() const { return port_; }
  std::string folder() const { return folder_; }
  std::string certificatePath() const { return folder_ + "/cert.pem"; }
  std::string log() const;  // what the broker logged so far

 private:
  Options options_;
  std::string folder_;
  int port_ = 0;
  pid_t pid_ = -1;
};

struct ReceivedMessage {
  std::string topic;
  std::string payload;
  bool retained = false;
  std::chrono::steady_clock::time_point arrived;
};

// The payloads of the messages on `topic`, in the order they came.
std::vector<std::string> payloadsOn(const std::vector<ReceivedMessage>& messages,
                                    const std::string& topic);

class Subscriber {
 public:
  // Subscribes to `filter` with QoS 1 on the broker at 127.0.0.1:port; over TLS
  // trusting `caFile` when one is given.
  Subscriber(int port, const std::string& filter, const std::string& user = "",
             const std::string& password = "", const std::string& caFile = "");
  ~Subscriber();

  // Waits until `done` holds for the messages so far or the time is up.
  bool waitFor(const std::function<bool(const std::vector<ReceivedMessage>&)>& done,
               std::chrono::milliseconds limit);
  std::vector<ReceivedMessage> messages() const;
  std::vector<std::string> payloadsOn(const std::string& topic) const;

 private:
  mosquitto* client_ = nullptr;
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<ReceivedMessage> messages_;
};

// Runs `env exec command` through the shell in `folder`, its stdout and stderr in out.txt
// and err.txt there; the child's pid. waitExit gives its exit status, -1 if it did not exit.
pid_t spawnIn(const std::filesystem::path& folder, const std::string& command,
              const std::string& env = "");
int waitExit(pid_t pid);

}  // namespace radmon::testing
