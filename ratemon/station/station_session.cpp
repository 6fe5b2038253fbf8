#include "station_session.h"

#include <QString>
#include <QSysInfo>
#include <cstdlib>

#include "box_reader.h"
#include "dayplot_names.h"
#include "kept_background.h"
#include "map_request.h"
#include "number_text.h"
#include "pending_records.h"
#include "ratemon_messages.h"
#include "station_page.h"
#include "text_files.h"

namespace radmon {

StationSession::StationSession(std::string programFolder, std::string lockPath,
                               std::unique_ptr<AudioInput> input, StationControls& controls,
                               SoundOutput& sound, const Clock& clock, StationView& view)
    : programFolder_(std::move(programFolder)),
      lockPath_(std::move(lockPath)),
      input_(std::move(input)),
      controls_(controls),
      clock_(clock),
      view_(view),
      cycle_(*this, *input_, sound, clock, *this) {
  cycle_.setEventWording(&messages::eventWording());
}

std::expected<void, std::string> StationSession::open(RatemonSettings& settings,
                                                      const LinkChoice& choice) {
  if (auto taken = lock_.take(lockPath_); !taken)
    return std::unexpected(messages::lockRefused(lockPath_, taken.error()));
  cycle_.setLockHeld(lock_.held());
  const std::string settingsPath = programFolder_ + std::string(kSettingsFileName);
  auto read = loadSettingsFile(settingsPath, settings);
  settings = read.value;
  for (const auto& issue : read.issues) tell(messages::settingsIssue(settingsPath, issue));
  cycle_.setSaveFolder(saveFolderFor(settings.texts[Box::recordPath], programFolder_));
  const std::string countingPath = programFolder_ + kCountingSettingsFileName;
  const auto counting = loadCountingSettings(countingPath);
  for (const auto& issue : counting.issues) tell(messages::settingsIssue(countingPath, issue));
  counting_ = counting.value;
  cycle_.setDeadTime(counting_.deadTimeMicroseconds);
  cycle_.setAlarmOnEvidence(counting_.alarmOnEvidence);
  // The last run's unwritten lines go into the day files before the link's catch-up
  // reads them; with data collection off they wait in the station folder.
  const auto collecting = settings.ticks.find(Tick::recordFile);
  if (collecting == settings.ticks.end() || collecting->second)
    for (const Pending what : {Pending::Records, Pending::Events})
      if (auto flush = flushPending(what, programFolder_, cycle_.saveFolder()))
        tell(messages::pendingFlushed(*flush));
  openLink(choice);
  const std::string mapsPath = programFolder_ + kMapsSettingsFileName;
  auto maps = loadMapsSettings(mapsPath);
  for (const auto& issue : maps.issues) tell(messages::settingsIssue(mapsPath, issue));
  maps_ = std::make_unique<MapSender>(programFolder_, std::move(maps.value));
  return {};
}

bool StationSession::start() {
  // The watch knows the tube's quiet from earlier runs with the same sensitivity.
  if (const auto sensitivity = positiveNumber(text(Box::sensitivity)))
    cycle_.setKeptBackground(
        keptBackgroundFor(programFolder_ + kKeptBackgroundFileName, *sensitivity));
  const auto started = cycle_.start();
  if (!started) report(started.error());
  return started.has_value();
}

void StationSession::finish() {
  if (finished_) return;
  finished_ = true;
  cycle_.stop();
  const size_t unsent = link_ ? link_->finish() : 0;
  tendLink();
  if (unsent > 0) tell(messages::linkUnsent(unsent));
  if (maps_) {
    const auto left = maps_->finish();
    tendMaps();
    for (const auto& [service, minutes] : left)
      if (minutes > 0) tell(messages::mapUnsent(service, minutes));
  }
  input_->closeDevice();
  look();
  auto keep = [this](Pending what, const std::vector<std::string>& lines) {
    if (lines.empty() || !lock_.held()) return;
    const auto kept = keepPending(what, programFolder_, lines);
    tell(messages::pendingKept(what, lines.size(), pendingPath(what, programFolder_), kept));
  };
  keep(Pending::Records, cycle_.keptRecordTexts());
  keep(Pending::Events, cycle_.keptEventTexts());
  const double learnt = cycle_.signalWatch().learntBackground();
  const auto sensitivity = positiveNumber(text(Box::sensitivity));
  if (lock_.held() && learnt > 0 && sensitivity)
    keepBackground(programFolder_ + kKeptBackgroundFileName, {learnt, *sensitivity});
  lock_.release();
  live_.reset();
}

void StationSession::save(const RatemonSettings& settings) {
  // A refused station must not overwrite the settings of the ratemon that holds the lock.
  if (!lock_.held()) return;
  if (auto saved = saveSettingsFile(programFolder_ + std::string(kSettingsFileName), settings);
      !saved)
    tell(saved.error());
}

void StationSession::setCounting(const CountingSettings& counting) {
  counting_ = counting;
  cycle_.setDeadTime(counting_.deadTimeMicroseconds);
  cycle_.setAlarmOnEvidence(counting_.alarmOnEvidence);
  const std::string path = programFolder_ + kCountingSettingsFileName;
  if (auto saved = saveCountingSettings(path, counting_); !saved)
    tell(messages::fileNotWritten(path, saved.error()));
}

void StationSession::openLink(const LinkChoice& choice) {
  // What an earlier link leaves unacknowledged the new one catches up from the day files.
  if (link_) link_->finish(std::chrono::milliseconds(500));
  link_.reset();
  linkTold_.reset();
  std::vector<LinkNotice> notices;
  LinkChoice named = choice;
  named.names = messages::discoveryNames();
  // Kept out of the command line, where every user sees it in ps.
  if (const char* password = std::getenv("RADMON_MQTT_PASSWORD")) named.password = password;
  link_ = StationLink::open(programFolder_, cycle_.saveFolder(), named, clock_.now().yyyymmdd(),
                            notices);
  std::string told;
  for (const LinkNotice& n : notices)
    told.append(told.empty() ? "" : "\n").append(messages::linkNotice(n));
  if (!told.empty()) tell(told);
}

void StationSession::tendLink() {
  if (!link_) return;
  // A refusal needs the operator; a lost connection mends itself and is only logged. A
  // broker that refuses each retry alike is told once, until the state changes.
  for (const LinkEvent& e : link_->takeEvents()) {
    std::string text = messages::linkEvent(e);
    if (text.empty() || (linkTold_ && linkTold_->state == e.state && linkTold_->detail == e.detail))
      continue;
    linkTold_ = e;
    const bool refused = e.state == LinkState::BadLogin || e.state == LinkState::TlsFailed ||
                         e.state == LinkState::Unreachable || e.state == LinkState::Refused;
    view_.told({clock_.now(), std::move(text), refused, true});
  }
}

namespace {

// The page names the station and its graphs as dayplot.ini does; without the file, by
// the host's name.
PageSources livePageSources(const std::string& programFolder, const std::string& dataFolder,
                            const LocalDateTime& now) {
  if (const auto names = readDayplotNames(programFolder))
    return {dataFolder, names->graphName, names->place, now};
  return {dataFolder, std::string(kDefaultGraphName), QSysInfo::machineHostName().toStdString(),
          now};
}

}  // namespace

bool StationSession::serve(const HttpAddress& address) {
  httpAddress_ = address;
  return listenLive();
}

bool StationSession::listenLive() {
  lastListenTry_ = std::chrono::steady_clock::now();
  auto started = LiveServer::start(
      *httpAddress_, livePageSources(programFolder_, cycle_.saveFolder(), clock_.now()));
  if (!started) {
    // Told once; the measuring goes on and the port is tried again until it opens.
    if (!listenRefused_)
      tell(messages::liveNotListening(httpAddressText(*httpAddress_), started.error(),
                                      static_cast<int>(kListenRetry.count())));
    listenRefused_ = true;
    return false;
  }
  live_ = std::move(*started);
  HttpAddress listening = *httpAddress_;
  listening.port = live_->port();
  tell(messages::liveListening(httpAddressText(listening)), listenRefused_);
  listenRefused_ = false;
  showState();
  return true;
}

web::StationState liveStationState(const LiveReading& r) {
  if (!r.recording) return web::StationState::Stopped;
  if (r.alarm2) return web::StationState::Alarm2;
  if (r.alarm1) return web::StationState::Alarm1;
  if (r.health.find(eventKindName(EventKind::DeviceLost)) != std::string::npos)
    return web::StationState::InputLost;
  if (r.health != "ok") return web::StationState::SignalFault;
  return r.lowerBound ? web::StationState::LowerBound : web::StationState::Measuring;
}

web::LowerBound liveLowerBound(const LiveReading& r) {
  if (r.tubeSaturated) return web::LowerBound::TubeSaturated;
  return r.lowerBound ? web::LowerBound::DeadTimeCapped : web::LowerBound::None;
}

std::vector<LiveBanner> StationSession::banners(const LiveReading& r, web::LowerBound bound) {
  const web::StationState state = liveStationState(r);
  const LocalDateTime now = clock_.now();
  const std::string at = now.slashDate() + " " + now.hhmm();
  // Each begins when it is first seen; a state told since the start of the run is told
  // since then.
  if (static_cast<int>(state) != shownState_) stateSince_ = at;
  if (static_cast<int>(bound) != shownBound_) boundSince_ = at;
  shownState_ = static_cast<int>(state);
  shownBound_ = static_cast<int>(bound);
  std::vector<LiveBanner> out;
  for (const web::Banner& b : web::stateBanners(state, bound, QString::fromStdString(stateSince_),
                                                QString::fromStdString(boundSince_)))
    out.push_back({b.kind.toStdString(), b.title.toStdString(), b.text.toStdString()});
  return out;
}

LiveReading StationSession::liveReading() {
  LiveReading r;
  r.recording = recording_;
  const LocalDateTime now = clock_.now();
  const DoseResult& dose = cycle_.lastDose();
  const ReadingInterval& interval = cycle_.lastInterval();
  if (cycle_.elapsedSeconds() > 0) {
    r.time = now.isoText();
    // The figures as the boxes show them.
    r.doseRate = readNumber(text(Box::doseRate)).value_or(asDecimal(dose.netDoseRate));
    r.cpm = readNumber(text(Box::cpm)).value_or(static_cast<double>(dose.cpm));
    if (interval.seconds > 0) {
      r.low = interval.doseLow;
      r.high = interval.doseHigh;
    }
  }
  r.totalCount = cycle_.totalCount();
  r.elapsedSeconds = cycle_.elapsedSeconds();
  r.alarm1 = cycle_.alarms().alarm1Latch();
  r.alarm2 = cycle_.alarms().alarm2Latch();
  r.health = cycle_.healthText();
  r.tubeSaturated = tubeSaturated_;
  r.lowerBound = dose.deadTimeCapped || r.tubeSaturated;
  const web::LowerBound bound = liveLowerBound(r);
  r.state = web::stateWords(liveStationState(r), bound).toStdString();
  r.banners = banners(r, bound);
  r.suspect = r.recording && r.health != "ok";
  r.records = records_;
  // kLinkStates follows LinkState's order after "off".
  if (link_) r.link = kLinkStates[1 + static_cast<int>(link_->status().state)];
  return r;
}

void StationSession::showState() {
  const LiveReading r = liveReading();
  if (r.banners != bannersShown_) view_.stateShown(r.banners);
  bannersShown_ = r.banners;
  if (!live_) return;
  live_->publish(r);
  live_->today(cycle_.saveFolder(), clock_.now());
  if (cycle_.elapsedSeconds() % 5 == 0)
    live_->intervals(cycle_.pulseIntervals().intervalsSeconds());
}

void StationSession::tendMaps() {
  if (!maps_) return;
  // A failure is told when it begins and when it ends, not at each retry; the window
  // shows the last outcome on the link's status instead of a box. A refused account needs
  // the operator, so it is told also when it follows another failure.
  for (const MapOutcome& o : maps_->takeOutcomes()) {
    bool& failing = mapFailing_[o.service];
    MapAnswer& toldAnswer = mapToldAnswer_[o.service];
    const bool newRefusal = o.kind == MapOutcome::Refused && o.answer != toldAnswer &&
                            o.answer != MapAnswer::HttpRefused;
    std::string text;
    if (o.kind == MapOutcome::Skipped)
      text = messages::mapSkipped(o.service, o.count);
    else if (o.kind == MapOutcome::Sent && failing)
      text = messages::mapRecovered(o.service);
    else if (o.kind != MapOutcome::Sent && (!failing || newRefusal))
      text = messages::mapFailed(o);
    if (o.kind != MapOutcome::Skipped) {
      failing = o.kind != MapOutcome::Sent;
      if (!text.empty() || !failing) toldAnswer = failing ? o.answer : MapAnswer::Taken;
    }
    if (!text.empty()) tell(std::move(text), false);
  }
}

std::string StationSession::mapsStatusText() const {
  std::string text;
  if (maps_)
    for (const auto& [service, last] : maps_->status())
      text.append(text.empty() ? "" : "\n").append(messages::mapStatus(service, last));
  return text;
}

std::string StationSession::healthText() const {
  std::string text = cycle_.recordHealthText();
  static constexpr const char* kNames[] = {"records-kept", "events-kept"};  // as Lasting
  for (const auto& [what, on] : lasting_)
    if (on) text = (text == "ok" ? "" : text + ",") + kNames[static_cast<int>(what)];
  return text;
}

void StationSession::report(const Notice& notice) {
  // Write faults last until a write succeeds: look() tells their beginning and end.
  if (std::holds_alternative<RecordKept>(notice))
    recordsKept_ = notice;
  else if (std::holds_alternative<EventKept>(notice))
    eventsKept_ = notice;
  else
    tell(messages::notice(notice));
}

void StationSession::look() {
  hold(Lasting::RecordsKept, cycle_.keptRecordLines() > 0, recordsKept_);
  hold(Lasting::EventsKept, cycle_.keptEventLines() > 0, eventsKept_);
}

void StationSession::hold(Lasting what, bool on, const std::optional<Notice>& cause) {
  bool& was = lasting_[what];
  if (was == on) return;
  was = on;
  tell(messages::lasting(what, on, cause));
}

void StationSession::recordingStateChanged(bool recording) {
  recording_ = recording;
  // A new recording tells its own saturation.
  if (recording) tubeSaturated_ = false;
  showState();
  view_.recordingStateChanged(recording);
}

void StationSession::readingsShown() {
  // Published once per second heard, so a stopped or lost input sends nothing stale.
  if (link_) link_->second(clock_.now(), cycle_.lastDose().netDoseRate, cycle_.lastDose().cpm);
  tendLink();
  tendMaps();
  look();
  showState();
  if (!live_ && httpAddress_ && !finished_ &&
      std::chrono::steady_clock::now() - lastListenTry_ >= kListenRetry)
    listenLive();
  view_.readingsShown();
}

void StationSession::alarmStarted(int stage, float grossDoseRate, float limit) {
  const bool silence = !cycle_.saturation().saturated() && cycle_.signalWatch().improbableSilence();
  tell(messages::alarmStarted(stage, grossDoseRate, limit, silence), false);
  view_.alarmStarted(stage, grossDoseRate, limit);
}

void StationSession::recordWritten(const std::string& line) {
  look();
  ++records_;
  if (live_) live_->recordWritten();
  if (link_) {
    const ReadingInterval& i = cycle_.lastInterval();
    link_->recordWritten(line, cycle_.alarms().alarm1Latch(), cycle_.alarms().alarm2Latch(),
                         healthText(),
                         RecordBounds{i.cpmLow, i.cpmHigh, i.doseLow, i.doseHigh,
                                      cycle_.lastDose().deadTimeCapped || tubeSaturated_});
  }
  if (maps_)
    if (const auto reading = mapReadingOf(line, maps_->newest())) maps_->add(*reading);
  view_.recordWritten(line);
}

void StationSession::soundEvent(const SoundEvent& event, const std::string& text) {
  look();
  if (event.kind == EventKind::TubeSaturated) tubeSaturated_ = true;
  if (event.kind == EventKind::TubeSaturatedOk) tubeSaturated_ = false;
  view_.told({event.when, text, false});
  view_.soundEvent(event, text);
}

}  // namespace radmon
