#include "signal_watch.h"

#include <gtest/gtest.h>

#include <optional>
#include <random>

#include "fault_sound.h"
#include "kept_background.h"
#include "pulse_scan.h"
#include "tube_simulator.h"

namespace radmon {
namespace {

constexpr int kRate = TubeSimulator::kSampleRate;

using Stretch = SoundStretch;

struct Seen {
  int second;
  SignalChange change;
};

// Plays the stretches through the scan (threshold 50, dead band 3, resolution 10) and
// the watch, second by second; every change with the second it came at.
class Station {
 public:
  explicit Station(uint64_t seed) : sound_(seed) {}
  std::vector<Seen> play(const std::vector<Stretch>& stretches) {
    std::vector<Seen> seen;
    sound_.play(stretches, [&](const std::vector<uint8_t>& s) {
      ends_.clear();
      scanPulses(s.data(), s.size(), {47, 53, 10}, armed_, ends_);
      for (const auto& c : watch.observe(s.data(), s.size(), ends_)) seen.push_back({second_, c});
      ++second_;
    });
    return seen;
  }
  SignalWatch watch;

 private:
  FaultSound sound_;
  int second_ = 0;
  bool armed_ = false;
  std::vector<size_t> ends_;
};

std::optional<Seen> first(const std::vector<Seen>& seen, SignalFault fault, bool began,
                          int from = 0) {
  for (const auto& s : seen)
    if (s.change.fault == fault && s.change.began == began && s.second >= from) return s;
  return std::nullopt;
}

// Ten minutes of a 20 CPM background, ten of a fault, ten of background again: the
// fault is told within two minutes of its start and its end after the sound is back,
// and nothing else is told.
TEST(SignalWatch, EachFaultIsToldWithinTwoMinutesAndItsEndAfterIt) {
  struct Case {
    const char* name;
    Stretch fault;
    SignalFault expected;
  };
  const std::vector<Case> cases = {
      {"silence", {Stretch::Flat, 600}, SignalFault::NoSignal},
      {"level stuck at 200", {Stretch::Stuck, 600, 20, 200}, SignalFault::NoSignal},
      {"level stuck at 0", {Stretch::Stuck, 600, 20, 0}, SignalFault::NoSignal},
      {"noise without pulses", {Stretch::Tube, 600, 0}, SignalFault::NoSignal},
      {"50 Hz hum over the tube", {Stretch::Hum, 600, 20, 128, 50}, SignalFault::Interference},
      {"60 Hz hum over the tube", {Stretch::Hum, 600, 20, 128, 60}, SignalFault::Interference},
      {"clipped", {Stretch::Clipped, 600, 20}, SignalFault::Clipping},
      {"loud noise at the rails",
       {Stretch::RailNoise, 600, 20, 128, 50, 62},
       SignalFault::Clipping},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Station station(7);
    const auto seen = station.play({{Stretch::Tube, 600, 20}, c.fault, {Stretch::Tube, 600, 20}});
    const auto began = first(seen, c.expected, true);
    ASSERT_TRUE(began);
    EXPECT_GE(began->second, 600);
    EXPECT_LT(began->second, 600 + 120);
    const auto ended = first(seen, c.expected, false);
    ASSERT_TRUE(ended);
    EXPECT_GE(ended->second, 1200);
    EXPECT_LT(ended->second, 1200 + 300);
    for (const auto& s : seen) {
      // Clipped sound can stop the pulses for a while too; nothing else is told.
      const bool alsoFine = c.expected == SignalFault::Clipping &&
                            c.fault.kind == Stretch::Clipped &&
                            s.change.fault == SignalFault::NoSignal;
      EXPECT_TRUE(s.change.fault == c.expected || alsoFine)
          << "at " << s.second << ": " << static_cast<int>(s.change.fault);
    }
    std::printf("[ figures  ] %s: told after %d s, end told %d s after the sound was back\n",
                c.name, began->second - 600, ended->second - 1200);
  }
}

TEST(SignalWatch, TheImprobableSilenceFollowsTheLowestRecentBackground) {
  SignalWatch watch;
  EXPECT_EQ(watch.silentSecondsLimit(), 0);  // nothing learnt yet: no such test
  Station station(3);
  station.play({{Stretch::Tube, 600, 20}});
  // 200 pulses in ten minutes, less three deviations: about 16 CPM, 52 s for 1e-6;
  // never under a minute.
  EXPECT_NEAR(station.watch.assumedBackground() * 60, 15.8, 2.5)
      << station.watch.assumedBackground() * 60;
  EXPECT_EQ(station.watch.silentSecondsLimit(), 60);
  // A raised hour does not shorten it.
  station.play({{Stretch::Tube, 3600, 600}});
  EXPECT_EQ(station.watch.silentSecondsLimit(), 60);
  // A quiet station waits longer: 40 pulses in ten minutes, about 2 CPM assumed.
  Station quiet(4);
  quiet.play({{Stretch::Tube, 600, 4}});
  const int quietLimit = quiet.watch.silentSecondsLimit();
  EXPECT_GT(quietLimit, 300);
  // Its busier hours that follow leave the quietest block the one that counts.
  quiet.play({{Stretch::Tube, 3600, 40}});
  EXPECT_EQ(quiet.watch.silentSecondsLimit(), quietLimit);
}

// Flat sound or silence on both sides of a loss of the input never add up: each is
// told only once it has lasted its full length after the sound came back.
TEST(SignalWatch, AGapInTheSoundStartsTheStretchesAgain) {
  const struct {
    const char* name;
    Stretch::Kind kind;
    double cpm;
  } cases[] = {{"flat", Stretch::Flat, 20}, {"noise without pulses", Stretch::Tube, 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Station station(5);
    station.play({{Stretch::Tube, 600, 20}});
    const int limit =
        c.kind == Stretch::Flat ? SignalWatch::kFlatSeconds : station.watch.silentSecondsLimit();
    ASSERT_GT(limit, 1);
    EXPECT_TRUE(station.play({{c.kind, limit / 2 + 1, c.cpm}}).empty());
    station.watch.soundMissing();
    EXPECT_TRUE(station.play({{c.kind, limit - 1, c.cpm}}).empty());
    const auto seen = station.play({{c.kind, 1, c.cpm}});
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].change.fault, SignalFault::NoSignal);
    EXPECT_EQ(seen[0].change.flat, c.kind == Stretch::Flat);
    EXPECT_EQ(seen[0].change.seconds, limit);
  }
}

// Thirty seconds of counts around 40 a second whose scatter (variance over mean) lies
// on, just under or just over a threshold: hum begins only below 0.05 and, once told,
// ends only above 0.3.
TEST(SignalWatch, HumBeginsBelowOneDispersionAndEndsAboveAnother) {
  // Pairs of +d and -d around 40, the rest 40: the sum of squares is twice the d's
  // squared, and over 29 times 40 that is the dispersion (58 is 0.05, 348 is 0.3).
  auto window = [](std::vector<int> deviations) {
    std::vector<int> counts;
    for (int d : deviations) counts.insert(counts.end(), {40 + d, 40 - d});
    counts.resize(SignalWatch::kHumWindow, 40);
    return counts;
  };
  const struct {
    const char* name;
    bool humBefore;
    std::vector<int> counts;
    bool humAfter;
  } cases[] = {
      {"begins just under 0.05", false, window({5, 1, 1, 1}), true},
      {"not on 0.05", false, window({5, 2}), false},
      {"not just over 0.05", false, window({5, 2, 1}), false},
      {"stays just over 0.05", true, window({5, 2, 1}), true},
      {"stays on 0.3", true, window({12, 5, 2, 1}), true},
      {"ends just over 0.3", true, window({12, 5, 2, 1, 1}), false},
  };
  std::vector<uint8_t> sound(kRate, 128);
  for (size_t i = 0; i < sound.size(); i += 2) sound[i] = 120;  // neither flat nor clipped
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    SignalWatch watch;
    if (c.humBefore) {
      for (int k = 0; k < SignalWatch::kHumWindow; ++k)
        watch.observe(sound.data(), sound.size(), 40);
      ASSERT_TRUE(watch.active(SignalFault::Hum));
      watch.soundMissing();  // the next thirty seconds alone make the window
    }
    for (int pulses : c.counts) watch.observe(sound.data(), sound.size(), pulses);
    EXPECT_EQ(watch.active(SignalFault::Hum), c.humAfter);
  }
}

