#include "period_table.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cmath>

#include "day_record.h"
#include "day_table.h"
#include "number_text.h"
#include "settings_text.h"
#include "text_files.h"

namespace radmon {
namespace {

int daysInMonth(int y, int m) {
  using namespace std::chrono;
  return static_cast<int>(unsigned{(year{y} / month{static_cast<unsigned>(m)} / last).day()});
}

std::string padded(int value, int width) {
  std::string text = std::to_string(value);
  return std::string(static_cast<size_t>(std::max(0, width - static_cast<int>(text.size()))), '0') + text;
}

// How many significant digits a plain number text holds (leading zeros and an
// exponent not counted).
int significantDigits(std::string_view number) {
  int digits = 0;
  bool leading = true;
  for (const char c : number) {
    if (c == 'e' || c == 'E') break;
    if (c < '0' || c > '9') continue;
    if (leading && c == '0') continue;
    leading = false;
    ++digits;
  }
  return digits;
}

// A CPM field: a whole number of pulses, 0 or more.
std::optional<int64_t> countText(std::string_view text) {
  int64_t value = -1;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || value < 0) return std::nullopt;
  return value;
}

}  // namespace

std::optional<RecordFigures> recordFigures(std::string_view line) {
  // The line as ratemon writes it: "date","time",rate,cpm,total,elapsed. Anything else
  // goes the long way, through the day table's own line reader.
  auto slow = [line]() -> std::optional<RecordFigures> {
    const auto record = parseRecordLine(line);
    if (!record || !std::isfinite(record->rate)) return std::nullopt;
    RecordFigures figures{record->rate, countText(readSettingsFields(line)[3].text)};
    return figures;
  };
  size_t at = 0;
  for (int quoted = 0; quoted < 2; ++quoted) {
    if (at >= line.size() || line[at] != '"') return slow();
    const size_t close = line.find('"', at + 1);
    if (close == std::string_view::npos || close + 1 >= line.size() || line[close + 1] != ',') return slow();
    at = close + 2;
  }
  const size_t comma = line.find(',', at);
  if (comma == std::string_view::npos) return slow();
  const std::string_view rateText = line.substr(at, comma - at);
  // Three more fields, none of them quoted.
  const std::string_view rest = line.substr(comma + 1);
  if (std::count(rest.begin(), rest.end(), ',') < 2 || rateText.find('"') != std::string_view::npos ||
      rest.find('"') != std::string_view::npos)
    return slow();
  const auto rate = readNumber(rateText);
  // Up to six significant digits a decimal survives the single-precision round trip of
  // the line reader unchanged, so its value is the rate; longer texts take that trip.
  if (!rate || significantDigits(rateText) > 6) return slow();
  if (!std::isfinite(static_cast<float>(*rate))) return std::nullopt;
  return RecordFigures{*rate, countText(rest.substr(0, rest.find(',')))};
}

std::string Period::name() const {
  return kind == PeriodKind::Month ? padded(year, 4) + padded(month, 2) : padded(year, 4);
}

std::vector<std::string> Period::days() const {
  std::vector<std::string> out;
  const int first = kind == PeriodKind::Month ? month : 1;
  const int last = kind == PeriodKind::Month ? month : 12;
  for (int m = first; m <= last; ++m)
    for (int d = 1; d <= daysInMonth(year, m); ++d)
      out.push_back(padded(year, 4) + padded(m, 2) + padded(d, 2));
  return out;
}

std::optional<Period> parseMonth(std::string_view text) {
  if (text.size() != 6) return std::nullopt;
  const auto year = readCount(text.substr(0, 4), 1900, 9999);
  const auto month = readCount(text.substr(4), 1, 12);
  if (!year || !month) return std::nullopt;
  return Period{PeriodKind::Month, *year, *month};
}

std::optional<Period> parseYear(std::string_view text) {
  const auto year = text.size() == 4 ? readCount(text, 1900, 9999) : std::nullopt;
  if (!year) return std::nullopt;
  return Period{PeriodKind::Year, *year, 1};
}

DaySummary readDaySummary(const std::string& dataFolder, const std::string& day) {
  DaySummary summary;
  summary.day = day;
  summary.counts = 0;
  const auto text = readTextFile(dayFilePath(dataFolder, day));
  double sum = 0;
  if (text) {
    const std::string_view all(*text);
    size_t start = 0;
    while (start < all.size()) {
      size_t end = all.find_first_of("\r\n", start);
      if (end == std::string_view::npos) end = all.size();
      if (end > start) {
        const auto figures = recordFigures(all.substr(start, end - start));
        if (!figures) ++summary.skippedLines;
        if (figures) {
          const double rate = figures->rate;
          summary.low = summary.records == 0 ? rate : std::min(summary.low, rate);
          summary.high = summary.records == 0 ? rate : std::max(summary.high, rate);
          sum += rate;
          ++summary.records;
          if (figures->cpm && summary.counts) {
            *summary.counts += *figures->cpm;
          } else {
            summary.counts.reset();
          }
        }
      }
      start = end + 1;
    }
  }
  if (summary.records == 0) {
    summary.counts.reset();
    return summary;
  }
  summary.present = true;
  summary.sum = sum;
  summary.mean = sum / summary.records;
  return summary;
}

std::optional<CountInterval> meanInterval95(const DaySummary& day) {
  if (!day.present || !day.counts || *day.counts <= 0) return std::nullopt;
  // The mean is the day's counts times one dose per count.
  return scaledInterval95(*day.counts, day.mean / static_cast<double>(*day.counts));
}

PeriodTable readPeriodTable(const std::string& dataFolder, const Period& period,
                            const FaultReader& faults) {
  PeriodTable table;
  table.period = period;
  double sum = 0;
  for (const std::string& day : period.days()) {
    DaySummary summary = readDaySummary(dataFolder, day);
    if (summary.present) {
      sum += summary.sum;
      table.records += summary.records;
      ++table.daysPresent;
      table.maximum = std::max(table.maximum, summary.high);
    }
    if (faults) summary.faultSeconds = faults(dataFolder, day);
    table.days.push_back(std::move(summary));
  }
  if (table.records > 0) table.mean = roundHalfEven(sum / static_cast<double>(table.records), 3);
  return table;
}

}  // namespace radmon
