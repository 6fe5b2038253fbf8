#include "headless_station.h"

#include <unistd.h>

#include <chrono>
#include <iostream>
#include <thread>

#include "lock_file.h"
#include "number_text.h"
#include "ratemon_messages.h"
#include "ratemon_settings.h"
#include "recording_cycle.h"
#include "settings_panel.h"
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
  void recordWritten(const std::string& line) override {
    out_ << line.substr(0, line.find_last_not_of("\r\n") + 1) << '\n';
  }

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
    } else if (a == "--seconds") {
      auto v = value();
      auto n = v ? readNumber(*v) : std::nullopt;
      if (!n || *n < 0 || *n != static_cast<double>(static_cast<int64_t>(*n)))
        return messages::badArgument(BadArgument::seconds, v.value_or(""), Usage::headless);
      o.seconds = static_cast<int64_t>(*n);
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
  RatemonSettings settings = RatemonSettings::defaults(env.programFolder);
  if (!loadSettingsFile(settingsPath, settings))
    env.err << messages::about(messages::About::settingsUnreadable, settingsPath) << std::endl;

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
  cycle.setSaveFolder(saveFolderFor(settings.texts[Box::recordPath], env.programFolder));
  cycle.setLockHeld(lock.held());
  if (auto refused = cycle.start()) {
    env.err << messages::notice(*refused) << std::endl;
    save();
    return 1;
  }

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
    if (showProgress && delivered % 3600 == 0)
      env.err << "\r" << messages::hoursDone(delivered / 3600) << std::flush;
  }
  if (showProgress && delivered >= 3600) env.err << std::endl;
  cycle.stop();

  env.out << "summary elapsed=" << cycle.elapsedSeconds() << " total=" << cycle.totalCount()
          << " cpm=" << panel.text(Box::cpm) << " dose=" << panel.text(Box::doseRate) << std::endl;
  save();
  return 0;
}

}  // namespace radmon
