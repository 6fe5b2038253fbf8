#include "tube_simulator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <string>
#include <vector>

#include "pulse_scan.h"

namespace radmon {
namespace {

constexpr size_t kSecond = TubeSimulator::kSampleRate;

std::vector<uint8_t> produce(TubeSimulator& tube, size_t n, const std::vector<size_t>& chunks,
                             int64_t* reported = nullptr) {
  std::vector<uint8_t> out(n);
  size_t done = 0, c = 0;
  int64_t sum = 0;
  while (done < n) {
    const size_t take = std::min(chunks[c++ % chunks.size()], n - done);
    sum += tube.fill(out.data() + done, take);
    done += take;
  }
  if (reported) *reported = sum;
  return out;
}

// Scans `samples` in buffers of the given sizes, carrying the armed flag across them.
int64_t scanInBuffers(const std::vector<uint8_t>& samples, size_t bufferSize) {
  bool armed = false;
  int64_t counted = 0;
  for (size_t at = 0; at < samples.size(); at += bufferSize)
    counted += scanPulses(samples.data() + at, std::min(bufferSize, samples.size() - at),
                          ScanSettings{}, armed);
  return counted;
}

TEST(TubeSimulator, SameSeedGivesSameBytesHoweverTheFillsAreChunked) {
  const auto profile = TubeProfile::constant(3000);
  TubeSimulator whole(profile, 7), pieces(profile, 7), other(profile, 8);
  whole.keepPulseStarts(true);
  pieces.keepPulseStarts(true);
  int64_t wholeCount = 0, piecesCount = 0;
  const auto a = produce(whole, 5 * kSecond, {5 * kSecond}, &wholeCount);
  const auto b = produce(pieces, 5 * kSecond, {257, 509, 1, 1021, 2039, 64, 3}, &piecesCount);
  EXPECT_EQ(a, b);
  EXPECT_EQ(wholeCount, piecesCount);
  EXPECT_EQ(whole.pulseStarts(), pieces.pulseStarts());
  EXPECT_NE(a, produce(other, 5 * kSecond, {kSecond}));
}

TEST(TubeSimulator, ReportedPulsesAreTheTrueArrivals) {
  TubeSimulator tube(TubeProfile::constant(6000), 3);
  tube.keepPulseStarts(true);
  int64_t reported = 0;
  const auto samples = produce(tube, 20 * kSecond, {kSecond, 777}, &reported);
  const auto& starts = tube.pulseStarts();
  EXPECT_EQ(reported, tube.pulsesProduced());
  EXPECT_EQ(static_cast<int64_t>(starts.size()), reported);
  EXPECT_TRUE(std::is_sorted(starts.begin(), starts.end()));
  EXPECT_NEAR(reported, 2000, 5 * std::sqrt(2000.0));  // Poisson: 100 per second
  for (const int64_t s : starts) {
    if (s + 1 < static_cast<int64_t>(samples.size())) {
      ASSERT_LT(samples[static_cast<size_t>(s + 1)], 47) << "pulse at " << s;
    }
  }
}

TEST(TubeSimulator, DayProfileRaisesTheRateOnlyInsideItsStretch) {
  // 30 minutes from 00:09: ten of them in the stretch 00:10-00:20, twenty outside.
  const TubeProfile profile{60, 600, 600, 1200};
  TubeSimulator tube(profile, 11, 540);
  tube.keepPulseStarts(true);
  produce(tube, 30 * 60 * kSecond, {kSecond});
  int64_t inside = 0, outside = 0;
  for (const int64_t s : tube.pulseStarts()) {
    const int64_t second = 540 + s / static_cast<int64_t>(kSecond);
    (second >= 600 && second < 1200 ? inside : outside)++;
  }
  EXPECT_NEAR(inside, 6000, 5 * std::sqrt(6000.0));
  EXPECT_NEAR(outside, 1200, 5 * std::sqrt(1200.0));
}

TEST(TubeSimulator, NoiseAloneStaysFarFromThePulseThresholds) {
  TubeSimulator tube(TubeProfile::constant(0), 5);
  const auto samples = produce(tube, 120 * kSecond, {kSecond});
  const auto [lo, hi] = std::minmax_element(samples.begin(), samples.end());
  EXPECT_GE(*lo, 128 - TubeSimulator::kNoiseLimit);
  EXPECT_LE(*hi, 128 + TubeSimulator::kNoiseLimit);
  const double mean = std::accumulate(samples.begin(), samples.end(), 0.0) / samples.size();
  double var = 0;
  for (const uint8_t v : samples) var += (v - mean) * (v - mean);
  EXPECT_NEAR(mean, 128.0, 0.05);
  EXPECT_NEAR(std::sqrt(var / samples.size()), 2.5, 0.2);
  EXPECT_EQ(scanInBuffers(samples, kSecond), 0);
  EXPECT_EQ(tube.pulsesProduced(), 0);
}

TEST(TubeSimulator, IsolatedPulsesCountOnceAlsoAcrossBufferEnds) {
  // One pulse per second, placed from 14 samples before to 2 samples after each buffer
  // boundary, plus some in the middle: each must count exactly once.
  std::vector<int64_t> starts;
  for (int64_t k = 1; k <= 17; ++k)
    starts.push_back(k * 2 * static_cast<int64_t>(kSecond) + (k - 15));
  for (int64_t k = 0; k < 20; ++k)
    starts.push_back((2 * k + 1) * static_cast<int64_t>(kSecond) + 11025 + k);
  auto tube = TubeSimulator::scripted(starts, 9);
  const auto samples = produce(tube, 42 * kSecond, {kSecond});
  EXPECT_EQ(tube.pulsesProduced(), static_cast<int64_t>(starts.size()));
  EXPECT_EQ(scanInBuffers(samples, kSecond), static_cast<int64_t>(starts.size()));
  for (const size_t size : {1021u, 257u, 12u})
    EXPECT_EQ(scanInBuffers(samples, size), static_cast<int64_t>(starts.size())) << size;
}

TEST(TubeSimulator, OverlappingPulsesAddUpAndClampToTheByteRange) {
  auto one = TubeSimulator::scripted({100}, 4);
  auto two = TubeSimulator::scripted({100, 100, 100}, 4);
  const auto a = produce(one, 400, {400});
  const auto b = produce(two, 400, {400});
  EXPECT_EQ(b[101], 0);  // three of the deepest dip from near 128
  const auto& shape = TubeSimulator::pulseShape();
  for (size_t k = 0; k < shape.size(); ++k) {
    const int noise = a[100 + k] - shape[k];
    EXPECT_EQ(b[100 + k], std::clamp(noise + 3 * shape[k], 0, 255)) << k;
  }
}

// Each kind's discharges through the scan: the true count is every discharge; a
// paralysable tube sounds none closer than its blind time to the discharge before it.
TEST(TubeSimulator, EveryKindKeepsTheTrueCountAndItsOwnSound) {
  const struct {
    TubeKind kind;
    double countedFrom, countedTo;  // counted / true at 6000 CPM
    int64_t closest;                // closest sounded pulses, samples
  } cases[] = {
      {TubeKind::Narrow, 0.94, 0.97, 0},
      {TubeKind::Wide, 0.88, 0.93, 0},
      {TubeKind::AfterPulsing, 1.02, 1.08, 0},
      {TubeKind::Paralysable, 0.89, 0.93, TubeSimulator::kParalysableSamples},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(tubeKindName(c.kind)));
    EXPECT_EQ(parseTubeKind(tubeKindName(c.kind)), c.kind);
    TubeProfile profile = TubeProfile::constant(6000);
    profile.kind = c.kind;
    TubeSimulator tube(profile, 3);
    tube.keepPulseStarts(true);
    int64_t reported = 0;
    const auto samples = produce(tube, 20 * kSecond, {kSecond, 509}, &reported);
    EXPECT_EQ(reported, tube.pulsesProduced());
    EXPECT_EQ(tube.pulseStarts().size(), static_cast<size_t>(reported));
    const double counted = static_cast<double>(scanInBuffers(samples, kSecond)) / reported;
    EXPECT_GE(counted, c.countedFrom);
    EXPECT_LE(counted, c.countedTo);
    if (c.closest > 0) {
      // Discharges in the blind time after the one before are unheard, so the heard
      // ones are what a paralysable counter passes: m = n·e^(−nτ).
      const double n = static_cast<double>(reported) / 20,
                   tau = static_cast<double>(c.closest) / kSecond;
      EXPECT_NEAR(counted, std::exp(-n * tau), 0.01);
    }
  }
  EXPECT_FALSE(parseTubeKind("Wide"));
  EXPECT_FALSE(parseTubeKind(""));
}

TEST(TubeProfile, RateInsideAndOutsideTheRaisedStretchAndBothFormsParsed) {
  // A day's stretch from 13:00 to 16:00, and a night's across midnight from 22:00 to 02:00.
  const TubeProfile day{20, 120, 13 * 3600, 16 * 3600}, night{20, 5, 22 * 3600, 2 * 3600};
  const struct {
    const TubeProfile& profile;
    int second;
    double cpm;
  } cases[] = {{day, 13 * 3600 - 1, 20}, {day, 13 * 3600, 120}, {day, 16 * 3600 - 1, 120},
               {day, 16 * 3600, 20},     {night, 23 * 3600, 5}, {night, 3600, 5},
               {night, 12 * 3600, 20}};
  for (const auto& c : cases) EXPECT_EQ(c.profile.cpmAt(c.second), c.cpm) << c.second;
  EXPECT_EQ(night.maxCpm(), 20);
  EXPECT_EQ((TubeProfile{20, 500, 7, 7}).maxCpm(), 20);
  // Parses the constant and the day forms.
  ASSERT_TRUE(parseTubeProfile("20"));
  EXPECT_EQ(parseTubeProfile("20")->baseCpm, 20);
  EXPECT_EQ(parseTubeProfile("0.5")->raisedCpm, 0.5);
  const auto parsed = parseTubeProfile("20:120@13:00-16:30");
  ASSERT_TRUE(parsed);
  EXPECT_EQ(std::tie(parsed->baseCpm, parsed->raisedCpm, parsed->raisedFromSecondOfDay,
                     parsed->raisedToSecondOfDay),
            std::tuple(20, 120, 13 * 3600, 16 * 3600 + 1800));
  EXPECT_EQ(parseTubeProfile("1:2@23:00-24:00")->raisedToSecondOfDay, 86400);
  for (const char* bad : {"", "-5", "1e3", "abc", "20:", "20:120", "20:120@13:00", "20:120@13-16",
                          "20:120@13:60-14:00", "20:120@25:00-26:00", "inf", "nan", ".", "1.2.3",
                          "2000000", "20:120@13:00-16:00x", " 20"})
    EXPECT_FALSE(parseTubeProfile(bad)) << bad;
}

}  // namespace
}  // namespace radmon