// Faults heard from the first second of a run (or a few minutes in), beside tubes of
// either pulse shape: each is told within its time and nothing else is told.
TEST(SignalWatch, FaultsBesideRealPulsesAreToldInTime) {
  using Shape = TubeSimulator::Shape;
  struct Case {
    const char* name;
    std::vector<Stretch> sound;
    SignalFault expected;
    int from;    // the fault's first second
    int within;  // seconds
  };
  auto hum = [](double hz, Shape shape) {
    return std::vector<Stretch>{{Stretch::Hum, 240, 300, 128, hz, 83, 0, 0, shape}};
  };
  auto spikes = [](double hz, Shape shape) {  // +23 % at 300 CPM
    return std::vector<Stretch>{{Stretch::Spikes, 900, 300, 128, hz, 127, 1.15, 0, shape}};
  };
  auto ringing = [](Shape shape) {  // 1 % of the pulses ring
    return std::vector<Stretch>{{Stretch::Tube, 3600, 300, 128, 50, 127, 0, 0.01, shape}};
  };
  const std::vector<Case> cases = {
      {"hum just over the threshold, 50 Hz", hum(50, Shape::Narrow), SignalFault::Interference, 0,
       120},
      {"hum just over the threshold, 60 Hz", hum(60, Shape::Narrow), SignalFault::Interference, 0,
       120},
      {"hum just over the threshold, wide pulses", hum(50, Shape::Wide), SignalFault::Interference,
       0, 120},
      {"loud noise at the rails",
       {{Stretch::RailNoise, 240, 300, 128, 50, 62}},
       SignalFault::Clipping,
       0,
       120},
      {"noise without pulses three minutes in",
       {{Stretch::Tube, 180, 20}, {Stretch::Tube, 400, 0}},
       SignalFault::NoSignal,
       180,
       180},
      {"noise without pulses after a short history with a flat stretch",
       {{Stretch::Tube, 120, 20},
        {Stretch::Flat, 30},
        {Stretch::Tube, 60, 20},
        {Stretch::Tube, 400, 0}},
       SignalFault::NoSignal,
       210,
       180},
      {"mains-locked spikes, 50 Hz", spikes(50, Shape::Narrow), SignalFault::Interference, 0, 900},
      {"mains-locked spikes, 60 Hz, wide pulses", spikes(60, Shape::Wide),
       SignalFault::Interference, 0, 900},
      {"mains-locked spikes, a grid 0.02 Hz fast", spikes(50.02, Shape::Narrow),
       SignalFault::Interference, 0, 900},
      {"after-pulses", ringing(Shape::Narrow), SignalFault::AfterPulses, 0, 3600},
      {"after-pulses, wide pulses", ringing(Shape::Wide), SignalFault::AfterPulses, 0, 3600},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Station station(21);
    const auto seen = station.play(c.sound);
    const auto began = first(seen, c.expected, true, c.from);
    ASSERT_TRUE(began);
    EXPECT_LT(began->second, c.from + c.within);
    for (const auto& s : seen) EXPECT_EQ(s.change.fault, c.expected) << "at " << s.second;
    std::printf("[ figures  ] %s: told after %d s\n", c.name, began->second - c.from);
  }
}

