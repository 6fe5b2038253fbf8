// Speed of the pulse scan beside the plainest pass over the same bytes.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

#include "pulse_scan.h"
#include "tube_simulator.h"

namespace radmon {
namespace {

// 64 seconds of simulated sound (1.4 MB: beyond the first cache levels, like a day's
// stream), scanned one 22050-byte buffer at a time.
const std::vector<uint8_t>& sound(int cpm) {
  static std::vector<uint8_t> at30, at6000;
  auto& s = cpm == 30 ? at30 : at6000;
  if (s.empty()) {
    s.resize(64 * 22050);
    TubeSimulator sim(TubeProfile::constant(cpm), 1);
    sim.fill(s.data(), s.size());
  }
  return s;
}

void BM_PulseScan(benchmark::State& state) {
  const auto& s = sound(static_cast<int>(state.range(0)));
  const ScanSettings settings{};
  bool armed = false;
  size_t offset = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(scanPulses(s.data() + offset, 22050, settings, armed));
    offset = (offset + 22050) % (s.size() - 22050 + 1);
  }
  state.SetItemsProcessed(state.iterations() * 22050);
  state.SetBytesProcessed(state.iterations() * 22050);
}
BENCHMARK(BM_PulseScan)->Arg(30)->Arg(6000);

void BM_PulseScanReference(benchmark::State& state) {
  const auto& s = sound(static_cast<int>(state.range(0)));
  const ScanSettings settings{};
  bool armed = false;
  size_t offset = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(scanPulsesReference(s.data() + offset, 22050, settings, armed));
    offset = (offset + 22050) % (s.size() - 22050 + 1);
  }
  state.SetItemsProcessed(state.iterations() * 22050);
}
BENCHMARK(BM_PulseScanReference)->Arg(30)->Arg(6000);

// The plainest pass that reads every byte: the minimum of the buffer.
void BM_ByteScanBaseline(benchmark::State& state) {
  const auto& s = sound(static_cast<int>(state.range(0)));
  size_t offset = 0;
  for (auto _ : state) {
    const uint8_t* p = s.data() + offset;
    uint8_t lowest = 255;
    for (size_t i = 0; i < 22050; ++i) lowest = std::min(lowest, p[i]);
    benchmark::DoNotOptimize(lowest);
    offset = (offset + 22050) % (s.size() - 22050 + 1);
  }
  state.SetItemsProcessed(state.iterations() * 22050);
  state.SetBytesProcessed(state.iterations() * 22050);
}
BENCHMARK(BM_ByteScanBaseline)->Arg(30)->Arg(6000);

}  // namespace
}  // namespace radmon

BENCHMARK_MAIN();
