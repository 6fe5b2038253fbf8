#include "acked_record.h"

#include <algorithm>
#include <filesystem>

#include "day_record.h"
#include "text_files.h"

namespace radmon {
namespace {

namespace fs = std::filesystem;

// The days of the folder's day files, oldest first.
std::vector<std::string> days(const std::string& folder) {
  std::vector<std::string> found;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(folder, ec)) {
    const std::string name = entry.path().filename().string();
    if (!name.starts_with(kDayFilePrefix) || !endsWith(name, ".csv")) continue;
    const std::string day =
        name.substr(kDayFilePrefix.size(), name.size() - 4 - kDayFilePrefix.size());
    if (LocalDateTime::fromYyyymmdd(day)) found.push_back(day);
  }
  std::sort(found.begin(), found.end());
  return found;
}

std::vector<std::string> lines(const std::string& folder, const std::string& day) {
  std::vector<std::string> out;
  const auto text = readTextFile(folder + dayFileName(day));
  if (!text) return out;
  for (const std::string_view line : textLines(*text)) {
    if (!line.empty()) out.emplace_back(line);
  }
  return out;
}

std::string minuteOf(const std::string& line) {
  const auto record = parseRecordLine(line);
  return record ? record->time : std::string();
}

}  // namespace

std::optional<AckedRecord> loadAckedRecord(const std::string& path) {
  const auto text = readTextFile(path);
  if (!text) return std::nullopt;
  const size_t end = text->find('\n');
  AckedRecord acked;
  acked.day = text->substr(0, end);
  if (!acked.day.empty() && acked.day.back() == '\r') acked.day.pop_back();
  if (!LocalDateTime::fromYyyymmdd(acked.day)) return std::nullopt;
  if (end != std::string::npos) {
    acked.line = text->substr(end + 1);
    while (!acked.line.empty() && (acked.line.back() == '\n' || acked.line.back() == '\r'))
      acked.line.pop_back();
  }
  return acked;
}

std::expected<void, std::string> saveAckedRecord(const std::string& path,
                                                 const AckedRecord& acked) {
  return faultText(path, writeTextFile(path, acked.day + "\n" + acked.line + "\n", true));
}

std::vector<StoredRecord> recordsAfter(const std::string& folder, const AckedRecord& acked) {
  std::vector<StoredRecord> due;
  for (const std::string& day : days(folder)) {
    if (day < acked.day) continue;
    auto dayLines = lines(folder, day);
    auto from = dayLines.begin();
    if (day == acked.day && !acked.line.empty()) {
      const auto found = std::find(dayLines.rbegin(), dayLines.rend(), acked.line);
      if (found != dayLines.rend()) {
        from = found.base();
      } else {
        const std::string minute = minuteOf(acked.line);
        from = std::find_if(dayLines.begin(), dayLines.end(),
                            [&](const std::string& l) { return minuteOf(l) > minute; });
      }
    }
    for (auto it = from; it != dayLines.end(); ++it) due.push_back({day, *it});
  }
  return due;
}

std::vector<RecordState> recordsBetween(const std::string& folder, int64_t from, int64_t to,
                                        size_t most) {
  std::vector<RecordState> found;
  // A day file holds local days; a day either side covers every offset.
  const LocalDateTime epoch{1970, 1, 1, 0, 0, 0};
  const std::string first = epoch.plusSeconds(from - 86400).yyyymmdd();
  const std::string last = epoch.plusSeconds(to + 86400).yyyymmdd();
  std::optional<int64_t> previous;
  for (const std::string& day : days(folder)) {
    if (day < first || day > last) continue;
    for (const std::string& line : lines(folder, day)) {
      const auto state = stateFromLine(line, false, false, previous);
      const auto utc = state ? utcSeconds(*state) : std::nullopt;
      if (!utc) continue;
      previous = utc;
      if (*utc < from || *utc > to) continue;
      found.push_back(*state);
      if (found.size() >= most) return found;
    }
  }
  return found;
}

AckedRecord newestRecord(const std::string& folder, const std::string& today) {
  const auto all = days(folder);
  for (auto day = all.rbegin(); day != all.rend(); ++day) {
    const auto dayLines = lines(folder, *day);
    if (!dayLines.empty()) return {*day, dayLines.back()};
  }
  return {today, ""};
}

}  // namespace radmon