// Broadband noise over a 20 CPM tube, whether or not it reaches the ends of the range,
// counts thousands of pulses a minute: it is clipping by noise within ten seconds, and
// its end is told once the tube is back.
TEST(SignalWatch, BroadbandNoiseOverATubeIsToldWithinTenSeconds) {
  struct Case {
    const char* name;
    Stretch noise;
  };
  const std::vector<Case> cases = {
      {"uniform over the whole range", {Stretch::Uniform, 300, 20}},
      {"Gaussian, sigma 20", {Stretch::RailNoise, 300, 20, 128, 50, 20}},
      {"Gaussian, sigma 40", {Stretch::RailNoise, 300, 20, 128, 50, 40}},
      {"Gaussian, sigma 100", {Stretch::RailNoise, 300, 20, 128, 50, 100}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Station station(13);
    const auto seen = station.play({{Stretch::Tube, 300, 20}, c.noise, {Stretch::Tube, 300, 20}});
    const auto began = first(seen, SignalFault::Clipping, true);
    ASSERT_TRUE(began);
    EXPECT_GE(began->second, 300);
    // Told with the tenth second of noise at the latest (seconds count from 0).
    EXPECT_LT(began->second, 300 + 10);
    EXPECT_TRUE(began->change.noise);
    const auto ended = first(seen, SignalFault::Clipping, false);
    ASSERT_TRUE(ended);
    EXPECT_GE(ended->second, 600);
    EXPECT_LT(ended->second, 600 + 10);
    std::printf("[ figures  ] %s: told after %d s, end told %d s after the tube was back\n", c.name,
                began->second + 1 - 300, ended->second + 1 - 600);
  }
}

// Every pulse shape the simulator has, from a quiet background to far past saturation
// (the sound held down, or a paralysed tube gone silent), raises no noise: its sound
// only dips past the threshold.
TEST(SignalWatch, NoTubeShapeAtAnyRateIsTakenForNoise) {
  const TubeKind kinds[] = {TubeKind::Narrow, TubeKind::Wide, TubeKind::Ringing,
                            TubeKind::AfterPulsing, TubeKind::Paralysable};
  const double rates[] = {10, 300, 3000, 10000, 30000, 100000, 300000, 1000000};
  std::vector<uint8_t> sound(kRate);
  std::vector<size_t> ends;
  for (const TubeKind kind : kinds) {
    for (const double cpm : rates) {
      SCOPED_TRACE(std::string(tubeKindName(kind)) + " at " + std::to_string(cpm) + " CPM");
      TubeProfile profile = TubeProfile::constant(cpm);
      profile.kind = kind;
      TubeSimulator tube(profile, 17);
      SignalWatch watch;
      bool armed = false;
      for (int second = 0; second < 60; ++second) {
        tube.fill(sound.data(), sound.size());
        ends.clear();
        scanPulses(sound.data(), sound.size(), {47, 53, 10}, armed, ends);
        for (const SignalChange& c : watch.observe(sound.data(), sound.size(), ends))
          EXPECT_NE(c.fault, SignalFault::Clipping) << "at " << second;
      }
    }
  }
}

// A year of a clean 20 CPM tube raises nothing. At the count level: Poisson arrivals
// placed on the samples, through a counter blind for 0.5 ms (a year of sound is
// reliability/watch_days_test's days, at the sample level).
TEST(SignalWatch, AYearOfACleanTubeRaisesNothing) {
  SignalWatch watch;
  std::mt19937_64 rng(5);
  std::exponential_distribution<double> wait(20.0 / 60);
  const double deadTime = 0.5e-3;
  double next = wait(rng);
  std::vector<size_t> ends;
  int told = 0;
  for (int64_t s = 0; s < 365 * 86400LL; ++s) {
    ends.clear();
    for (; next < static_cast<double>(s + 1); next += deadTime + wait(rng))
      ends.push_back(static_cast<size_t>((next - static_cast<double>(s)) * kRate));
    told += static_cast<int>(watch.observeCounts(kRate, ends).size());
  }
  EXPECT_EQ(told, 0);
}

// The background kept from an earlier run, and the sensitivity's, stand in before the
// run has learnt its own; a kept file for another sensitivity is not used.
TEST(SignalWatch, TheKeptBackgroundAndTheSensitivityStandInFromTheFirstSecond) {
  const struct {
    const char* name;
    double sensitivity, kept;
    int limit;
  } cases[] = {
      {"nothing known", 0, 0, 0},
      // 18 cps per mR/h at 0.02 μSv/h: 2.16 CPM, 0.036 a second, 384 s for 1e-6.
      {"the sensitivity alone", 18, 0, 384},
      // Half of 0.26 a second: 107 s.
      {"a kept background", 18, 0.26, 107},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    SignalWatch watch;
    watch.setSensitivity(c.sensitivity);
    watch.setKeptBackground(c.kept);
    EXPECT_EQ(watch.silentSecondsLimit(), c.limit);
  }
  // A whole block of the run's own, quieter, rules over what was kept: the tube moved.
  Station moved(4);
  moved.watch.setKeptBackground(0.26);
  EXPECT_EQ(moved.watch.silentSecondsLimit(), 107);
  moved.play({{Stretch::Tube, 600, 4}});
  EXPECT_GT(moved.watch.silentSecondsLimit(), 300);
  const auto back = parseKeptBackground(formatKeptBackground({0.2633, 18}));
  ASSERT_TRUE(back);
  EXPECT_EQ(back->perSecond, 0.2633);
  EXPECT_EQ(back->sensitivity, 18);
  EXPECT_FALSE(parseKeptBackground("background_cps=abc\r\nsensitivity=18\r\n"));
  const std::string path = ::testing::TempDir() + kKeptBackgroundFileName;
  ASSERT_TRUE(keepBackground(path, {0.2633, 18}));
  EXPECT_EQ(keptBackgroundFor(path, 18), 0.2633);
  EXPECT_EQ(keptBackgroundFor(path, 25), 0);
}

}  // namespace
}  // namespace radmon
