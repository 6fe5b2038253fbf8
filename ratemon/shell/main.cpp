// ratemon: the measuring program. `--headless` runs the station without a window.
#include <csignal>
#include <cstring>
#include <iostream>

#include "audio_source_text.h"
#include "headless_station.h"
#include "lock_file.h"
#include "text_files.h"

namespace {

volatile std::sig_atomic_t interrupted = 0;

void onSignal(int) { interrupted = 1; }

std::variant<radmon::DrivenInput, std::string> openInput(const std::string& text,
                                                         int startSecondOfDay) {
  auto parsed = radmon::parseAudioSource(text);
  if (!parsed.spec) return parsed.error;
  auto input = radmon::makeAudioInput(*parsed.spec, startSecondOfDay);
  radmon::PullAudioInput* raw = input.get();
  return radmon::DrivenInput{std::move(input), [raw] { return raw->deliverNext(); }};
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || std::strcmp(argv[1], "--headless") != 0) {
    std::cerr << "使い方: ratemon --headless --input SOURCE [--fast] [--start \"YYYY-MM-DD "
                 "hh:mm:ss\"] [--seconds N]"
              << std::endl;
    return 2;
  }
  auto options = radmon::parseHeadlessOptions(argc - 2, argv + 2);
  if (auto* usage = std::get_if<std::string>(&options)) {
    std::cerr << *usage << std::endl;
    return 2;
  }
  std::signal(SIGINT, onSignal);
  std::signal(SIGTERM, onSignal);
  std::ios::sync_with_stdio(false);
  const radmon::HeadlessEnvironment env{radmon::programFolder(), radmon::LockFile::kDefaultPath,
                                        openInput, std::cout, std::cerr, &interrupted};
  return radmon::runHeadless(std::get<radmon::HeadlessOptions>(options), env);
}
