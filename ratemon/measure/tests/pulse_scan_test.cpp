#include "pulse_scan.h"

#include <algorithm>
#include <random>
#include <vector>

#include <gtest/gtest.h>

namespace radmon {
namespace {

int scan(const std::vector<uint8_t>& s, bool& armed, ScanSettings c = {}) {
  return scanPulses(s.data(), s.size(), c, armed);
}

std::vector<uint8_t> quiet(size_t n = 200) { return std::vector<uint8_t>(n, 128); }

}  // namespace

// Each case through the fast scan and through the reference, which examines every
// sample: the fast scan passes over samples equal to a limit without looking at them.
TEST(PulseScan, LimitsHoldOffSkipAndBufferEndsOverQuietSound) {
  struct Row {
    const char* what;
    std::vector<std::pair<size_t, uint8_t>> samples;  // over quiet sound of 200
    int pulses;
    bool armed;
  };
  const Row rows[] = {
      {"equal to low does not arm", {{20, 47}}, 0, false},
      {"just under low arms, returns 10 later", {{20, 46}}, 1, false},
      {"equal to high is no return", {{20, 46}, {30, 53}, {31, 53}}, 1, false},
      {"equal to high at the end stays armed", {{20, 46}, {30, 53}, {31, 50}, {199, 53}}, 0, true},
      // last = 199: a dip at 189 is exactly Resolution before it, so no hold-off and
      // the return at 190 counts; at 188 the hold-off lands on 198.
      {"dip Resolution before the last", {{189, 10}, {199, 50}}, 1, false},
      {"dip one earlier holds off", {{188, 10}, {189, 128}, {198, 50}, {199, 50}}, 0, true},
      {"a dip inside the samples skipped over changes nothing", {{20, 46}, {25, 0}}, 1, false},
      {"without a skip the return comes in the same buffer", {{195, 10}}, 1, false},
      {"sample zero is never examined", {{0, 0}}, 0, false},
      {"the last sample arms a pulse for the next buffer", {{199, 0}}, 0, true},
  };
  for (const Row& row : rows) {
    auto s = quiet();
    for (auto [at, value] : row.samples) s[at] = value;
    // Between the first dip and an explicit return the sound stays inside the limits.
    if (row.samples.size() > 2 && row.samples[1].first == 30)
      for (size_t i = 32; i < 199; ++i) s[i] = 50;
    for (auto* scanner : {&scanPulses, &scanPulsesReference}) {
      bool armed = false;
      EXPECT_EQ(scanner(s.data(), s.size(), {}, armed), row.pulses) << row.what;
      EXPECT_EQ(armed, row.armed) << row.what;
    }
  }
}

TEST(PulseScan, ReturnIsLookedForResolutionSamplesAfterTheDip) {
  bool armed = false;
  auto s = quiet();
  s[20] = 46;  // dip
  for (int i = 21; i < 30; ++i) s[i] = 50;
  s[30] = 54;  // the sample 10 after the dip: counted here
  std::vector<size_t> at;
  EXPECT_EQ(scanPulses(s.data(), s.size(), ScanSettings{}, armed, at), 1);
  EXPECT_EQ(at, std::vector<size_t>{30});
}

TEST(PulseScan, DipAtTheEndCompletesInTheNextBufferAndASecondOneOnlySkips) {
  bool armed = false;
  auto first = quiet();
  first[first.size() - 5] = 10;  // within the last resolution samples: no skip
  for (size_t i = first.size() - 4; i < first.size(); ++i) first[i] = 50;
  EXPECT_EQ(scan(first, armed), 0);
  EXPECT_TRUE(armed);
  auto second = quiet();
  second[1] = 50;
  EXPECT_EQ(scan(second, armed), 1);  // completed at sample 2
  EXPECT_FALSE(armed);
  // A second dip while armed only skips.
  bool armedTwice = false;
  auto twice = quiet(100);
  for (int i = 10; i < 90; ++i) twice[i] = 50;
  twice[10] = 10;
  twice[20] = 10;                         // second dip while armed
  EXPECT_EQ(scan(twice, armedTwice), 1);  // one return at 90
}

TEST(PulseScan, OddSettingsStayInBounds) {
  bool armed = false;
  auto s = quiet();
  s[50] = 0;
  EXPECT_EQ(scan(s, armed, {-10, 300, 0}), 0);  // nothing is below or above
  armed = false;
  EXPECT_EQ(scan(s, armed, {200, 100, 0}), 198);  // every 128 arms and returns at once
  armed = false;
  EXPECT_EQ(scan(s, armed, {47, 53, 30000}), 1);  // the skip would pass the end: none
  EXPECT_EQ(scan({}, armed), 0);
  EXPECT_EQ(scan({0}, armed), 0);
}

TEST(PulseScan, MatchesTheSampleBySampleScanOnRandomSound) {
  std::mt19937 rng(7);
  std::uniform_int_distribution<int> len(0, 3000), pos(0, 2999), val(0, 255), set(-20, 280),
      res(-3, 40);
  for (int round = 0; round < 2000; ++round) {
    std::vector<uint8_t> s(static_cast<size_t>(len(rng)), static_cast<uint8_t>(val(rng)));
    // Mostly steady sound with dips, spikes and stretches of noise.
    const int events = round % 50;
    for (int e = 0; e < events && !s.empty(); ++e) {
      const size_t at = static_cast<size_t>(pos(rng)) % s.size();
      const int width = 1 + e % 20;
      for (size_t k = at; k < s.size() && k < at + width; ++k)
        s[k] = static_cast<uint8_t>(val(rng));
    }
    const ScanSettings c{set(rng), set(rng), res(rng)};
    bool armedFast = round % 3 == 0, armedRef = armedFast;
    const int fast = scanPulses(s.data(), s.size(), c, armedFast);
    const int ref = scanPulsesReference(s.data(), s.size(), c, armedRef);
    ASSERT_EQ(fast, ref) << "round " << round;
    ASSERT_EQ(armedFast, armedRef) << "round " << round;
    // The form that keeps positions counts the same and hands one rising index a pulse.
    std::vector<size_t> at;
    bool armedAt = round % 3 == 0;
    ASSERT_EQ(scanPulses(s.data(), s.size(), c, armedAt, at), fast) << "round " << round;
    ASSERT_EQ(at.size(), static_cast<size_t>(fast));
    ASSERT_TRUE(std::is_sorted(at.begin(), at.end()));
    for (const size_t i : at) ASSERT_GT(s[i], c.high);
  }
}

}  // namespace radmon
