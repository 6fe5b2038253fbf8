// Publishes a station's records to an MQTT broker with libmosquitto, without ever
// making the measuring chain wait for the network.
//
// Threading: publishRecord, publishLive, takeEvents and status are called on the
// measuring thread and only take a short lock: records are handed over through a
// queue, and libmosquitto's own thread (mosquitto_loop_start) connects, reconnects
// with back-off, sends and receives the acknowledgements. finish() is the one call
// that waits, for a bounded time, at the end of a run.
//
// Nothing is lost: every record is published with QoS 1 and retained, and stays in the
// queue until the broker acknowledges it; after a reconnection the queue is published
// again oldest first. A consumer may see a record twice and keys it by its time. The
// last acknowledged record is kept in a file so that the next run catches up from the
// day files (acked_record.h).
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "acked_record.h"
#include "discovery.h"
#include "local_time.h"
#include "mqtt_address.h"
#include "mqtt_client.h"
#include "state_message.h"

struct mosquitto;
struct mosquitto_message;

namespace radmon {

struct PublisherOptions {
  MqttAddress address;
  std::string password;     // the url's or the settings file's; empty: none
  std::string caFile;       // for mqtts://; empty: the system's certificate store
  std::string stationId;    // station_identity.h; empty: made from the name
  std::string stationName;  // what Home Assistant shows
  // The id is new: clear the discovery that earlier ratemons made from the name, at the
  // run's first connection.
  bool clearFormerDiscovery = false;
  std::string discoveryPrefix = "homeassistant";  // "off": no discovery
  std::string ackedFile;                          // empty: nothing is remembered across runs
  DiscoveryNames names;  // the entities' names, as the station's operator reads them
  // The day files, from which a collector's request on prefix/resend is answered on
  // prefix/resent; empty: requests are not answered.
  std::string dayFolder;
};

enum class LinkState {
  Connecting,
  Connected,
  Unreachable,  // no broker has answered at the address for a while
  BadLogin,     // the broker refused the user name or password, or the account
  Refused,      // the broker refused for another reason
  TlsFailed,    // the TLS handshake failed, most often an untrusted certificate
  Lost,         // the connection broke; reconnecting
  Closed,
};

struct LinkEvent {
  LinkState state;
  std::string detail;  // libmosquitto's or OpenSSL's words, for the log
};

struct LinkStatus {
  LinkState state = LinkState::Connecting;
  size_t waiting = 0;            // records not yet acknowledged
  std::string lastAcknowledged;  // time of the newest acknowledged record
};

class MqttPublisher {
 public:
  static constexpr auto kUnreachableAfter = std::chrono::seconds(3);
  // A collector's requests for records again: one span answered at most this often, with
  // at most kResendMost records (the collector asks again for the rest).
  static constexpr auto kResendInterval = std::chrono::milliseconds(500);
  static constexpr size_t kResendMost = 500;

  explicit MqttPublisher(PublisherOptions options);
  ~MqttPublisher();
  MqttPublisher(const MqttPublisher&) = delete;
  MqttPublisher& operator=(const MqttPublisher&) = delete;

  // Queues the records still due from earlier runs and starts connecting; returns
  // libmosquitto's error text when the client cannot even be set up (bad CA file...).
  std::expected<void, std::string> start(const std::vector<StoredRecord>& backlog);

  // A record line just appended to the day file `day`.
  void publishRecord(const StoredRecord& record, bool alarm1, bool alarm2,
                     std::optional<std::string> health = std::nullopt,
                     std::optional<RecordBounds> bounds = std::nullopt);
  // One second's reading on prefix/live; dropped while there is no connection. Whether
  // it was handed to libmosquitto.
  bool publishLive(const LocalDateTime& when, float doseRate, int64_t cpm);

  // What happened on the link since the last call. A broker that has not answered
  // for kUnreachableAfter is told as Unreachable, once, while the attempts go on.
  std::vector<LinkEvent> takeEvents();
  LinkStatus status() const;

  // Waits at most `wait` for the acknowledgements still due, says "offline" and
  // disconnects; the records still waiting are caught up next run. Returns how many.
  size_t finish(std::chrono::milliseconds wait);

 private:
  struct Entry {
    StoredRecord record;
    std::string payload;
    std::string time;
    int mid = 0;  // message id while in flight, 0 when not sent on this connection
    bool acked = false;
  };

  static void onConnect(mosquitto*, void* self, int rc);
  static void onDisconnect(mosquitto*, void* self, int rc);
  static void onPublish(mosquitto*, void* self, int mid);
  static void onLog(mosquitto*, void* self, int level, const char* text);
  static void onMessage(mosquitto*, void* self, const mosquitto_message* message);

  void sendDueLocked();
  void noteLocked(LinkState state, std::string detail);
  void noteUnreachableLocked(std::chrono::steady_clock::duration after);
  void saveAcked(bool force);

  mosquitto* client() const;

  PublisherOptions options_;
  std::string stateTopic_, liveTopic_, availabilityTopic_, resendTopic_, resentTopic_;
  std::unique_ptr<MqttClient> link_;
  bool started_ = false;

  mutable std::mutex mutex_;
  std::condition_variable drained_;
  std::deque<Entry> queue_;
  size_t inFlight_ = 0;
  int offlineMid_ = 0;
  bool connected_ = false;
  bool formerCleared_ = false;
  LinkStatus status_;
  std::vector<LinkEvent> events_;
  std::chrono::steady_clock::time_point stateSince_{};
  std::optional<int64_t> lastMoment_;  // of the record queued last (UTC seconds)
  std::chrono::steady_clock::time_point lastResend_{};

  std::mutex fileMutex_;
  std::optional<AckedRecord> acked_;  // newest acknowledged, not yet saved
  std::chrono::steady_clock::time_point lastSave_{};
};

}  // namespace radmon
