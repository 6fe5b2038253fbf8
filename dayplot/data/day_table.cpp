#include "day_table.h"

#include <cmath>

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

std::optional<DayTable> readDayTable(const std::string& path) {
  const auto text = readTextFile(path);
  if (!text) return std::nullopt;
  return dayTableFromText(*text);
}

DayTable dayTableFromText(std::string_view text) {
  DayTable table;
  table.rows.reserve(text.size() / 40 + 1);
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view line = text.substr(start, end - start);
    if (!line.empty()) {
      auto record = parseRecordLine(line);
      // A rate beyond single precision reads as infinity and could not be drawn.
      if (record && std::isfinite(record->rate)) {
        table.rows.push_back(std::move(*record));
      } else {
        ++table.skippedLines;
      }
    }
    start = end + 1;
  }
  return table;
}

std::array<std::string, 3> titleDateParts(const DayTable& table) {
  const std::string_view d = table.rows.empty() ? std::string_view() : table.rows.front().date;
  return {std::string(middle(d, 1, 4)), std::string(middle(d, 6, 2)),
          std::string(middle(d, 9, 2))};
}

std::string titleDate(const DayTable& table) {
  const auto [year, month, day] = titleDateParts(table);
  return year + "年" + month + "月" + day + "日";
}

}  // namespace radmon
