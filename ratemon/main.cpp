// ratemon: the measuring program. With its windows by default (`--input SOURCE` lets
// someone without a tube watch it work on a WAV file or a simulated tube);
// `--headless` runs the station without a window, on any SOURCE including the card.
#include <pthread.h>
#include <QApplication>
#include <QCoreApplication>
#include <QMessageBox>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>

#include "alarm_player.h"
#include "audio_source_text.h"
#include "display_check.h"
#include "headless_station.h"
#include "language_setting.h"
#include "lock_file.h"
#include "ratemon_messages.h"
#include "ratemon_options.h"
#include "ratemon_setting_keys.h"
#include "sound_card_source.h"
#include "start_options.h"
#include "station_folder.h"
#include "stop_signals.h"
#include "ui_translator.h"
#include "window_app.h"

namespace {

// The stop signals are held from the first instruction of main until their handler
// stands: one that comes while the program starts (a service stopped at once, Ctrl+C
// pressed early) is handled then, never the default end with 130 or 143. The window's
// handler lets them through when it is installed (StopSignals::listen).
sigset_t stopSignals() {
  sigset_t set;
  sigemptyset(&set);
  for (const int s : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&set, s);
  return set;
}

void holdStopSignals() {
  const sigset_t set = stopSignals();
  pthread_sigmask(SIG_BLOCK, &set, nullptr);
}

void releaseStopSignals() {
  const sigset_t set = stopSignals();
  pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
}

std::variant<radmon::DrivenInput, std::string> openInput(const std::string& text,
                                                         int startSecondOfDay) {
  const auto choice = radmon::parseAudioSource(text);
  if (!choice)
    return text.empty() ? radmon::messages::noSource() : radmon::messages::badSimulation(text);
  auto input = radmon::makeAudioInput(*choice, startSecondOfDay);
  radmon::PullAudioInput* raw = input.get();
  return radmon::DrivenInput{std::move(input), [raw] { return raw->deliverNext(); }};
}

// Without windows the card is one more source, driven on this thread's event loop.
std::variant<radmon::DrivenInput, std::string> openHeadlessInput(const std::string& text,
                                                                 int startSecondOfDay) {
  if (auto device = radmon::soundCardDeviceName(text))
    return radmon::drivenSoundCard(*device, radmon::StopSignals::requested(), std::cerr);
  return openInput(text, startSecondOfDay);
}

// A display named but out of reach counts as none: Qt would abort on it.
bool displayGiven() { return radmon::displayState() == radmon::DisplayState::Reachable; }

// Started from the menu, the window has no terminal: a start failure shows in a message
// box as well (not on the offscreen platform, where nobody could close it).
void showStartFailure(int argc, char** argv, const std::string& text) {
  const bool windows = argc < 2 || std::strcmp(argv[1], "--headless") != 0;
  if (!windows || !displayGiven() || qgetenv("QT_QPA_PLATFORM") == "offscreen") return;
  // Ctrl+C closes the box as it would any window.
  releaseStopSignals();
  int qtArgc = 1;
  QApplication app(qtArgc, argv);
  QMessageBox::critical(nullptr, QStringLiteral("ratemon"), QString::fromStdString(text));
}

}  // namespace

