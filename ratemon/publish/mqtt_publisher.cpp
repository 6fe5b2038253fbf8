#include "mqtt_publisher.h"

#include <mosquitto.h>

#include <algorithm>
#include <cstring>
#include <mutex>
#include <utility>

#include "discovery.h"

namespace radmon {
namespace {

// Records sent before their acknowledgements come back; the rest wait in our queue,
// so that after a reconnection little is sent twice. Wide enough that a station catching
// up a day on a busy broker is done within the wait at the end of a run.
constexpr size_t kWindow = 100;
// The acknowledged record is written at most this often while acknowledgements flow.
constexpr auto kSaveInterval = std::chrono::seconds(1);

bool isFailure(LinkState s) {
  return s == LinkState::BadLogin || s == LinkState::Refused || s == LinkState::TlsFailed;
}

}  // namespace

MqttPublisher::MqttPublisher(PublisherOptions options) : options_(std::move(options)) {
  if (options_.stationId.empty()) options_.stationId = stationId(options_.stationName);
  const std::string& prefix = options_.address.prefix;
  stateTopic_ = prefix + "/state";
  liveTopic_ = prefix + "/live";
  availabilityTopic_ = prefix + "/availability";
  resendTopic_ = prefix + "/resend";
  resentTopic_ = prefix + "/resent";
}

MqttPublisher::~MqttPublisher() { finish(std::chrono::milliseconds(0)); }

std::expected<void, std::string> MqttPublisher::start(const std::vector<StoredRecord>& backlog) {
  {
    std::lock_guard lock(mutex_);
    for (const StoredRecord& r : backlog) {
      // The day files keep no alarm state; a caught-up record reports none.
      const auto state = stateFromLine(r.line, false, false, lastMoment_);
      if (!state) continue;
      lastMoment_ = utcSeconds(*state);
      queue_.push_back({r, stateJson(*state), state->isoTime()});
    }
    status_.waiting = queue_.size();
  }
  link_ = std::make_unique<MqttClient>("radmon-" + options_.stationId, true, this);
  mosquitto* client = link_->handle();
  if (!client) return std::unexpected("mosquitto_new");
  mosquitto_connect_callback_set(client, &MqttPublisher::onConnect);
  mosquitto_disconnect_callback_set(client, &MqttPublisher::onDisconnect);
  mosquitto_publish_callback_set(client, &MqttPublisher::onPublish);
  mosquitto_log_callback_set(client, &MqttPublisher::onLog);
  mosquitto_message_callback_set(client, &MqttPublisher::onMessage);
  mosquitto_int_option(client, MOSQ_OPT_SEND_MAXIMUM, static_cast<int>(kWindow));
  mosquitto_will_set(client, availabilityTopic_.c_str(), static_cast<int>(strlen(kOffline)),
                     kOffline, 1, true);
  if (auto set = link_->setUp(options_.address, options_.password, options_.caFile); !set)
    return set;
  {
    std::lock_guard lock(mutex_);
    noteLocked(LinkState::Connecting, addressText(options_.address));
  }
  if (auto running = link_->start(options_.address); !running) return running;
  started_ = true;
  return {};
}

mosquitto* MqttPublisher::client() const { return link_->handle(); }

void MqttPublisher::publishRecord(const StoredRecord& record, bool alarm1, bool alarm2,
                                  std::optional<std::string> health,
                                  std::optional<RecordBounds> bounds) {
  std::lock_guard lock(mutex_);
  // In the hour repeated when the clocks go back, the second pass keeps its own moment.
  auto state = stateFromLine(record.line, alarm1, alarm2, lastMoment_);
  if (!state) return;
  lastMoment_ = utcSeconds(*state);
  state->health = std::move(health);
  state->bounds = bounds;
  queue_.push_back({record, stateJson(*state), state->isoTime()});
  status_.waiting = queue_.size();
  sendDueLocked();
}

bool MqttPublisher::publishLive(const LocalDateTime& when, float doseRate, int64_t cpm) {
  std::lock_guard lock(mutex_);
  if (!connected_) return false;
  const std::string payload = liveJson(when, doseRate, cpm);
  return mosquitto_publish(client(), nullptr, liveTopic_.c_str(), static_cast<int>(payload.size()),
                           payload.data(), 0, false) == MOSQ_ERR_SUCCESS;
}

std::vector<LinkEvent> MqttPublisher::takeEvents() {
  std::lock_guard lock(mutex_);
  noteUnreachableLocked(kUnreachableAfter);
  return std::exchange(events_, {});
}

void MqttPublisher::noteUnreachableLocked(std::chrono::steady_clock::duration after) {
  const bool waiting = status_.state == LinkState::Connecting || status_.state == LinkState::Lost;
  if (started_ && waiting && std::chrono::steady_clock::now() - stateSince_ >= after)
    noteLocked(LinkState::Unreachable, addressText(options_.address));
}

LinkStatus MqttPublisher::status() const {
  std::lock_guard lock(mutex_);
  return status_;
}

size_t MqttPublisher::finish(std::chrono::milliseconds wait) {
  if (!started_) return status().waiting;
  {
    std::unique_lock lock(mutex_);
    // A broker that is away may come back within the wait; one that refuses will not.
    if (!isFailure(status_.state)) drained_.wait_for(lock, wait, [&] { return queue_.empty(); });
    // A run shorter than kUnreachableAfter still learns that no broker answered.
    if (!queue_.empty()) noteUnreachableLocked(std::chrono::seconds(0));
    // Said before the disconnection, and acknowledged, so the broker never adds its
    // last will to it.
    if (connected_ && mosquitto_publish(client(), &offlineMid_, availabilityTopic_.c_str(),
                                        static_cast<int>(strlen(kOffline)), kOffline, 1,
                                        true) == MOSQ_ERR_SUCCESS)
      drained_.wait_for(lock, std::chrono::seconds(1),
                        [&] { return offlineMid_ == 0 || !connected_; });
  }
  link_->stop();
  started_ = false;
  saveAcked(true);
  std::lock_guard lock(mutex_);
  connected_ = false;
  noteLocked(LinkState::Closed, "");
  return queue_.size();
}

void MqttPublisher::sendDueLocked() {
  if (!connected_) return;
  for (Entry& e : queue_) {
    if (inFlight_ >= kWindow) break;
    if (e.mid != 0 || e.acked) continue;
    int mid = 0;
    const int rc = mosquitto_publish(client(), &mid, stateTopic_.c_str(),
                                     static_cast<int>(e.payload.size()), e.payload.data(), 1, true);
    if (rc != MOSQ_ERR_SUCCESS) break;  // sent again after the reconnection
    e.mid = mid;
    ++inFlight_;
  }
}

void MqttPublisher::noteLocked(LinkState state, std::string detail) {
  if (state == status_.state && detail.empty()) return;
  status_.state = state;
  stateSince_ = std::chrono::steady_clock::now();
  events_.push_back({state, std::move(detail)});
}

void MqttPublisher::saveAcked(bool force) {
  if (options_.ackedFile.empty()) return;
  std::lock_guard fileLock(fileMutex_);
  if (!acked_) return;
  const auto now = std::chrono::steady_clock::now();
  if (!force && now - lastSave_ < kSaveInterval) return;
  lastSave_ = now;
  // A record that cannot be remembered is published once more next run; the consumer
  // keys it by its time.
  saveAckedRecord(options_.ackedFile, *acked_);
  acked_.reset();
}

void MqttPublisher::onConnect(mosquitto*, void* self, int rc) {
  auto* p = static_cast<MqttPublisher*>(self);
  std::lock_guard lock(p->mutex_);
  // mosquitto answers a wrong password with "not authorised" (5), others with 4.
  if (rc != 0)
    return p->noteLocked(rc == 4 || rc == 5 ? LinkState::BadLogin : LinkState::Refused,
                         mosquitto_connack_string(rc));
  p->connected_ = true;
  p->inFlight_ = 0;
  p->noteLocked(LinkState::Connected, "");
  mosquitto_publish(p->client(), nullptr, p->availabilityTopic_.c_str(),
                    static_cast<int>(strlen(kOnline)), kOnline, 1, true);
  const DiscoveryStation station{p->options_.stationId, p->options_.stationName,
                                 p->options_.address.prefix};
  std::vector<TopicMessage> discovery =
      discoveryMessages(station, p->options_.discoveryPrefix, p->options_.names);
  // What an earlier ratemon announced under the name's id goes away, once.
  if (p->options_.clearFormerDiscovery && !std::exchange(p->formerCleared_, true))
    for (TopicMessage& m : formerDiscoveryClears(station, p->options_.discoveryPrefix))
      discovery.insert(discovery.begin(), std::move(m));
  for (const TopicMessage& m : discovery)
    mosquitto_publish(p->client(), nullptr, m.topic.c_str(), static_cast<int>(m.payload.size()),
                      m.payload.empty() ? nullptr : m.payload.data(), 1, true);
  if (!p->options_.dayFolder.empty())
    mosquitto_subscribe(p->client(), nullptr, p->resendTopic_.c_str(), 1);
  p->sendDueLocked();
}

void MqttPublisher::onMessage(mosquitto*, void* self, const mosquitto_message* m) {
  auto* p = static_cast<MqttPublisher*>(self);
  if (p->options_.dayFolder.empty() || m->topic != p->resendTopic_) return;
  const auto span = parseResendJson(
      std::string_view(static_cast<const char*>(m->payload), static_cast<size_t>(m->payloadlen)));
  if (!span) return;
  {
    std::lock_guard lock(p->mutex_);
    const auto now = std::chrono::steady_clock::now();
    // A collector that asks too often is answered at this pace; it asks again.
    if (now - p->lastResend_ < kResendInterval) return;
    p->lastResend_ = now;
  }
  // Read on libmosquitto's thread, never the measuring one; a line being appended meanwhile
  // is no record yet and comes with the next request.
  for (const RecordState& state :
       recordsBetween(p->options_.dayFolder, span->from, span->to,
                      span->most > 0 ? std::min<size_t>(kResendMost, span->most) : kResendMost)) {
    const std::string payload = stateJson(state);
    mosquitto_publish(p->client(), nullptr, p->resentTopic_.c_str(),
                      static_cast<int>(payload.size()), payload.data(), 1, false);
  }
}

void MqttPublisher::onDisconnect(mosquitto*, void* self, int rc) {
  auto* p = static_cast<MqttPublisher*>(self);
  std::lock_guard lock(p->mutex_);
  p->connected_ = false;
  // What was in flight goes again, in order, on the next connection.
  for (Entry& e : p->queue_) e.mid = 0;
  p->inFlight_ = 0;
  p->drained_.notify_all();
  if (rc != 0 && !isFailure(p->status_.state)) p->noteLocked(LinkState::Lost, "");
}

void MqttPublisher::onPublish(mosquitto*, void* self, int mid) {
  auto* p = static_cast<MqttPublisher*>(self);
  {
    std::lock_guard lock(p->mutex_);
    if (mid == p->offlineMid_) {
      p->offlineMid_ = 0;
      p->drained_.notify_all();
      return;
    }
    const auto it = std::find_if(p->queue_.begin(), p->queue_.end(),
                                 [&](const Entry& e) { return e.mid == mid && !e.acked; });
    if (it == p->queue_.end()) return;  // availability, discovery or an earlier connection
    it->acked = true;
    if (p->inFlight_ > 0) --p->inFlight_;
    std::optional<Entry> newest;
    while (!p->queue_.empty() && p->queue_.front().acked) {
      newest = std::move(p->queue_.front());
      p->queue_.pop_front();
    }
    if (newest) {
      p->status_.lastAcknowledged = newest->time;
      std::lock_guard fileLock(p->fileMutex_);
      p->acked_ = newest->record;
    }
    p->status_.waiting = p->queue_.size();
    p->sendDueLocked();
    if (p->queue_.empty()) p->drained_.notify_all();
  }
  p->saveAcked(false);
}

void MqttPublisher::onLog(mosquitto*, void* self, int level, const char* text) {
  if (level != MOSQ_LOG_ERR || !text) return;
  auto* p = static_cast<MqttPublisher*>(self);
  std::lock_guard lock(p->mutex_);
  const std::string line = text;
  if (p->status_.state == LinkState::TlsFailed) return;
  if (line.find("OpenSSL") != std::string::npos || line.find("certificate") != std::string::npos)
    // Every attempt fails the same way; told once.
    p->noteLocked(LinkState::TlsFailed, line);
}

}  // namespace radmon
