#include "period_table.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <limits>
#include <utility>

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

// Cut to three decimals, as ratemon cuts the gross dose.
double cut3(double x) { return std::floor(x * 1000.0 + 1e-7) / 1000.0; }

}  // namespace

std::optional<DoseScale> fitDoseScale(const std::vector<ScalePoint>& points) {
  if (points.size() < 2) return std::nullopt;
  double meanCount = 0, meanRate = 0;
  for (const ScalePoint& p : points) {
    meanCount += p.cpm;
    meanRate += p.rate;
  }
  meanCount /= static_cast<double>(points.size());
  meanRate /= static_cast<double>(points.size());
  double sxx = 0, sxy = 0;
  for (const ScalePoint& p : points) {
    sxx += (p.cpm - meanCount) * (p.cpm - meanCount);
    sxy += (p.cpm - meanCount) * (p.rate - meanRate);
  }
  if (!(sxx > 0) || !(sxy > 0)) return std::nullopt;
  const double perCount = sxy / sxx;
  std::vector<double> lost;
  for (const ScalePoint& p : points) lost.push_back(cut3(perCount * p.cpm) - p.rate);
  auto middle = lost.begin() + static_cast<std::ptrdiff_t>(lost.size() / 2);
  std::nth_element(lost.begin(), middle, lost.end());
  const double roughBackground = std::round(*middle * 1000.0) / 1000.0;
  // One factor and one background for the whole day, or none.
  const auto fits = std::count_if(points.begin(), points.end(), [&](const ScalePoint& p) {
    const double allowed = 0.0015 + (p.corrected ? perCount : 0.0);
    return std::abs(cut3(perCount * p.cpm) - roughBackground - p.rate) < allowed;
  });
  if (fits * 10 < static_cast<std::ptrdiff_t>(points.size()) * 9) return std::nullopt;
  // The slope is blurred by the cuts (a few tenths of a percent at tens of CPM), and the
  // background by a cut or two with it: as much as the whole net rate when the background
  // is near the rate. Each record, cut from count × factor less the background, pins the
  // factor to one cut's width over its count; the background near the rough one for which
  // every record agrees on a factor is the day's, and the slope is held to what they
  // leave. Where none agrees (a record set down otherwise, or a day of corrected records)
  // the rough scale stands.
  if (std::any_of(points.begin(), points.end(), [](const ScalePoint& p) { return p.corrected; }))
    return DoseScale{perCount, roughBackground};
  for (const double step : {0.0, -0.001, 0.001, -0.002, 0.002}) {
    const double background = roughBackground + step;
    double low = 0, high = std::numeric_limits<double>::infinity();
    for (const ScalePoint& p : points) {
      low = std::max(low, (p.rate + background - 1e-6) / p.cpm);
      high = std::min(high, (p.rate + background + 0.001 + 1e-6) / p.cpm);
    }
    if (low < high)
      return DoseScale{std::clamp(perCount, low, high), std::round(background * 1000.0) / 1000.0};
  }
  return DoseScale{perCount, roughBackground};
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

DaySummary summarizeDay(std::string day, const std::vector<DayRecord>& rows,
                        const std::vector<bool>& setAside) {
  DaySummary summary;
  summary.day = std::move(day);
  summary.counts = 0;
  std::vector<ScalePoint> dosed;  // the records with a rate above 0
  for (size_t k = 0; k < rows.size(); ++k) {
    const DayRecord& record = rows[k];
    if (k < setAside.size() && setAside[k]) {
      ++summary.setAside;
      continue;
    }
    summary.low = summary.records == 0 ? record.rate : std::min(summary.low, record.rate);
    summary.high = summary.records == 0 ? record.rate : std::max(summary.high, record.rate);
    summary.sum += record.rate;
    ++summary.records;
    summary.counts =
        record.cpm && summary.counts ? *summary.counts + *record.cpm : std::optional<int64_t>();
    if (record.cpm && record.rate > 0)
      dosed.push_back({static_cast<double>(*record.cpm), record.rate, false});
  }
  summary.present = summary.records > 0;
  summary.hoursMissing = summary.present && rows.size() < kRecordsOfAShortDay;
  if (summary.present)
    summary.mean = summary.sum / summary.records;
  else
    summary.counts.reset();
  if (summary.counts) summary.scale = fitDoseScale(dosed);
  const auto net = dayMean95(summary);
  summary.netMean = net ? net->mean : summary.mean;
  return summary;
}

ReadResult<DaySummary, RecordIssue> readDaySummary(const std::string& dataFolder,
                                                   const std::string& day) {
  auto [table, issues] = readDayTable(dayFilePath(dataFolder, day));
  const std::vector<bool> suspect =
      table.rows.empty() ? std::vector<bool>{}
                         : suspectRecords(table.rows, readFaultPeriods(dataFolder, day).value);
  // A day without a file is no fault of the period; a line passed over is, of its file.
  std::erase_if(issues, [](const auto& issue) { return issue.kind == RecordIssue::Missing; });
  for (auto& issue : issues) issue.subject = dayFileName(day);
  return {summarizeDay(day, table.rows, suspect), std::move(issues)};
}

std::optional<DayMean> dayMean95(const DaySummary& day) {
  if (!day.present || !day.counts || *day.counts <= 0) return std::nullopt;
  // Without a scale: the mean is the day's counts times one dose per count.
  if (!day.scale)
    return DayMean{day.mean,
                   scaledInterval95(*day.counts, day.mean / static_cast<double>(*day.counts))};
  // The count, its bounds and the figure all go the same monotone way: per record
  // through the scale, less the background.
  const CountInterval c = poissonInterval95(*day.counts);
  const double perPulse = day.scale->perCount / static_cast<double>(day.records);
  const double b = day.scale->background;
  const double net = static_cast<double>(*day.counts) * perPulse - b;
  return DayMean{
      std::max(0.0, net),
      CountInterval{std::max(0.0, c.lower * perPulse - b), std::max(0.0, c.upper * perPulse - b)},
      net < 0};
}

std::optional<CountInterval> meanInterval95(const DaySummary& day) {
  const auto mean = dayMean95(day);
  return mean ? std::optional(mean->interval) : std::nullopt;
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
      sum += summary.netMean * summary.records;
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
