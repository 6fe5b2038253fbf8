#include "day_table.h"

#include "text_files.h"

namespace radmon {
namespace {

// Characters `from` to `from + count - 1` (1-based), cut at the end of the text.
std::string_view middle(std::string_view text, size_t from, size_t count) {
  if (from - 1 >= text.size()) return {};
  return text.substr(from - 1, count);
}

}  // namespace

std::string dayFilePath(std::string_view dataFolder, std::string_view targetDay) {
  return std::string(dataFolder) + dayFileName(targetDay);
}

ReadResult<DayTable, RecordIssue> readDayTable(const std::string& path) {
  const auto text = readTextFile(path);
  if (!text) return {{}, {{0, RecordIssue::Missing, path}}};
  return dayTableFromText(*text);
}

ReadResult<DayTable, RecordIssue> dayTableFromText(std::string_view text) {
  ReadResult<DayTable, RecordIssue> table;
  table.value.rows.reserve(text.size() / 40 + 1);
  int number = 0;
  for (const std::string_view line : textLines(text)) {
    ++number;
    if (line.empty()) continue;
    if (auto record = parseRecordLine(line)) {
      table.value.rows.push_back(std::move(*record));
    } else {
      table.issues.push_back({number, RecordIssue::NotRecord, {}});
    }
  }
  return table;
}

ReadResult<std::vector<FaultPeriod>, RecordIssue> readFaultPeriods(std::string_view dataFolder,
                                                                   std::string_view targetDay,
                                                                   int openUntil) {
  const std::string path = std::string(dataFolder) + eventFileName(targetDay);
  const auto text = readTextFile(path);
  if (!text) return {{}, {{0, RecordIssue::Missing, path}}};
  auto events = parseEventLog(*text);
  return {faultPeriods(events.value, openUntil), std::move(events.issues)};
}

std::array<std::string, 3> titleDateParts(const DayTable& table) {
  const std::string_view d = table.rows.empty() ? std::string_view() : table.rows.front().date;
  return {std::string(middle(d, 1, 4)), std::string(middle(d, 6, 2)), std::string(middle(d, 9, 2))};
}

}  // namespace radmon
