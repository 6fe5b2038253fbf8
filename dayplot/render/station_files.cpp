#include "station_files.h"

#include <QCoreApplication>
#include <QSaveFile>
#include <cmath>
#include <filesystem>
#include <nlohmann/json.hpp>

#include "day_table.h"
#include "image_files.h"
#include "period_graph.h"
#include "poisson_interval.h"
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

// The last record of the day whose moment can be read.
std::optional<DayRecord> lastRecord(const std::vector<DayRecord>& rows) {
  for (auto it = rows.rbegin(); it != rows.rend(); ++it)
    if (it->when()) return *it;
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
    return web::PageImage{q(file), web::graphCaption(kind, q(when))};
  }
  return std::nullopt;
}

std::optional<std::string> writeWhole(const std::string& path, const QByteArray& bytes) {
  QSaveFile file(q(path));
  if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
    return file.errorString().toStdString();
  return std::nullopt;
}

}  // namespace

std::vector<std::string> StationFiles::inOrder() const {
  std::vector<std::string> all = images;
  all.push_back(readings);
  all.push_back(page);
  return all;
}

std::optional<CountInterval> recordInterval(const DayRecord& record,
                                            const std::optional<DoseScale>& scale) {
  if (!scale || !record.cpm) return std::nullopt;
  const CountInterval c = poissonInterval95(*record.cpm);
  return CountInterval{std::max(0.0, c.lower * scale->perCount - scale->background),
                       std::max(0.0, c.upper * scale->perCount - scale->background)};
}

std::string readingsJson(const std::string& place, const std::string& slashDate,
                         const std::vector<DayRecord>& rows) {
  using Json = nlohmann::ordered_json;
  // Bad UTF-8 in a text is replaced, never thrown.
  auto text = [](const Json& value) {
    return value.dump(-1, ' ', false, Json::error_handler_t::replace);
  };
  const std::optional<DoseScale> scale = summarizeDay("", rows, {}).scale;
  // One minute a line: small, and still read by eye.
  std::string all = "{\"station\": " + text(place) + ", \"date\": " + text(slashDate) +
                    ", \"unit\": \"µSv/h\", \"readings\": [";
  for (size_t k = 0; k < rows.size(); ++k) {
    const DayRecord& record = rows[k];
    Json minute{{"time", record.time},
                {"cpm", nullptr},
                {"doseRate", record.rate},
                {"low", nullptr},
                {"high", nullptr}};
    if (record.cpm) minute["cpm"] = *record.cpm;
    if (const auto interval = recordInterval(record, scale)) {
      minute["low"] = rounded(interval->lower);
      minute["high"] = rounded(interval->upper);
    }
    all += (k == 0 ? "\n" : ",\n") + text(minute);
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
  bool capped = false;
  for (const EventLine& event : events) {
    if (event.kind == EventKind::DeadTimeCapped) capped = true;
    if (event.kind == EventKind::DeadTimeOk) capped = false;
  }
  return capped ? web::StationState::LowerBound : web::StationState::Measuring;
}

web::PageContent pageContent(const PageSources& s) {
  web::PageContent content;
  content.stationName = q(s.place);
  content.readingsFile = kReadingsFileName;
  content.madeAt = q(s.now.slashDate() + " " + s.now.hhmm());
  const LocalDateTime yesterday = s.now.previousDay();
  const std::string today = s.now.yyyymmdd();

  for (const LocalDateTime& day : {s.now, yesterday}) {
    const auto rows = readDayTable(dayFilePath(s.dataFolder, day.yyyymmdd())).value.rows;
    const auto last = lastRecord(rows);
    if (!last) continue;
    const auto interval = recordInterval(*last, summarizeDay("", rows, {}).scale);
    const std::vector<EventLine> events = readEventLog(s.dataFolder, day.yyyymmdd());
    // An alarm still latched at the end of the day before is latched today unless today's
    // log reset it.
    const AlarmLatches before =
        alarmLatches(readEventLog(s.dataFolder, day.previousDay().yyyymmdd()));
    const LocalDateTime at =
        day == s.now ? s.now : LocalDateTime{day.year, day.month, day.day, 23, 59, 59};
    web::StationState state = stationState(last->when(), events, at, before);
    // No record today: not measuring, whatever yesterday's last state; an open fault says why.
    if (day != s.now && state != web::StationState::InputLost &&
        state != web::StationState::SignalFault)
      state = web::StationState::Stopped;
    content.latest = web::LatestReading{q(last->date + " " + last->time),
                                        last->rate,
                                        interval ? interval->lower : NAN,
                                        interval ? interval->upper : NAN,
                                        last->cpm ? static_cast<double>(*last->cpm) : NAN,
                                        web::stateWords(state)};
    break;
  }

  auto add = [&](web::GraphKind kind, const LocalDateTime& day) {
    const std::string file = imageBaseName(s.graphName, day.yyyymmdd(), today) + ".jpg";
    if (exists(s.dataFolder + file))
      content.graphs.push_back({q(file), web::graphCaption(kind, q(day.slashDate()))});
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
  return content;
}

StationFilesWritten writeStationFiles(const PageSources& s) {
  StationFilesWritten written;
  StationFiles files;
  const web::PageContent content = pageContent(s);
  for (const web::PageImage& image : content.graphs)
    files.images.push_back(s.dataFolder + image.file.toStdString());
  files.readings = s.dataFolder + kReadingsFileName;
  files.page = s.dataFolder + kPageFileName;
  const auto rows = readDayTable(dayFilePath(s.dataFolder, s.now.yyyymmdd())).value.rows;
  const std::string json = readingsJson(s.place, s.now.slashDate(), rows);
  if (auto fault = writeWhole(files.readings, QByteArray::fromStdString(json))) {
    written.failedPath = files.readings;
    written.reason = *fault;
    return written;
  }
  if (auto fault = writeWhole(files.page, web::stationPage(content))) {
    written.failedPath = files.page;
    written.reason = *fault;
    return written;
  }
  written.files = std::move(files);
  return written;
}

}  // namespace radmon