int main(int argc0, char** argv0) {
  holdStopSignals();
  radmon::StartOptions start(argc0, argv0);
  radmon::useUiLanguage(start.language());
  if (const auto answered = radmon::answerCommandLine(
          radmon::ratemonOptions(), std::vector<std::string>(argv0 + 1, argv0 + argc0)))
    return *answered;
  const bool settingsCommand = start.settingsCommand().given();
  if (start.problem() != radmon::StartOptions::Problem::None) {
    const std::string problem = radmon::optionProblemText(start.problem());
    std::cerr << problem << "\n"
              << radmon::messages::usage(radmon::messages::Usage::windows) << std::endl;
    if (!settingsCommand) showStartFailure(start.argc(), start.argv(), problem);
    return 2;
  }
  const radmon::StationResult station =
      radmon::findStationFolder(start.station(), start.createStation());
  if (station.failure) {
    const std::string text = radmon::stationFaultText(station);
    std::cerr << text << std::endl;
    if (!settingsCommand) showStartFailure(start.argc(), start.argv(), text);
    return 1;
  }
  // The station's language goes over the locale, --lang over both.
  if (!start.languageGiven())
    if (const auto chosen = radmon::stationLanguage(station.station.folder))
      radmon::useUiLanguage(*chosen);
  if (const auto& command = start.settingsCommand(); command.given()) {
    // The messages come from Qt's translator; no window, no sound.
    int qtArgc = 1;
    QCoreApplication app(qtArgc, start.argv());
    if (start.argc() > 1) {
      std::cerr << radmon::messages::badArgument(radmon::messages::BadArgument::unknown,
                                                 start.argv()[1], radmon::messages::Usage::windows)
                << std::endl;
      return 2;
    }
    auto files = radmon::readRatemonFiles(station.station.folder);
    if (const auto* unreadable = std::get_if<std::string>(&files)) {
      std::cerr << *unreadable << std::endl;
      return 1;
    }
    const std::string folder = station.station.folder;
    return radmon::runSettingsCommand<radmon::RatemonFiles>(
        command, radmon::ratemonSettingKeys(), std::get<radmon::RatemonFiles>(files),
        [&](const radmon::RatemonFiles& before, const radmon::RatemonFiles& after) {
          return radmon::saveRatemonFiles(folder, before, after);
        },
        std::cout, std::cerr);
  }
  // The station beside the program keeps the lock in the working folder, as always; an
  // installed one keeps it with its other files.
  const std::string lockPath = station.station.origin == radmon::StationOrigin::ProgramFolder
                                   ? std::string(radmon::LockFile::kDefaultPath)
                                   : station.station.folder + radmon::LockFile::kDefaultPath;
  int& argc = start.argc();
  char** argv = start.argv();
  if (argc >= 2 && std::strcmp(argv[1], "--headless") == 0) {
    // The sound card's device list and events need Qt, and the messages its translator;
    // no window is opened.
    int qtArgc = 1;
    QCoreApplication app(qtArgc, argv);
    auto options = radmon::parseHeadlessOptions(argc - 2, argv + 2);
    if (auto* usage = std::get_if<std::string>(&options)) {
      std::cerr << *usage << std::endl;
      return 2;
    }
    radmon::StopSignals::listen({SIGINT, SIGTERM});
    // A stop that came meanwhile is taken now; a hang-up ends the program as it always did.
    releaseStopSignals();
    std::ios::sync_with_stdio(false);
    std::cerr << radmon::stationInUseText(station.station.folder) << std::endl;
    // The alarms sound on the default output as in the window; a missing output is told
    // once and the station goes on.
    auto makeAlarm = [&]() -> std::unique_ptr<radmon::SoundOutput> {
      auto player = std::make_unique<radmon::AlarmPlayer>(station.station.folder);
      player->onUnavailable([](const std::string& output) {
        std::cerr << radmon::SystemClock().now().logLine(
                         radmon::messages::alarmOutputUnavailable(output))
                  << std::endl;
      });
      player->onBack([](const std::string& output) {
        std::cerr << radmon::SystemClock().now().logLine(radmon::messages::alarmOutputBack(output))
                  << std::endl;
      });
      return player;
    };
    const radmon::HeadlessEnvironment env{
        station.station.folder,           lockPath, openHeadlessInput, std::cout, std::cerr,
        radmon::StopSignals::requested(), makeAlarm};
    const int status = radmon::runHeadless(std::get<radmon::HeadlessOptions>(options), env);
    // Every record, event and setting is written and the lock released by now. Qt's own
    // connection to the sound server is torn down on libpulse's thread as the program
    // ends, and libpulse now and then asserts in that race (about one end in forty);
    // nothing of the station is left to tear down, so the process ends here.
    std::cout.flush();
    std::cerr.flush();
    std::fflush(nullptr);
    std::_Exit(status);
  }

  std::string sourceText;
  std::optional<radmon::HttpAddress> http;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--input") == 0 && i + 1 < argc) {
      sourceText = argv[++i];
    } else if (std::strcmp(argv[i], "--http") == 0) {
      const char* value = i + 1 < argc ? argv[++i] : "";
      if (!(http = radmon::parseHttpAddress(value))) {
        int qtArgc = 1;
        QCoreApplication app(qtArgc, argv);
        std::cerr << radmon::messages::badArgument(radmon::messages::BadArgument::http, value,
                                                   radmon::messages::Usage::windows)
                  << std::endl;
        return 2;
      }
    } else if (argv[i][0] == '-' && argv[i][1] == '-') {
      std::cerr << radmon::messages::badArgument(radmon::messages::BadArgument::unknown, argv[i],
                                                 radmon::messages::Usage::windows)
                << std::endl;
      return 2;
    }
  }
  // Without a display Qt would abort in the window's platform; say what works instead.
  if (!displayGiven()) {
    int qtArgc = 1;
    QCoreApplication app(qtArgc, argv);
    std::cerr << radmon::messages::noDisplay() << std::endl;
    return 1;
  }
  const std::string language = radmon::uiLanguage() == radmon::UiLanguage::English ? "en" : "ja";
  return radmon::runWindows(argc, argv, sourceText, openInput,
                            {station.station.folder,
                             lockPath,
                             {"--station", station.station.folder, "--lang", language},
                             http});
}
