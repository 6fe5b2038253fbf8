// ratemon: the measuring program. With its windows by default (`--input SOURCE` lets
// someone without a tube watch it work on a WAV file or a simulated tube);
// `--headless` runs the station without a window, on any SOURCE including the card.
#include <QCoreApplication>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <iostream>

#include "alarm_player.h"
#include "audio_source_text.h"
#include "headless_station.h"
#include "lock_file.h"
#include "ratemon_messages.h"
#include "ratemon_options.h"
#include "ratemon_setting_keys.h"
#include "sound_card_source.h"
#include "station_folder.h"
#include "station_start.h"
#include "stop_signals.h"
#include "ui_translator.h"
#include "window_app.h"

namespace {

std::expected<radmon::DrivenInput, std::string> openInput(const std::string& text,
                                                          int startSecondOfDay) {
  const auto choice = radmon::parseAudioSource(text);
  if (!choice)
    return std::unexpected(text.empty() ? radmon::messages::noSource()
                                        : radmon::messages::badSimulation(text));
  auto input = radmon::makeAudioInput(*choice, startSecondOfDay);
  radmon::PullAudioInput* raw = input.get();
  return radmon::DrivenInput{std::move(input), [raw] { return raw->deliverNext(); }};
}

// Without windows the card is one more source, driven on this thread's event loop.
std::expected<radmon::DrivenInput, std::string> openHeadlessInput(const std::string& text,
                                                                  int startSecondOfDay) {
  if (auto device = radmon::soundCardDeviceName(text))
    return radmon::drivenSoundCard(*device, radmon::StopSignals::requested(), std::cerr);
  return openInput(text, startSecondOfDay);
}

}  // namespace

int main(int argc0, char** argv0) {
  // The stop signals are held from the first instruction of main until their handler
  // stands: one that comes while the program starts (a service stopped at once, Ctrl+C
  // pressed early) is handled then, never the default end with 130 or 143.
  radmon::StopSignals::hold({SIGINT, SIGTERM, SIGHUP});
  radmon::StartOptions start(argc0, argv0);
  auto started = radmon::startStation(
      argc0, argv0, start, radmon::ratemonOptions(), 1,
      radmon::settingsCommandOn(radmon::ratemonSettingKeys(), radmon::readRatemonFiles,
                                radmon::saveRatemonFiles));
  if (!started) return started.error();
  const auto& [station, options] = *started;
  // The station beside the program keeps the lock in the working folder, as always; an
  // installed one keeps it with its other files.
  const std::string lockPath = station.origin == radmon::StationOrigin::ProgramFolder
                                   ? std::string(radmon::LockFile::kDefaultPath)
                                   : station.folder + radmon::LockFile::kDefaultPath;
  int& argc = start.argc();
  char** argv = start.argv();
  if (options.mode == radmon::kRatemonHeadless) {
    // The sound card's device list and events need Qt, and the messages its translator;
    // no window is opened.
    int qtArgc = 1;
    QCoreApplication app(qtArgc, argv);
    auto headless = radmon::parseHeadlessOptions(options);
    if (!headless) {
      std::cerr << headless.error() << std::endl;
      return 2;
    }
    radmon::StopSignals::listen({SIGINT, SIGTERM});
    // A stop that came meanwhile is taken now; a hang-up ends the program as it always did.
    radmon::StopSignals::release({SIGHUP});
    std::ios::sync_with_stdio(false);
    std::cerr << radmon::stationInUseText(station.folder) << std::endl;
    // The alarms sound on the default output as in the window; a missing output is told
    // once and the station goes on.
    auto makeAlarm = [&]() -> std::unique_ptr<radmon::SoundOutput> {
      auto player = std::make_unique<radmon::AlarmPlayer>(station.folder);
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
    const radmon::HeadlessEnvironment env{station.folder, lockPath,  openHeadlessInput,
                                          std::cout,      std::cerr, makeAlarm};
    const int status = radmon::runHeadless(*headless, env);
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
  for (const auto& [name, value] : options.given) {
    if (name == "--input") {
      sourceText = value;
    } else if (name == "--http" && !(http = radmon::parseHttpAddress(value))) {
      int qtArgc = 1;
      QCoreApplication app(qtArgc, argv);
      std::cerr << radmon::messages::badArgument(radmon::messages::BadArgument::http, value)
                << std::endl;
      return 2;
    }
  }
  // Without a display Qt would abort in the window's platform; say what works instead.
  if (!radmon::displayGiven()) {
    int qtArgc = 1;
    QCoreApplication app(qtArgc, argv);
    std::cerr << radmon::messages::noDisplay() << std::endl;
    return 1;
  }
  const std::string language = radmon::uiLanguage() == radmon::UiLanguage::English ? "en" : "ja";
  return radmon::runWindows(
      argc, argv, sourceText, openInput,
      {station.folder, lockPath, {"--station", station.folder, "--lang", language}, http});
}
