#include "period_table.h"

#include <algorithm>
#include <chrono>

#include "day_table.h"
#include "number_text.h"
#include "suspect_minutes.h"

namespace radmon {
namespace {

int daysInMonth(int y, int m) {
  using namespace std::chrono;
  return static_cast<int>(unsigned{(year{y} / month{static_cast<unsigned>(m)} / last).day()});
}

std::string padded(int value, int width) {
  std::string text = std::to_string(value);
  return std::string(static_cast<size_t>(std::max(0, width - static_cast<int>(text.size()))), '0') +
         text;
}

}  // namespace

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

ReadResult<DaySummary, RecordIssue> readDaySummary(const std::string& dataFolder,
                                                   const std::string& day) {
  auto [table, issues] = readDayTable(dayFilePath(dataFolder, day));
  const std::vector<bool> suspect =
      table.rows.empty() ? std::vector<bool>{}
                         : suspectRecords(table.rows, readFaultPeriods(dataFolder, day).value);
  DaySummary summary;
  summary.day = day;
  summary.counts = 0;
  for (size_t k = 0; k < table.rows.size(); ++k) {
    const DayRecord& record = table.rows[k];
    if (suspect[k]) {
      ++summary.setAside;
      continue;
    }
    summary.low = summary.records == 0 ? record.rate : std::min(summary.low, record.rate);
    summary.high = summary.records == 0 ? record.rate : std::max(summary.high, record.rate);
    summary.sum += record.rate;
    ++summary.records;
    summary.counts =
        record.cpm && summary.counts ? *summary.counts + *record.cpm : std::optional<int64_t>();
  }
  // A day without a file is no fault of the period; a line passed over is, of its file.
  std::erase_if(issues, [](const auto& issue) { return issue.kind == RecordIssue::Missing; });
  for (auto& issue : issues) issue.subject = dayFileName(day);
  summary.present = summary.records > 0;
  if (summary.present)
    summary.mean = summary.sum / summary.records;
  else
    summary.counts.reset();
  return {summary, std::move(issues)};
}

std::optional<CountInterval> meanInterval95(const DaySummary& day) {
  if (!day.present || !day.counts || *day.counts <= 0) return std::nullopt;
  // The mean is the day's counts times one dose per count.
  return scaledInterval95(*day.counts, day.mean / static_cast<double>(*day.counts));
}

ReadResult<PeriodTable, RecordIssue> readPeriodTable(const std::string& dataFolder,
                                                     const Period& period,
                                                     const FaultReader& faults) {
  ReadResult<PeriodTable, RecordIssue> read;
  PeriodTable& table = read.value;
  table.period = period;
  double sum = 0;
  for (const std::string& day : period.days()) {
    auto [summary, issues] = readDaySummary(dataFolder, day);
    read.issues.insert(read.issues.end(), issues.begin(), issues.end());
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
  return read;
}

}  // namespace radmon
