#include "headless_station.h"

#include <QCoreApplication>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <cstdio>
#include <iostream>
#include <thread>

#include "counting_settings.h"
#include "lock_file.h"
#include "number_text.h"
#include "pending_records.h"
#include "ratemon_messages.h"
#include "ratemon_settings.h"
#include "recording_cycle.h"
#include "settings_panel.h"
#include "station_link.h"
#include "sound_output.h"

namespace radmon {
namespace {

// Without a window the alarm is announced, not sounded.
class SilentSound final : public SoundOutput {
 public:
  void playLoop(const std::string&) override {}
  void stop() override {}
};

class StationHooks final : public CycleHooks {
 public:
  StationHooks(const Clock& clock, std::ostream& out, std::ostream& err)
      : clock_(clock), out_(out), err_(err) {}
  void alarmStarted(int stage, float gross, float limit) override {
    err_ << clock_.now().logStamp() << " " << messages::alarmStarted(stage, gross, limit)
         << std::endl;
  }
  // Flushed line by line, whatever stdout is: a reader sees each minute as it is made.
  void recordWritten(const std::string& line) override {
    out_ << line.substr(0, line.find_last_not_of("\r\n") + 1) << std::endl;
    if (published) published(line);
  }
  void soundEvent(const SoundEvent& event, const std::string& text) override {
    err_ << event.when.logStamp() << " " << text << std::endl;
  }
  // Hands the line to the MQTT link, when there is one.
  std::function<void(const std::string&)> published;

