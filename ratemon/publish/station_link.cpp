#include "station_link.h"

#include <algorithm>

#include "acked_record.h"
#include "day_record.h"
#include "station_identity.h"
#include "text_files.h"

namespace radmon {

StationLink::StationLink(PublisherOptions options, bool live)
    : publisher_(options), address_(addressText(options.address)), live_(live) {}

std::unique_ptr<StationLink> StationLink::open(const std::string& stationFolder,
                                               const std::string& dayFolder,
                                               const LinkChoice& choice, const std::string& today,
                                               std::vector<LinkNotice>& notices) {
  const std::string settingsPath = stationFolder + kMqttSettingsFileName;
  const auto loaded = loadMqttSettings(settingsPath);
  for (const auto& issue : loaded.issues) {
    notices.push_back({LinkNotice::Settings, settingsPath});
    notices.back().settings = issue;
  }
  const MqttSettings& settings = loaded.value;
  const std::string url = choice.url.value_or(settings.url);
  if (url.empty()) return nullptr;
  const auto parsed = parseMqttAddress(url);
  if (!parsed) {
    LinkNotice notice{LinkNotice::BadAddress, url};
    notice.address = parsed.error();
    notices.push_back(notice);
    return nullptr;
  }

  PublisherOptions options;
  options.address = *parsed;
  if (choice.url && options.address.password) notices.push_back({LinkNotice::PasswordShown, ""});
  // The URL's, then the environment's, then the settings file's.
  options.password = options.address.password.value_or(
      choice.password && !choice.password->empty() ? *choice.password : settings.password);
  const std::string idPath = stationFolder + kStationIdFileName;
  const StationIdentity identity = loadStationIdentity(idPath);
  if (identity.outcome == StationIdentity::BadContent) {
    notices.push_back({LinkNotice::BadStationId, idPath});
    return nullptr;
  }
  if (identity.outcome == StationIdentity::NotSaved)
    notices.push_back({LinkNotice::StationIdNotSaved, idPath});
  options.stationId = identity.id;
  options.clearFormerDiscovery = identity.outcome != StationIdentity::Kept;
  options.caFile = settings.caFile;
  options.discoveryPrefix = choice.discovery.value_or(settings.discoveryPrefix);
  options.stationName = settings.stationName;
  options.names = choice.names;
  if (options.stationName.empty()) {
    const std::string& prefix = options.address.prefix;
    options.stationName = prefix.substr(prefix.rfind('/') + 1);
  }
  options.ackedFile = stationFolder + kAckedFileName;
  options.dayFolder = dayFolder;

  // A station that never published starts after what its files already hold.
  std::optional<AckedRecord> acked = loadAckedRecord(options.ackedFile);
  if (!acked) {
    acked = newestRecord(dayFolder, today);
    if (auto saved = saveAckedRecord(options.ackedFile, *acked); !saved)
      notices.push_back({LinkNotice::AckedNotSaved, saved.error()});
  }
  const std::vector<StoredRecord> backlog = recordsAfter(dayFolder, *acked);
  if (!backlog.empty()) {
    LinkNotice notice{LinkNotice::CatchingUp, ""};
    notice.count = backlog.size();
    notices.push_back(notice);
  }

  auto link = std::make_unique<StationLink>(options, settings.live);
  if (auto started = link->publisher_.start(backlog); !started) {
    notices.push_back({LinkNotice::CannotStart, started.error()});
    return nullptr;
  }
  return link;
}

void StationLink::recordWritten(const std::string& line, bool alarm1, bool alarm2,
                                std::optional<std::string> health,
                                std::optional<RecordBounds> bounds) {
  std::string text = line.substr(0, line.find_last_not_of("\r\n") + 1);
  // The line's own date names its day file: both come from one reading of the clock.
  const auto record = parseRecordLine(text);
  const auto when = record ? record->when() : std::nullopt;
  publisher_.publishRecord({when ? when->yyyymmdd() : std::string(), std::move(text)}, alarm1,
                           alarm2, std::move(health), bounds);
}

void StationLink::second(const LocalDateTime& when, float doseRate, int64_t cpm) {
  if (!live_) return;
  const auto now = std::chrono::steady_clock::now();
  if (now - lastLive_ < kLiveInterval) return;
  if (publisher_.publishLive(when, doseRate, cpm)) lastLive_ = now;
}

}  // namespace radmon
