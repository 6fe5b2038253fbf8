#include "map_sender.h"

#include <curl/curl.h>

#include <algorithm>
#include <utility>

#include "text_files.h"

namespace radmon {
namespace {

constexpr int kMaxBackoffMinutes = 30;

constexpr size_t kAnswerKept = 4096;  // enough of a body for the words that judge it
constexpr size_t kAnswerTold = 80;    // of an unexpected answer, for the log

size_t keepAnswer(char* data, size_t size, size_t count, void* body) {
  auto& text = *static_cast<std::string*>(body);
  text.append(data, std::min(size * count, kAnswerKept - std::min(text.size(), kAnswerKept)));
  return size * count;
}

// The first line of an answer, cut short and without control characters, for the log.
std::string answerStart(const std::string& body) {
  std::string out;
  for (const char c : body.substr(0, body.find_first_of("\r\n"))) {
    if (out.size() >= kAnswerTold) break;
    out += static_cast<unsigned char>(c) < 0x20 ? ' ' : c;
  }
  return out;
}

// The account a refusal names, as the operator typed it.
std::string refusedAccount(MapAnswer answer, const MapsSettings& s) {
  switch (answer) {
    case MapAnswer::WrongPassword:
    case MapAnswer::UnknownUser:
      return s.radmon.user;
    case MapAnswer::UnknownAccount:
      return s.gmcmap.account;
    case MapAnswer::UnknownCounter:
      return s.gmcmap.geiger;
    default:
      return "";
  }
}

int abortWhenAsked(void* flag, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
  return static_cast<std::atomic<bool>*>(flag)->load() ? 1 : 0;
}

// Sends the request; the outcome as the service's answer tells it.
MapOutcome perform(MapService service, const MapsSettings& settings, const MapRequest& request,
                   std::atomic<bool>& abort) {
  MapOutcome outcome;
  std::string body;
  CURL* curl = curl_easy_init();
  if (!curl) return {MapService::Radmon, MapOutcome::Unreachable, CURLE_FAILED_INIT, 0};
  curl_easy_setopt(curl, CURLOPT_URL, request.url.c_str());
  curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, 10L);
  curl_easy_setopt(curl, CURLOPT_TIMEOUT, 20L);
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, keepAnswer);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, &body);
  curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
  curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, abortWhenAsked);
  curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &abort);
  curl_easy_setopt(curl, CURLOPT_USERAGENT, "radmon-ratemon");
  curl_slist* headers = nullptr;
  if (request.method == "POST") {
    headers = curl_slist_append(headers, ("Content-Type: " + request.contentType).c_str());
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
    curl_easy_setopt(curl, CURLOPT_POSTFIELDS, request.body.c_str());
    curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE, static_cast<long>(request.body.size()));
  }
  const CURLcode code = curl_easy_perform(curl);
  long status = 0;
  curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
  curl_slist_free_all(headers);
  curl_easy_cleanup(curl);
  if (code != CURLE_OK) {
    outcome.kind = MapOutcome::Unreachable;
    outcome.detail = code;
  } else if (const MapAnswer answer = judgeAnswer(service, status, body);
             answer != MapAnswer::Taken) {
    outcome.kind = MapOutcome::Refused;
    outcome.detail = status;
    outcome.answer = answer;
    outcome.account = refusedAccount(answer, settings);
    if (answer == MapAnswer::Unexpected) outcome.said = answerStart(body);
  }
  return outcome;
}

}  // namespace

std::string mapQueuePath(const std::string& folder, MapService service) {
  return folder + "ratemon_maps_" + std::string(mapServiceKey(service)) + "_queue.txt";
}

MapSender::MapSender(std::string folder, MapsSettings settings)
    : folder_(std::move(folder)), settings_(std::move(settings)) {
  for (const MapService service : kMapServices) {
    if (!settings_.on(service)) continue;
    Service& s = services_[service];
    if (const auto text = readTextFile(mapQueuePath(folder_, service)))
      for (const std::string_view line : textLines(*text))
        if (auto reading = readQueueLine(trimmed(line))) s.queue.push_back(std::move(*reading));
    s.stale = !s.queue.empty();
  }
  if (!services_.empty()) {
    curl_global_init(CURL_GLOBAL_DEFAULT);
    thread_ = std::thread([this] { run(); });
  }
}

void MapSender::add(const MapReading& reading) {
  if (services_.empty()) return;
  {
    std::lock_guard lock(mutex_);
    if (stopping_) return;
    now_ = std::max(now_, reading.utcSeconds);
    ++added_;
    cpmSum_ += static_cast<double>(reading.cpm);
    ++minutes_;
    MapReading averaged = reading;
    averaged.acpm = cpmSum_ / static_cast<double>(minutes_);
    for (auto& [service, s] : services_) {
      s.queue.push_back(averaged);
      s.dirty = true;
    }
  }
  wake_.notify_all();
}

