#include "headless_station.h"

#include <unistd.h>
#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <chrono>
#include <cmath>
#include <iostream>
#include <thread>

#include "number_text.h"
#include "ratemon_messages.h"
#include "resolving_time.h"
#include "settings_panel.h"
#include "station_session.h"
#include "stop_signals.h"

namespace radmon {
namespace {

// With --silent, and on a replay faster than time (--fast), the alarm is announced, not
// sounded.
class SilentSound final : public SoundOutput {
 public:
  void playLoop(const std::string&) override {}
  void stop() override {}
};

// The log on stderr, every sentence with its time; the minute lines on stdout, flushed
// line by line whatever stdout is, so that a reader sees each minute as it is made.
class HeadlessView final : public StationView {
 public:
  HeadlessView(std::ostream& out, std::ostream& err) : out_(out), err_(err) {}
  void told(const Told& told) override { err_ << told.when.logLine(told.text) << std::endl; }
  void recordWritten(const std::string& line) override {
    out_ << line.substr(0, line.find_last_not_of("\r\n") + 1) << std::endl;
  }

 private:
  std::ostream& out_;
  std::ostream& err_;
};

// Qt's events (the alarm's sound) are handled meanwhile, when there is a Qt application.
void waitUntil(std::chrono::steady_clock::time_point until) {
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
      until - std::chrono::steady_clock::now());
  if (!QCoreApplication::instance()) return std::this_thread::sleep_until(until);
  if (left.count() <= 0) return;
  QEventLoop loop;
  QTimer::singleShot(static_cast<int>(left.count()), Qt::PreciseTimer, &loop, &QEventLoop::quit);
  loop.exec();
}

}  // namespace

std::expected<HeadlessOptions, std::string> parseHeadlessOptions(const OptionCheck& check) {
  using messages::BadArgument;
  const std::string usage = messages::usage();
  HeadlessOptions o;
  auto refuse = [&](const std::string& why) { return std::unexpected(why + "\n" + usage); };
  for (const auto& [a, v] : check.given) {
    auto bad = [&](BadArgument what) { return std::unexpected(messages::badArgument(what, v)); };
    if (a == "--fast" || a == "--silent") {
      (a == "--fast" ? o.fast : o.silent) = true;
    } else if (a == "--input" || a == "--mqtt-discovery") {
      if (v.empty()) return refuse(messages::missingValue(a));
      (a == "--input" ? o.input : o.mqttDiscovery.emplace()) = v;
    } else if (a == "--start") {
      if (!(o.start = LocalDateTime::parse(v))) return bad(BadArgument::start);
    } else if (a == "--mqtt") {
      const auto address = parseMqttAddress(v);
      if (!address) return refuse(messages::mqttAddress(address.error(), v));
      o.mqtt = v;
    } else if (a == "--seconds") {
      const auto n = readNumber(v);
      if (!n || *n < 0 || *n != static_cast<double>(static_cast<int64_t>(*n)))
        return bad(BadArgument::seconds);
      o.seconds = static_cast<int64_t>(*n);
    } else if (a == "--http") {
      if (!(o.http = parseHttpAddress(v))) return bad(BadArgument::http);
    } else if (a == "--dead-time") {
      if (!(o.deadTimeMicroseconds = readDeadTime(v))) return refuse(messages::badDeadTime(v));
    }
  }
  if (o.input.empty()) return refuse(messages::noInputGiven());
  return o;
}

int runHeadless(const HeadlessOptions& options, const HeadlessEnvironment& env) {
  SystemClock systemClock;
  ManualClock virtualClock(options.start.value_or(systemClock.now()));
  const Clock& clock = options.fast ? static_cast<const Clock&>(virtualClock) : systemClock;
  auto opened = env.openInput(options.input, clock.now().secondOfDay());
  if (!opened) {
    env.err << opened.error() << std::endl;
    return 1;
  }
  DrivenInput source = std::move(*opened);

  RatemonSettings settings = RatemonSettings::defaults(env.programFolder);
  SettingsPanel panel(settings);
  SilentSound silent;
  std::unique_ptr<SoundOutput> alarm =
      options.silent || options.fast || !env.makeAlarm ? nullptr : env.makeAlarm();
  SoundOutput& sound = alarm ? *alarm : silent;
  HeadlessView view(env.out, env.err);
  StationSession session(env.programFolder, env.lockPath, std::move(source.input), panel, sound,
                         clock, view);
  if (auto opened = session.open(settings, {options.mqtt, options.mqttDiscovery}); !opened) {
    env.err << opened.error() << std::endl;
    return 1;
  }
  RecordingCycle& cycle = session.cycle();
  const double deadTime =
      options.deadTimeMicroseconds.value_or(session.counting().deadTimeMicroseconds);
  cycle.setDeadTime(deadTime);
  // A port that is taken is told and tried again while measuring goes on.
  if (options.http) session.serve(*options.http);
  // ratemon.ini is only read here: an edit made meanwhile (--set) is not undone.
  if (!session.start()) {
    // Without a screen the box to type it into is the command line.
    if (!positiveNumber(panel.text(Box::sensitivity)))
      env.err << messages::sensitivityCommand() << std::endl;
    return 1;
  }

  const bool showProgress = ::isatty(2) != 0;
  const auto wallStart = std::chrono::steady_clock::now();
  int64_t delivered = 0;
  while (!options.seconds || delivered < *options.seconds) {
    if (*StopSignals::requested()) break;  // ended cleanly at the next buffer
    if (options.fast) {
      virtualClock.advance(1);  // the buffer that arrives now ends one second later
    } else if (!source.selfPaced) {
      waitUntil(wallStart + std::chrono::seconds(delivered + 1));
    }
    if (!source.deliverNext()) break;
    ++delivered;
    if (showProgress && delivered % 3600 == 0)
      env.err << "\r" << messages::hoursDone(delivered / 3600) << std::flush;
  }
  if (showProgress && delivered >= 3600) env.err << std::endl;
  const bool broken = source.broken && source.broken();
  if (broken) env.err << clock.now().logLine(messages::soundBroken()) << std::endl;
  session.finish();

  // The 95 % interval of the last figures after them; with the correction on, its τ;
  // whether the figures are lower bounds; the resolving time the intervals heard give, once
  // they give one.
  const ReadingInterval& interval = cycle.lastInterval();
  const std::string bounds =
      " cpm95=" + fixedText(interval.cpmLow, 1) + "-" + fixedText(interval.cpmHigh, 1) +
      " dose95=" + fixedText(interval.doseLow, 3) + "-" + fixedText(interval.doseHigh, 3);
  env.out << "summary elapsed=" << cycle.elapsedSeconds() << " total=" << cycle.totalCount()
          << " cpm=" << panel.text(Box::cpm) << " dose=" << panel.text(Box::doseRate) << bounds;
  // Without the correction a lower bound (a saturated tube, a blind counter) is said
  // only when there is one, and a saturated tube after it.
  const bool capped = cycle.lastDose().deadTimeCapped;
  if (deadTime > 0) env.out << " dead_time_us=" << shortestText(deadTime);
  if (deadTime > 0 || capped) env.out << " capped=" << (capped ? 1 : 0);
  if (cycle.saturation().saturated()) env.out << " saturated=1";
  const ResolvingTimeEstimate estimate =
      estimateResolvingTime(cycle.pulseIntervals().intervalsSeconds());
  if (estimate.enough) env.out << " dead_time_estimate_us=" << std::lround(estimate.seconds * 1e6);
  env.out << std::endl;
  return broken ? kExitSoundBroken : 0;
}

}  // namespace radmon
