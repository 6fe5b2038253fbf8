// ratemon: the measuring program. With its windows by default (`--input SOURCE` lets
// someone without a tube watch it work on a WAV file or a simulated tube);
// `--headless` runs the station without a window, on any SOURCE including the card.
#include <QCoreApplication>
#include <csignal>
#include <cstring>
#include <iostream>

#include "audio_source_text.h"
#include "headless_station.h"
#include "lock_file.h"
#include "ratemon_messages.h"
#include "sound_card_source.h"
#include "text_files.h"
#include "window_app.h"

namespace {

volatile std::sig_atomic_t interrupted = 0;

void onSignal(int) { interrupted = 1; }

std::variant<radmon::DrivenInput, std::string> openInput(const std::string& text,
                                                         int startSecondOfDay) {
  auto parsed = radmon::parseAudioSource(text);
  if (!parsed.choice) return parsed.error;
  auto input = radmon::makeAudioInput(*parsed.choice, startSecondOfDay);
  radmon::PullAudioInput* raw = input.get();
  return radmon::DrivenInput{std::move(input), [raw] { return raw->deliverNext(); }};
}

// Without windows the card is one more source, driven on this thread's event loop.
std::variant<radmon::DrivenInput, std::string> openHeadlessInput(const std::string& text,
                                                                 int startSecondOfDay) {
  if (auto device = radmon::soundCardDeviceName(text))
    return radmon::drivenSoundCard(*device, std::cerr, &interrupted);
  return openInput(text, startSecondOfDay);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 2 && std::strcmp(argv[1], "--headless") == 0) {
    auto options = radmon::parseHeadlessOptions(argc - 2, argv + 2);
    if (auto* usage = std::get_if<std::string>(&options)) {
      std::cerr << *usage << std::endl;
      return 2;
    }
    // The sound card's device list and events need Qt; no window is opened.
    int qtArgc = 1;
    QCoreApplication app(qtArgc, argv);
    std::signal(SIGINT, onSignal);
    std::signal(SIGTERM, onSignal);
    std::ios::sync_with_stdio(false);
    const radmon::HeadlessEnvironment env{radmon::programFolder(),
                                          radmon::LockFile::kDefaultPath, openHeadlessInput,
                                          std::cout, std::cerr, &interrupted};
    return radmon::runHeadless(std::get<radmon::HeadlessOptions>(options), env);
  }

  std::string sourceText;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--input") == 0 && i + 1 < argc) {
      sourceText = argv[++i];
    } else if (argv[i][0] == '-' && argv[i][1] == '-') {
      std::cerr << radmon::messages::badArgument(radmon::messages::BadArgument::unknown, argv[i],
                                                 radmon::messages::Usage::windows)
                << std::endl;
      return 2;
    }
  }
  return radmon::runWindows(argc, argv, sourceText, openInput);
}