std::optional<int64_t> MapSender::newest() const {
  std::lock_guard lock(mutex_);
  return now_ == 0 ? std::nullopt : std::optional<int64_t>(now_);
}

std::vector<MapOutcome> MapSender::takeOutcomes() {
  std::lock_guard lock(mutex_);
  return std::exchange(outcomes_, {});
}

std::map<MapService, std::optional<MapOutcome>> MapSender::status() const {
  std::lock_guard lock(mutex_);
  std::map<MapService, std::optional<MapOutcome>> status;
  for (const auto& [service, s] : services_) status[service] = s.last;
  return status;
}

void MapSender::persist(MapService service, Service& s) {
  if (!s.dirty) return;
  s.dirty = false;
  std::string text;
  for (const MapReading& r : s.queue) text += queueLine(r) + "\n";
  // A lost queue file loses no reading now; the next change writes it again.
  if (!writeTextFile(mapQueuePath(folder_, service), text, true)) s.dirty = true;
}

bool MapSender::tryOne(MapService service, std::unique_lock<std::mutex>& lock) {
  Service& s = services_[service];
  // Nothing goes before this run has recorded a minute: a backlog's newest is then known.
  if (now_ == 0 || s.queue.empty() || (s.failures > 0 && now_ < s.nextTry)) return false;
  // A backlog that a failure or an earlier run left is old news to a service of the
  // current reading: it gets the newest, and the rest are skipped once that went. A few
  // minutes that came while a request was under way are not old news.
  const bool newestOnly =
      !takesPastReadings(service) && (s.failures > 0 || s.stale) && s.queue.size() > 1;
  // Minutes only join at the back meanwhile, so the one sent keeps its place.
  const size_t chosen = newestOnly ? s.queue.size() - 1 : 0;
  persist(service, s);
  const MapRequest request = mapRequest(service, settings_, s.queue[chosen]);
  inFlight_ = true;
  lock.unlock();
  MapOutcome outcome = perform(service, settings_, request, abort_);
  lock.lock();
  inFlight_ = false;
  if (abort_) return false;  // cut off at the end: the minute stays queued
  outcome.service = service;
  if (outcome.kind == MapOutcome::Sent) {
    if (chosen > 0) outcomes_.push_back({service, MapOutcome::Skipped, 0, chosen});
    s.queue.erase(s.queue.begin(), s.queue.begin() + static_cast<long>(chosen) + 1);
    s.stale = false;
    s.dirty = true;
    s.failures = 0;
    ++sent_;
    persist(service, s);
  } else {
    s.failures = std::min(s.failures + 1, 8);
    s.nextTry = now_ + 60 * std::min(1 << (s.failures - 1), kMaxBackoffMinutes);
  }
  outcome.count = s.queue.size();
  s.last = outcome;
  outcomes_.push_back(outcome);
  return outcome.kind == MapOutcome::Sent;
}

void MapSender::run() {
  std::unique_lock lock(mutex_);
  while (true) {
    // A minute added while a request was under way is not missed by the wait below.
    const uint64_t seen = added_;
    bool sent = false;
    for (const MapService service : kMapServices)
      if (services_.count(service) && !abort_) sent = tryOne(service, lock) || sent;
    for (auto& [service, s] : services_) persist(service, s);
    if (abort_) break;
    if (sent) continue;
    if (stopping_) break;
    wake_.wait(lock, [&] { return added_ != seen || stopping_; });
  }
  for (auto& [service, s] : services_) persist(service, s);
}

std::map<MapService, size_t> MapSender::finish(std::chrono::milliseconds drain) {
  std::map<MapService, size_t> left;
  if (!thread_.joinable()) {
    for (const auto& [service, s] : services_) left[service] = s.queue.size();
    return left;
  }
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_all();
  // What is due goes out while it keeps going out: the drain is the longest wait for the
  // next minute to go, and a long backlog stops at ten drains (it waits in the files).
  auto deadline = std::chrono::steady_clock::now() + drain;
  const auto last = std::chrono::steady_clock::now() + 10 * drain;
  size_t sent = 0;
  while (std::chrono::steady_clock::now() < std::min(deadline, last)) {
    {
      std::lock_guard lock(mutex_);
      bool due = false;
      for (const auto& [service, s] : services_) due = due || (!s.queue.empty() && s.failures == 0);
      // A request under way is let finish: cut off, a minute the service took would go
      // again at the next start.
      if (!due && !inFlight_) break;
      if (sent_ != sent) deadline = std::chrono::steady_clock::now() + drain;
      sent = sent_;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  abort_ = true;
  wake_.notify_all();
  thread_.join();
  for (const auto& [service, s] : services_) left[service] = s.queue.size();
  return left;
}

}  // namespace radmon
