#include "station_files.h"

#include <QCoreApplication>
#include <QSaveFile>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <ctime>
#include <filesystem>
#include <limits>

#include "day_table.h"
#include "graph_names.h"
#include "json_text.h"
#include "poisson_interval.h"
#include "suspect_minutes.h"
#include "text_files.h"

namespace radmon {
namespace {

QString q(const std::string& text) { return QString::fromStdString(text); }

// Four decimals are finer than the records' three.
double rounded(double value) { return std::round(value * 1e4) / 1e4; }

bool exists(const std::string& path) {
  std::error_code ec;
  return std::filesystem::is_regular_file(path, ec);
}

// The place of the last record of the day whose moment can be read.
std::optional<size_t> lastRecord(const std::vector<DayRecord>& rows) {
  for (size_t k = rows.size(); k-- > 0;)
    if (rows[k].when()) return k;
  return std::nullopt;
}

// The first of `periods` whose image exists, with its caption.
std::optional<web::PageImage> periodImage(const PageSources& s, web::GraphKind kind,
                                          const std::vector<Period>& periods) {
  for (const Period& period : periods) {
    const std::string file = periodImageBaseName(s.graphName, period) + ".jpg";
    if (!exists(s.dataFolder + file)) continue;
    const std::string name = period.name();
    const std::string when =
        kind == web::GraphKind::Month ? name.substr(0, 4) + "/" + name.substr(4) : name;
    // Drawn for the screen too where dayplot drew it, the JPEG linked from it.
    const std::string screen = periodScreenGraphName(s.graphName, period);
    return web::PageImage{q(file), web::graphCaption(kind, q(when)),
                          exists(s.dataFolder + screen) ? q(screen) : QString()};
  }
  return std::nullopt;
}

// Whether the file was last written on `day` or later, by the computer's clock.
bool writtenOnOrAfter(const std::string& path, const LocalDateTime& day) {
  std::error_code ec;
  const auto written = std::filesystem::last_write_time(path, ec);
  if (ec) return false;
  const std::time_t t =
      std::chrono::system_clock::to_time_t(std::chrono::file_clock::to_sys(written));
  std::tm local{};
  localtime_r(&t, &local);
  const LocalDateTime at{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
  return at.yyyymmdd() >= day.yyyymmdd();
}

std::expected<void, std::string> writeWhole(const std::string& path, const QByteArray& bytes) {
  QSaveFile file(q(path));
  if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
    return std::unexpected(file.errorString().toStdString());
  return {};
}

}  // namespace

std::vector<LowerBoundPeriod> lowerBoundPeriods(const std::vector<EventLine>& events,
                                                int endOfLog) {
  std::vector<LowerBoundPeriod> periods;
  constexpr int kClosed = -1;
  int cappedFrom = kClosed, saturatedFrom = kClosed;
  auto close = [&](int& from, web::LowerBound kind, int to) {
    if (from != kClosed) periods.push_back({kind, from, std::max(from, to)});
    from = kClosed;
  };
  for (const EventLine& event : events) {
    const int at = event.when.secondOfDay();
    switch (event.kind) {
      case EventKind::DeadTimeCapped:
        if (cappedFrom == kClosed) cappedFrom = at;
        break;
      case EventKind::DeadTimeOk:
        close(cappedFrom, web::LowerBound::DeadTimeCapped, at);
        break;
      case EventKind::TubeSaturated:
        if (saturatedFrom == kClosed) saturatedFrom = at;
        break;
      case EventKind::TubeSaturatedOk:
        close(saturatedFrom, web::LowerBound::TubeSaturated, at);
        break;
      default:
        break;
    }
  }
  close(cappedFrom, web::LowerBound::DeadTimeCapped, endOfLog);
  close(saturatedFrom, web::LowerBound::TubeSaturated, endOfLog);
  return periods;
}

web::LowerBound lowerBoundAfter(const std::vector<EventLine>& events) {
  bool capped = false, saturated = false;
  for (const EventLine& event : events) {
    if (event.kind == EventKind::DeadTimeCapped) capped = true;
    if (event.kind == EventKind::DeadTimeOk) capped = false;
    if (event.kind == EventKind::TubeSaturated) saturated = true;
    if (event.kind == EventKind::TubeSaturatedOk) saturated = false;
  }
  if (saturated) return web::LowerBound::TubeSaturated;
  return capped ? web::LowerBound::DeadTimeCapped : web::LowerBound::None;
}

std::vector<bool> lowerBoundRecords(const std::vector<DayRecord>& rows,
                                    const std::vector<LowerBoundPeriod>& periods) {
  std::vector<bool> flags(rows.size(), false);
  for (size_t k = 0; k < rows.size(); ++k) {
    const auto when = rows[k].when();
    if (!when) continue;
    const int stamp = when->secondOfDay();
    flags[k] = std::any_of(periods.begin(), periods.end(), [&](const LowerBoundPeriod& p) {
      return p.from < stamp + 60 && p.to > stamp - 60;
    });
  }
  return flags;
}

namespace {

// ratemon's dead-time correction holds up to this share of blind time (mτ); past it a
// reading is a lower bound. The day files do not carry it, so it is repeated here.
constexpr double kDeadTimeCap = 0.3;

// The pulses record `k` counted in its minute: records are written every 60 seconds of
// a run, so the total count's step from the record before is the minute's count, and the
// first record of a run (60 seconds) holds its count whole.
std::optional<int64_t> countedInMinute(const std::vector<DayRecord>& rows, size_t k) {
  const DayRecord& r = rows[k];
  if (!r.totalCount || !r.elapsedSeconds) return std::nullopt;
  if (*r.elapsedSeconds == 60) return *r.totalCount;
  if (k == 0) return std::nullopt;
  const DayRecord& before = rows[k - 1];
  if (!before.totalCount || !before.elapsedSeconds ||
      *before.elapsedSeconds + 60 != *r.elapsedSeconds || *before.totalCount > *r.totalCount)
    return std::nullopt;
  return *r.totalCount - *before.totalCount;
}

// The minute's figure behind its CPM (which ratemon writes cut to a whole number): from the
// rate through the scale where it tells more, kept within the whole CPM's step.
double minuteFigure(const DayRecord& r, const std::optional<DoseScale>& scale) {
  const auto cpm = static_cast<double>(*r.cpm);
  if (!scale || !(r.rate > 0)) return cpm + 0.5;
  // The rate was cut to three decimals: the figure lies within its last step.
  const double fromRate = (r.rate + scale->background + 0.0005) / scale->perCount;
  return std::clamp(fromRate, cpm, cpm + 1.0);
}

}  // namespace

std::optional<DoseScale> recordScale(const std::vector<DayRecord>& rows,
                                     const std::vector<bool>& lowerBound) {
  std::vector<bool> aside(rows.size(), false);
  for (size_t k = 0; k < rows.size(); ++k) {
    const auto counted = countedInMinute(rows, k);
    aside[k] = (k < lowerBound.size() && lowerBound[k]) ||
               (counted && rows[k].cpm && *counted < *rows[k].cpm);
  }
  if (auto scale = summarizeDay("", rows, aside).scale) return scale;
  // A day mostly corrected for dead time: every record, the corrected ones taken at the
  // middle of their CPM's step.
  std::vector<ScalePoint> points;
  for (size_t k = 0; k < rows.size(); ++k)
    if (rows[k].cpm && rows[k].rate > 0)
      points.push_back(
          {static_cast<double>(*rows[k].cpm) + (aside[k] ? 0.5 : 0.0), rows[k].rate, aside[k]});
  return fitDoseScale(points);
}

std::optional<CountInterval> minuteInterval(const std::vector<DayRecord>& rows, size_t k,
                                            const std::optional<DoseScale>& scale,
                                            bool lowerBound) {
  const DayRecord& record = rows[k];
  if (!scale || !record.cpm) return std::nullopt;
  constexpr double kOpen = std::numeric_limits<double>::infinity();
  const auto dose = [&](double cpm) {
    return std::isfinite(cpm) ? std::max(0.0, cpm * scale->perCount - scale->background) : kOpen;
  };
  const double count = static_cast<double>(countedInMinute(rows, k).value_or(*record.cpm));
  // Uncorrected: the count's own interval.
  if (!lowerBound && !(count < static_cast<double>(*record.cpm))) {
    const CountInterval c = poissonInterval95(*record.cpm);
    return CountInterval{dose(c.lower), dose(c.upper)};
  }
  const double figure = minuteFigure(record, scale);
  CountInterval c = poissonInterval95(static_cast<int64_t>(count));
  if (lowerBound) {
    // The figure is already no more than the truth; its count's spread is taken off it.
    const double share = count > 0 ? c.lower / count : 0.0;
    return CountInterval{dose(figure * share), kOpen};
  }
  // The correction the record carries, n = m / (1 - m tau), solved for its tau from the
  // figure and the count, and applied to the count's bounds.
  const double tau = (1.0 - count / figure) / count;
  // A counter blind for tau after each pulse counts more regularly than a Poisson source:
  // its count's spread is the Poisson one times 1 - m tau, as ratemon takes it.
  const double hearing = 1.0 - std::min(kDeadTimeCap, count * tau);
  c = CountInterval{count - (count - c.lower) * hearing, count + (c.upper - count) * hearing};
  const auto corrected = [&](double m) {
    return m * tau < kDeadTimeCap ? m / (1.0 - m * tau) : kOpen;
  };
  return CountInterval{dose(corrected(c.lower)), dose(corrected(c.upper))};
}

std::string readingsJson(const std::string& place, const std::string& slashDate,
                         const std::vector<DayRecord>& rows, const std::vector<EventLine>& events) {
  const std::vector<bool> lowerBound = lowerBoundRecords(rows, lowerBoundPeriods(events));
  const std::optional<DoseScale> scale = recordScale(rows, lowerBound);
  // One minute a line: small, and still read by eye.
  std::string all = jsonText(
      {{"station", place}, {"date", slashDate}, {"unit", "µSv/h"}, {"readings", Json::array()}});
  all.resize(all.size() - 2);  // the readings' "]}" closes after the minutes
  for (size_t k = 0; k < rows.size(); ++k) {
    const DayRecord& record = rows[k];
    Json minute{{"time", record.time}, {"cpm", nullptr},  {"doseRate", record.rate},
                {"low", nullptr},      {"high", nullptr}, {"lower_bound", lowerBound[k]}};
    if (record.cpm) minute["cpm"] = *record.cpm;
    if (const auto interval = minuteInterval(rows, k, scale, lowerBound[k])) {
      minute["low"] = rounded(interval->lower);
      if (std::isfinite(interval->upper)) minute["high"] = rounded(interval->upper);
    }
    all += (k == 0 ? "\n" : ",\n") + jsonText(minute);
  }
  return all + "\n]}\n";
}

web::StationState stationState(const std::optional<LocalDateTime>& lastRecord,
                               const std::vector<EventLine>& events, const LocalDateTime& now,
                               AlarmLatches before) {
  const bool stopped = !lastRecord || lastRecord->secondsUntil(now) > kStoppedAfterSeconds;
  const AlarmLatches latched = alarmLatches(events, before);
  if (!stopped && latched.stage2) return web::StationState::Alarm2;
  if (!stopped && latched.stage1) return web::StationState::Alarm1;
  const int endOfLog = now.secondOfDay();
  for (const FaultPeriod& period : faultPeriods(events, endOfLog)) {
    if (period.to < endOfLog) continue;  // ended
    return period.kind == EventKind::DeviceLost ? web::StationState::InputLost
                                                : web::StationState::SignalFault;
  }
  if (stopped) return web::StationState::Stopped;
  return lowerBoundAfter(events) != web::LowerBound::None ? web::StationState::LowerBound
                                                          : web::StationState::Measuring;
}

namespace {

// A moment of `day` as the page writes times: "2011/04/01 12:34".
QString pageTime(const LocalDateTime& day, int secondOfDay) {
  const LocalDateTime at{
      day.year, day.month, day.day, secondOfDay / 3600, secondOfDay / 60 % 60, secondOfDay % 60};
  return q(at.slashDate() + " " + at.hhmm());
}

// When the alarm stage that is latched was started: its last start in `events`, else in
// the day before's (`earlier`); empty when neither log tells.
QString alarmSince(EventKind start, const std::vector<EventLine>& events,
                   const std::vector<EventLine>& earlier) {
  for (const auto* log : {&events, &earlier})
    for (auto e = log->rbegin(); e != log->rend(); ++e)
      if (e->kind == start) return pageTime(e->when, e->when.secondOfDay());
  return {};
}

// The banners of the station's state and its lower bound, each with its start.
QList<web::Banner> banners(web::StationState state, web::LowerBound bound, const LocalDateTime& day,
                           const DayRecord& last, const std::vector<EventLine>& events,
                           const std::vector<EventLine>& earlier, int endOfLog) {
  QString since;
  switch (state) {
    case web::StationState::Alarm2:
      since = alarmSince(EventKind::Alarm2, events, earlier);
      break;
    case web::StationState::Alarm1:
      since = alarmSince(EventKind::Alarm1, events, earlier);
      break;
    case web::StationState::Stopped:
      since = q(last.date + " " + last.time);
      break;
    case web::StationState::InputLost:
    case web::StationState::SignalFault:
      for (const FaultPeriod& period : faultPeriods(events, endOfLog))
        if (period.to >= endOfLog) {
          since = pageTime(day, period.from);
          break;
        }
      break;
    default:
      break;
  }
  QString boundSince;
  for (const LowerBoundPeriod& period : lowerBoundPeriods(events, endOfLog))
    if (period.to >= endOfLog && period.kind == bound) boundSince = pageTime(day, period.from);
  return web::stateBanners(state, bound, since, boundSince);
}

}  // namespace

web::PageContent pageContent(const PageSources& s) {
  web::PageContent content;
  content.stationName = q(s.place);
  content.readingsFile = kReadingsFileName;
  content.madeAt = q(s.now.slashDate() + " " + s.now.hhmm());
  const LocalDateTime yesterday = s.now.previousDay();
  const std::string today = s.now.yyyymmdd();

  for (const LocalDateTime& day : {s.now, yesterday}) {
    const auto rows = readDayTable(dayFilePath(s.dataFolder, day.yyyymmdd())).value.rows;
    const auto lastAt = lastRecord(rows);
    if (!lastAt) continue;
    const DayRecord* last = &rows[*lastAt];
    const std::vector<EventLine> events = readEventLog(s.dataFolder, day.yyyymmdd());
    const std::vector<bool> lowerBound = lowerBoundRecords(rows, lowerBoundPeriods(events));
    const auto interval =
        minuteInterval(rows, *lastAt, recordScale(rows, lowerBound), lowerBound[*lastAt]);
    // An alarm still latched at the end of the day before is latched today unless today's
    // log reset it.
    const std::vector<EventLine> earlier = readEventLog(s.dataFolder, day.previousDay().yyyymmdd());
    const AlarmLatches before = alarmLatches(earlier);
    const LocalDateTime at =
        day == s.now ? s.now : LocalDateTime{day.year, day.month, day.day, 23, 59, 59};
    web::StationState state = stationState(last->when(), events, at, before);
    // No record today: not measuring, whatever yesterday's last state; an open fault says why.
    if (day != s.now && state != web::StationState::InputLost &&
        state != web::StationState::SignalFault)
      state = web::StationState::Stopped;
    // The lower bound is told beside an alarm or a fault, never instead of it.
    const web::LowerBound bound =
        state == web::StationState::Stopped ? web::LowerBound::None : lowerBoundAfter(events);
    const int endOfLog = at.secondOfDay();
    content.latest =
        web::LatestReading{q(last->date + " " + last->time),
                           last->rate,
                           interval ? interval->lower : NAN,
                           interval ? interval->upper : NAN,
                           last->cpm ? static_cast<double>(*last->cpm) : NAN,
                           web::stateWords(state, bound),
                           lowerBound[*lastAt],
                           suspectRecords(rows, faultPeriods(events, endOfLog))[*lastAt]};
    content.banners = banners(state, bound, day, *last, events, earlier, endOfLog);
    break;
  }
  // Nothing recorded today or yesterday: nothing is measuring.
  if (!content.latest)
    content.banners = web::stateBanners(web::StationState::Stopped, web::LowerBound::None, {}, {});

  auto add = [&](web::GraphKind kind, const LocalDateTime& day) {
    const std::string file = imageBaseName(s.graphName, day.yyyymmdd(), today) + ".jpg";
    const QString caption = web::graphCaption(kind, q(day.slashDate()));
    // Today's graph keeps one name from day to day: until today's first run has drawn it,
    // it shows an earlier day, and the page says that today's is not there yet.
    const bool itsDay = kind != web::GraphKind::Today || writtenOnOrAfter(s.dataFolder + file, day);
    // The day drawn for the screen where dayplot drew it, the JPEG linked from it.
    const std::string screen = screenGraphName(s.graphName, day.yyyymmdd());
    if (exists(s.dataFolder + file) && itsDay)
      content.graphs.push_back(
          {q(file), caption, exists(s.dataFolder + screen) ? q(screen) : QString()});
    else if (kind == web::GraphKind::Today)
      content.missingGraphs.push_back(caption);
  };
  add(web::GraphKind::Today, s.now);
  add(web::GraphKind::Yesterday, yesterday);
  // The month graph is drawn after yesterday's run: of this month, or of the last at its start.
  if (auto image = periodImage(s, web::GraphKind::Month,
                               {{PeriodKind::Month, s.now.year, s.now.month},
                                {PeriodKind::Month, yesterday.year, yesterday.month}}))
    content.graphs.push_back(*image);
  if (auto image =
          periodImage(s, web::GraphKind::Year,
                      {{PeriodKind::Year, s.now.year, 1}, {PeriodKind::Year, yesterday.year, 1}}))
    content.graphs.push_back(*image);
  content.graphs.removeIf([&](const web::PageImage& image) {
    const auto failed = [&](const QString& file) {
      return !file.isEmpty() && std::find(s.unsent.begin(), s.unsent.end(),
                                          s.dataFolder + file.toStdString()) != s.unsent.end();
    };
    const bool unsent = failed(image.file) || failed(image.screen);
    if (unsent) content.missingGraphs.push_back(image.caption);
    return unsent;
  });
  return content;
}

StationFilesWritten writeStationFiles(const PageSources& s) {
  StationFilesWritten written;
  StationFiles files;
  const web::PageContent content = pageContent(s);
  for (const web::PageImage& image : content.graphs) {
    files.images.push_back(s.dataFolder + image.file.toStdString());
    if (!image.screen.isEmpty()) files.images.push_back(s.dataFolder + image.screen.toStdString());
  }
  files.readings = s.dataFolder + kReadingsFileName;
  files.page = s.dataFolder + kPageFileName;
  const auto rows = readDayTable(dayFilePath(s.dataFolder, s.now.yyyymmdd())).value.rows;
  const std::string json =
      readingsJson(s.place, s.now.slashDate(), rows, readEventLog(s.dataFolder, s.now.yyyymmdd()));
  if (auto whole = writeWhole(files.readings, QByteArray::fromStdString(json)); !whole) {
    written.failedPath = files.readings;
    written.reason = whole.error();
    return written;
  }
  if (auto whole = writeWhole(files.page, web::stationPage(content)); !whole) {
    written.failedPath = files.page;
    written.reason = whole.error();
    return written;
  }
  written.files = std::move(files);
  return written;
}

}  // namespace radmon
