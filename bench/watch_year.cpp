// The signal watch over a long run of a healthy tube: a simulated 20 CPM background
// (or the rate given) through the pulse scan and the watch, second by second, for the
// number of days given (365 by default), with the narrow or wide pulse. Every fault
// the watch tells is a false one; prints how many, with the time the watch took per
// second of sound.
//   watch_year [days] [cpm] [seed] [narrow|wide]
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "pulse_scan.h"
#include "signal_watch.h"
#include "tube_simulator.h"

int main(int argc, char** argv) {
  using namespace radmon;
  const long days = argc > 1 ? std::atol(argv[1]) : 365;
  const double cpm = argc > 2 ? std::atof(argv[2]) : 20.0;
  const uint64_t seed = argc > 3 ? std::strtoull(argv[3], nullptr, 10) : 1;
  const bool wide = argc > 4 && std::strcmp(argv[4], "wide") == 0;
  TubeSimulator tube(TubeProfile::constant(cpm), seed, 0);
  tube.setShape(wide ? TubeSimulator::Shape::Wide : TubeSimulator::Shape::Narrow);
  SignalWatch watch;
  std::vector<uint8_t> second(TubeSimulator::kSampleRate);
  std::vector<size_t> ends;
  bool armed = false;
  long faults = 0;
  double watchSeconds = 0;
  int64_t pulses = 0;
  for (long s = 0; s < days * 86400L; ++s) {
    tube.fill(second.data(), second.size());
    ends.clear();
    pulses += scanPulses(second.data(), second.size(), {47, 53, 10}, armed, ends);
    const auto t0 = std::chrono::steady_clock::now();
    const auto changes = watch.observe(second.data(), second.size(), ends);
    watchSeconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    for (const auto& c : changes) {
      if (!c.began) continue;
      ++faults;
      std::printf("day %ld %02ld:%02ld:%02ld fault %d (after %d s)\n", s / 86400, s % 86400 / 3600,
                  s % 3600 / 60, s % 60, static_cast<int>(c.fault), c.seconds);
    }
  }
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  std::printf(
      "days=%ld cpm=%.1f %s pulses=%lld false_faults=%ld per_year=%.3f "
      "watch_us_per_second=%.2f silent_limit_now=%d s max_rss=%ld KiB\n",
      days, cpm, wide ? "wide" : "narrow", static_cast<long long>(pulses), faults,
      faults * 365.0 / static_cast<double>(days),
      watchSeconds / static_cast<double>(days * 86400L) * 1e6, watch.silentSecondsLimit(),
      usage.ru_maxrss);
  return 0;
}