 private:
  const Clock& clock_;
  std::ostream& out_;
  std::ostream& err_;
};

}  // namespace

std::variant<HeadlessOptions, std::string> parseHeadlessOptions(int argc, char** argv) {
  using messages::BadArgument, messages::Usage;
  HeadlessOptions o;
  for (int i = 0; i < argc; ++i) {
    const std::string a = argv[i];
    auto value = [&]() -> std::optional<std::string> {
      if (i + 1 >= argc) return std::nullopt;
      return std::string(argv[++i]);
    };
    if (a == "--fast") {
      o.fast = true;
    } else if (a == "--input") {
      auto v = value();
      if (!v || v->empty()) return messages::usage(messages::Usage::headless);
      o.input = *v;
    } else if (a == "--start") {
      auto v = value();
      auto t = v ? LocalDateTime::parse(*v) : std::nullopt;
      if (!t) return messages::badArgument(BadArgument::start, v.value_or(""), Usage::headless);
      o.start = t;
    } else if (a == "--mqtt") {
      auto v = value();
      if (!v) return messages::usage(messages::Usage::headless);
      const auto address = parseMqttAddress(*v);
      if (const auto* error = std::get_if<MqttAddressError>(&address))
        return messages::mqttAddress(*error, *v) + "\n" + messages::usage(messages::Usage::headless);
      o.mqtt = *v;
    } else if (a == "--mqtt-discovery") {
      auto v = value();
      if (!v || v->empty()) return messages::usage(messages::Usage::headless);
      o.mqttDiscovery = *v;
    } else if (a == "--seconds") {
      auto v = value();
      auto n = v ? readNumber(*v) : std::nullopt;
      if (!n || *n < 0 || *n != static_cast<double>(static_cast<int64_t>(*n)))
        return messages::badArgument(BadArgument::seconds, v.value_or(""), Usage::headless);
      o.seconds = static_cast<int64_t>(*n);
    } else if (a == "--dead-time") {
      auto v = value();
      auto tau = v ? readDeadTime(*v) : std::nullopt;
      if (!tau) return messages::badDeadTime(v.value_or("")) + "\n" + messages::usage(messages::Usage::headless);
      o.deadTimeMicroseconds = tau;
    } else {
      return messages::badArgument(BadArgument::unknown, a, Usage::headless);
    }
  }
  if (o.input.empty()) return messages::usage(messages::Usage::headless);
  return o;
}

int runHeadless(const HeadlessOptions& options, const HeadlessEnvironment& env) {
  LockFile lock;
  if (auto refusal = lock.take(env.lockPath)) {
    env.err << messages::lockRefused(env.lockPath, *refusal) << std::endl;
    return 1;
  }

  const std::string settingsPath = env.programFolder + std::string(kSettingsFileName);
  auto read = loadSettingsFile(settingsPath, RatemonSettings::defaults(env.programFolder));
  RatemonSettings& settings = read.value;
  for (const auto& issue : read.issues) env.err << messages::settingsIssue(settingsPath, issue) << std::endl;

  const std::string countingPath = env.programFolder + kCountingSettingsFileName;
  const auto counting = loadCountingSettings(countingPath);
  for (const auto& issue : counting.issues)
    env.err << messages::settingsIssue(countingPath, issue) << std::endl;
  const double deadTime =
      options.deadTimeMicroseconds.value_or(counting.value.deadTimeMicroseconds);

  SystemClock systemClock;
  ManualClock virtualClock(options.start.value_or(systemClock.now()));
  const Clock& clock = options.fast ? static_cast<const Clock&>(virtualClock) : systemClock;

  SettingsPanel panel(settings, clock, env.err);
  StationHooks hooks(clock, env.out, env.err);
  SilentSound sound;

  auto save = [&] {
    if (auto error = saveSettingsFile(settingsPath, settings)) env.err << *error << std::endl;
  };

  auto opened = env.openInput(options.input, clock.now().secondOfDay());
  if (auto* error = std::get_if<std::string>(&opened)) {
    env.err << *error << std::endl;
    save();
    return 1;
  }
  DrivenInput source = std::move(std::get<DrivenInput>(opened));

  RecordingCycle cycle(panel, *source.input, sound, clock, hooks);
  cycle.setEventWording(&messages::eventWording());
  cycle.setSaveFolder(saveFolderFor(settings.texts[Box::recordPath], env.programFolder));
  cycle.setLockHeld(lock.held());
  cycle.setDeadTime(deadTime);
  if (lock.held()) {
    if (auto flush = flushPendingRecords(env.programFolder, cycle.saveFolder()))
      env.err << clock.now().logStamp() << " " << messages::pendingFlushed(*flush) << std::endl;
  }
  if (auto refused = cycle.start()) {
    env.err << messages::notice(*refused) << std::endl;
    save();
    return 1;
  }

  // Publishing, when the command line or ratemon_mqtt.ini names a broker. Its state is
  // told between buffers; the cycle only hands records over.
  std::vector<LinkNotice> notices;
  const auto link = StationLink::open(env.programFolder, cycle.saveFolder(),
                                      {options.mqtt, options.mqttDiscovery, messages::discoveryNames()},
                                      clock.now().yyyymmdd(), notices);
  for (const LinkNotice& n : notices)
    env.err << clock.now().logStamp() << " " << messages::linkNotice(n) << std::endl;
  auto tellLink = [&] {
    for (const LinkEvent& e : link->takeEvents())
      if (const std::string text = messages::linkEvent(e); !text.empty())
        env.err << clock.now().logStamp() << " " << text << std::endl;
  };
  if (link)
    hooks.published = [&](const std::string& line) {
      link->recordWritten(line, cycle.alarms().alarm1Latch(), cycle.alarms().alarm2Latch(),
                          cycle.healthText());
    };

  const bool showProgress = ::isatty(2) != 0;
  const auto wallStart = std::chrono::steady_clock::now();
  int64_t delivered = 0;
  while (!options.seconds || delivered < *options.seconds) {
    if (env.interrupted && *env.interrupted) break;
    if (options.fast) {
      virtualClock.advance(1);  // the buffer that arrives now ends one second later
    } else if (!source.selfPaced) {
      std::this_thread::sleep_until(wallStart + std::chrono::seconds(delivered + 1));
    }
    if (!source.deliverNext()) break;
    ++delivered;
    if (link) {
      link->second(clock.now(), cycle.lastDose().netDoseRate, cycle.lastDose().cpm);
      tellLink();
    }
    if (showProgress && delivered % 3600 == 0)
      env.err << "\r" << messages::hoursDone(delivered / 3600) << std::flush;
  }
  if (showProgress && delivered >= 3600) env.err << std::endl;
  cycle.stop();
  if (link) {
    const size_t unsent = link->finish();
    tellLink();
    if (unsent > 0) env.err << clock.now().logStamp() << " " << messages::linkUnsent(unsent) << std::endl;
  }
  if (const size_t kept = cycle.keptRecordLines(); kept > 0) {
    const auto fault = keepPendingRecords(env.programFolder, cycle.keptRecordTexts());
    env.err << clock.now().logStamp() << " "
            << messages::recordsPending(kept, env.programFolder + std::string(kPendingFileName), fault)
            << std::endl;
  }

  // The 95 % interval of the last figures after them; with the correction on, its τ and
  // whether the cap held the figures.
  const ReadingInterval& interval = cycle.lastInterval();
  char bounds[96];
  std::snprintf(bounds, sizeof bounds, " cpm95=%.1f-%.1f dose95=%.3f-%.3f", interval.cpmLow,
                interval.cpmHigh, interval.doseLow, interval.doseHigh);
  env.out << "summary elapsed=" << cycle.elapsedSeconds() << " total=" << cycle.totalCount()
          << " cpm=" << panel.text(Box::cpm) << " dose=" << panel.text(Box::doseRate) << bounds;
  if (deadTime > 0)
    env.out << " dead_time_us=" << shortestText(deadTime)
            << " capped=" << (cycle.lastDose().deadTimeCapped ? 1 : 0);
  env.out << std::endl;
  save();
  return 0;
}

}  // namespace radmon
