// gmsim: writes the sound of a simulated GM tube to an 8-bit unsigned mono WAV file at
// 22050 samples/s and prints how many pulses it holds.
#include <sndfile.h>

#include <charconv>
#include <cstdint>
#include <cstdio>
#include <expected>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "station_folder.h"
#include "tube_simulator.h"
#include "ui_translator.h"

namespace {

using radmon::TubeProfile;
using radmon::TubeSimulator;

constexpr int64_t kMaxSeconds = 10LL * radmon::kSecondsPerDay;

const radmon::ProgramOptions& gmsimOptions() {
  static const radmon::ProgramOptions options{
      .program = "gmsim",
      .summary = QT_TRANSLATE_NOOP("Options", "模擬の GM 管の音を WAV ファイルに書きます"),
      .description = QT_TRANSLATE_NOOP(
          "Options",
          "模擬の GM 管の音を 8 ビット符号なしモノラル 22050 Hz の WAV ファイルに書き、\n"
          "含まれるパルスの数を pulses=N と標準出力に出します。ratemon --input で再生できます。"),
      .modes = {{nullptr, QT_TRANSLATE_NOOP("Options", "WAV ファイルを書きます")}},
      .options = {{.name = "--cpm",
                   .value = "CPM",
                   .help = QT_TRANSLATE_NOOP("Options",
                                             "一定の計数率 (CPM)。--cpm か --profile が必要です")},
                  {.name = "--profile",
                   .value = "BASE:RAISED@HH:MM-HH:MM",
                   .help = QT_TRANSLATE_NOOP(
                       "Options", "基準 CPM と、時刻範囲で上昇する CPM (例 20:120@13:00-16:00)")},
                  {.name = "--seconds",
                   .value = "N",
                   .help = QT_TRANSLATE_NOOP("Options", "録音の長さ (秒, 1 ～ 864000)"),
                   .requiredIn = radmon::kAllModes},
                  {.name = "--tube",
                   .value = "KIND",
                   .help = QT_TRANSLATE_NOOP(
                       "Options",
                       "管の種類 (既定 narrow): narrow 幅約 100 μs のパルス、\n"
                       "wide 約 1 ms しきい値より下にとどまるパルス、\n"
                       "afterpulse narrow の 1 割に 0.5～1.5 ms 後のアフターパルス、\n"
                       "paralysable 放電のたびに 1 ms 不感 (その間の放電で延びる)、\n"
                       "ringing narrow の後に減衰する約 2.8 kHz の振動")},
                  {.name = "--seed",
                   .value = "S",
                   .help = QT_TRANSLATE_NOOP("Options",
                                             "乱数の種 (既定 1)。同じ種なら同じ音になります")},
                  {.name = "--start",
                   .value = "HH:MM[:SS]",
                   .help = QT_TRANSLATE_NOOP("Options", "最初のサンプルの時刻 (既定 00:00)")},
                  {.name = "--out",
                   .value = "FILE.wav",
                   .help = QT_TRANSLATE_NOOP("Options", "書く WAV ファイル"),
                   .requiredIn = radmon::kAllModes},
                  radmon::kMessagesLanguageOption},
      .files = {{"FILE.wav",
                 QT_TRANSLATE_NOOP("Options", "書く WAV ファイル。書けなかったときは消します")}},
      .environment = {radmon::kLanguageVariables},
      .exitStatus =
          QT_TRANSLATE_NOOP("Options", "0 書いた、1 WAV ファイルを書けない、2 引数の誤り"),
  };
  return options;
}

// The operator's sentences, in the interface's language.
std::string say(const char* source, std::string_view detail = {}) {
  std::string text = radmon::uiText("gmsim", source);
  if (const auto at = text.find("%1"); at != std::string::npos)
    text.replace(at, 2, std::string(detail));
  return text;
}

template <typename T>
std::optional<T> readInteger(std::string_view text) {
  T value{};
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

struct Options {
  TubeProfile profile;
  std::optional<radmon::TubeKind> kind;
  int64_t seconds = 0;
  uint64_t seed = 1;
  int startSecond = 0;
  std::string out;
};

// The options from the command line as the declaration read it, or why it is unusable.
std::expected<Options, std::string> parseArguments(const radmon::OptionCheck& check) {
  Options options;
  bool haveRate = false, haveSeconds = false;
  auto fail = [](const char* source, std::string_view value) {
    return std::unexpected(say(source, value));
  };
  for (const auto& [name, text] : check.given) {
    const std::string_view value = text;
    if (name == "--cpm") {
      const auto cpm = radmon::parseCpm(value);
      if (!cpm) return fail(QT_TRANSLATE_NOOP("gmsim", "CPM が正しくありません: %1"), value);
      options.profile = TubeProfile::constant(*cpm);
      haveRate = true;
    } else if (name == "--profile") {
      const auto profile = radmon::parseTubeProfile(value);
      if (!profile)
        return fail(QT_TRANSLATE_NOOP("gmsim", "プロファイルが正しくありません: %1"), value);
      options.profile = *profile;
      haveRate = true;
    } else if (name == "--tube") {
      if (!(options.kind = radmon::parseTubeKind(value)))
        return fail(QT_TRANSLATE_NOOP("gmsim", "管の種類が正しくありません: %1"), value);
    } else if (name == "--seconds") {
      const auto seconds = readInteger<int64_t>(value);
      if (!seconds || *seconds < 1 || *seconds > kMaxSeconds)
        return fail(QT_TRANSLATE_NOOP("gmsim", "秒数が正しくありません: %1"), value);
      options.seconds = *seconds;
      haveSeconds = true;
    } else if (name == "--seed") {
      const auto seed = readInteger<uint64_t>(value);
      if (!seed) return fail(QT_TRANSLATE_NOOP("gmsim", "乱数の種が正しくありません: %1"), value);
      options.seed = *seed;
    } else if (name == "--start") {
      const auto start = radmon::parseTimeOfDay(value);
      if (!start) return fail(QT_TRANSLATE_NOOP("gmsim", "開始時刻が正しくありません: %1"), value);
      options.startSecond = *start;
    } else if (name == "--out") {
      options.out = value;
    }
  }
  if (options.kind) options.profile.kind = *options.kind;
  if (!haveRate)
    return std::unexpected(
        say(QT_TRANSLATE_NOOP("gmsim", "--cpm か --profile を指定してください")));
  if (!haveSeconds)
    return std::unexpected(say(QT_TRANSLATE_NOOP("gmsim", "--seconds を指定してください")));
  if (options.out.empty())
    return std::unexpected(say(QT_TRANSLATE_NOOP("gmsim", "--out を指定してください")));
  return options;
}

int writeWav(const Options& options) {
  SF_INFO info{};
  info.samplerate = TubeSimulator::kSampleRate;
  info.channels = 1;
  info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_U8;
  SNDFILE* file = sf_open(options.out.c_str(), SFM_WRITE, &info);
  if (!file) {
    std::cerr << say(QT_TRANSLATE_NOOP("gmsim", "WAVファイルを作れません: %1"), options.out) << " ("
              << sf_strerror(nullptr) << ")\n";
    return 1;
  }
  TubeSimulator tube(options.profile, options.seed, options.startSecond);
  std::vector<uint8_t> second(TubeSimulator::kSampleRate);
  bool ok = true;
  for (int64_t s = 0; s < options.seconds && ok; ++s) {
    tube.fill(second.data(), second.size());
    // 8-bit WAV data is unsigned, so the bytes go to the file as they are.
    ok = sf_write_raw(file, second.data(), static_cast<sf_count_t>(second.size())) ==
         static_cast<sf_count_t>(second.size());
  }
  if (!ok)
    std::cerr << say(QT_TRANSLATE_NOOP("gmsim", "WAVファイルに書けません: %1"), options.out) << " ("
              << sf_strerror(file) << ")\n";
  if (sf_close(file) != 0 && ok) {
    std::cerr << say(QT_TRANSLATE_NOOP("gmsim", "WAVファイルを閉じられません: %1"), options.out)
              << "\n";
    ok = false;
  }
  if (!ok) {
    std::remove(options.out.c_str());
    return 1;
  }
  std::cout << "pulses=" << tube.pulsesProduced() << "\n";
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv, argv + argc);
  radmon::OptionCheck check;
  if (const auto ended = radmon::startCommandLine(gmsimOptions(), args, &check)) return *ended;
  const std::string usage = radmon::programUsage(gmsimOptions());
  const auto options = parseArguments(check);
  if (args.size() < 2 || !options) {
    if (args.size() >= 2) std::cerr << "gmsim: " << options.error() << "\n";
    std::cerr << usage;
    return 2;
  }
  return writeWav(*options);
}
