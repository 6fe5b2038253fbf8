// gmsim: writes the sound of a simulated GM tube to an 8-bit unsigned mono WAV file at
// 22050 samples/s and prints how many pulses it holds.
#include <sndfile.h>

#include <charconv>
#include <cstdint>
#include <cstdio>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tube_simulator.h"

namespace {

using radmon::TubeProfile;
using radmon::TubeSimulator;

constexpr int64_t kMaxSeconds = 10LL * radmon::kSecondsPerDay;

void printUsage() {
  std::cerr << "使い方: gmsim (--cpm CPM | --profile BASE:RAISED@HH:MM-HH:MM) --seconds N\n"
               "             [--tube KIND] [--seed S] [--start HH:MM[:SS]] --out FILE.wav\n"
               "  --cpm      一定の計数率 (CPM)\n"
               "  --profile  基準 CPM と、時刻範囲で上昇する CPM (例 20:120@13:00-16:00)\n"
               "  --seconds  録音の長さ (秒, 1 ～ 864000)\n"
               "  --tube     管の種類 (既定 narrow):\n"
               "             narrow       幅約 100 μs のパルス\n"
               "             wide         約 1 ms しきい値より下にとどまるパルス\n"
               "             afterpulse   narrow の 1 割に 0.5～1.5 ms 後のアフターパルス\n"
               "             paralysable  放電のたびに 1 ms 不感 (その間の放電で延びる)\n"
               "  --seed     乱数の種 (既定 1)。同じ種なら同じ音になります\n"
               "  --start    最初のサンプルの時刻 (既定 00:00)\n";
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

// Fills `options`; false with the reason in `error` when the command line is unusable.
bool parseArguments(int argc, char** argv, Options& options, std::string& error) {
  bool haveRate = false, haveSeconds = false;
  for (int i = 1; i < argc; ++i) {
    const std::string_view name = argv[i];
    if (i + 1 >= argc) {
      error = "オプションに値がありません: " + std::string(name);
      return false;
    }
    const std::string_view value = argv[++i];
    if (name == "--cpm") {
      const auto cpm = radmon::parseCpm(value);
      if (!cpm) {
        error = "CPM が正しくありません: " + std::string(value);
        return false;
      }
      options.profile = TubeProfile::constant(*cpm);
      haveRate = true;
    } else if (name == "--profile") {
      const auto profile = radmon::parseTubeProfile(value);
      if (!profile) {
        error = "プロファイルが正しくありません: " + std::string(value);
        return false;
      }
      options.profile = *profile;
      haveRate = true;
    } else if (name == "--tube") {
      if (!(options.kind = radmon::parseTubeKind(value))) {
        error = "管の種類が正しくありません: " + std::string(value);
        return false;
      }
    } else if (name == "--seconds") {
      const auto seconds = readInteger<int64_t>(value);
      if (!seconds || *seconds < 1 || *seconds > kMaxSeconds) {
        error = "秒数が正しくありません: " + std::string(value);
        return false;
      }
      options.seconds = *seconds;
      haveSeconds = true;
    } else if (name == "--seed") {
      const auto seed = readInteger<uint64_t>(value);
      if (!seed) {
        error = "乱数の種が正しくありません: " + std::string(value);
        return false;
      }
      options.seed = *seed;
    } else if (name == "--start") {
      const auto start = radmon::parseTimeOfDay(value);
      if (!start) {
        error = "開始時刻が正しくありません: " + std::string(value);
        return false;
      }
      options.startSecond = *start;
    } else if (name == "--out") {
      options.out = value;
    } else {
      error = "不明なオプションです: " + std::string(name);
      return false;
    }
  }
  if (options.kind) options.profile.kind = *options.kind;
  if (!haveRate)
    error = "--cpm か --profile を指定してください";
  else if (!haveSeconds)
    error = "--seconds を指定してください";
  else if (options.out.empty())
    error = "--out を指定してください";
  return error.empty();
}

int writeWav(const Options& options) {
  SF_INFO info{};
  info.samplerate = TubeSimulator::kSampleRate;
  info.channels = 1;
  info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_U8;
  SNDFILE* file = sf_open(options.out.c_str(), SFM_WRITE, &info);
  if (!file) {
    std::cerr << "WAVファイルを作れません: " << options.out << " (" << sf_strerror(nullptr)
              << ")\n";
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
    std::cerr << "WAVファイルに書けません: " << options.out << " (" << sf_strerror(file) << ")\n";
  if (sf_close(file) != 0 && ok) {
    std::cerr << "WAVファイルを閉じられません: " << options.out << "\n";
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
  Options options;
  std::string error;
  if (argc < 2 || !parseArguments(argc, argv, options, error)) {
    if (!error.empty()) std::cerr << "gmsim: " << error << "\n";
    printUsage();
    return 2;
  }
  return writeWav(options);
}
