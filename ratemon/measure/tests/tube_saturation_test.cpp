#include "tube_saturation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "dead_time.h"
#include "fakes.h"
#include "fault_sound.h"
#include "pulse_scan.h"
#include "recording_cycle.h"
#include "temp_station.h"
#include "tube_simulator.h"

namespace radmon {
namespace {

constexpr double kScanTau = 11.0 / kSampleRate;  // the scan's own at resolution 10

// The thresholds, on and just either side.
TEST(TubeSaturation, SaturatedFromTheBusyShareOrAHeldStretchAndEndsAfterCalmSeconds) {
  const struct {
    const char* name;
    int64_t armed, longest;
    bool saturated;
  } cases[] = {
      {"busy just under 0.8", 17639, 100, false},
      {"busy 0.8", 17640, 100, true},
      {"held just under half a second", 1000, 11024, false},
      {"held half a second", 11025, 11025, true},
  };
  for (const auto& c : cases) {
    TubeSaturation s;
    s.observe(1, {0, kSampleRate, c.armed, c.longest}, kSampleRate, 0, 0);
    EXPECT_EQ(s.saturated(), c.saturated) << c.name;
    EXPECT_EQ(s.lastKind() == CountKind::Saturated, c.saturated) << c.name;
  }
  TubeSaturation s;
  EXPECT_EQ(s.observe(1, {0, kSampleRate, kSampleRate, kSampleRate}, kSampleRate, 0, 0),
            TubeSaturation::Change::Began);
  EXPECT_EQ(s.lastKind(), CountKind::Saturated);
  // Busy at half the time keeps it; calm seconds end it after ten in a row.
  int64_t t = 2;
  EXPECT_EQ(s.observe(t++, {0, kSampleRate, 11025, 50}, kSampleRate, 0, 0),
            TubeSaturation::Change::None);
  for (int k = 1; k < kSaturationEndSeconds; ++k)
    ASSERT_EQ(s.observe(t++, {20, kSampleRate, 200, 10}, kSampleRate, 0, 0),
              TubeSaturation::Change::None);
  EXPECT_EQ(s.observe(t++, {20, kSampleRate, 200, 10}, kSampleRate, 0, 0),
            TubeSaturation::Change::Ended);
  // The reading still rests on the saturated seconds for the rest of the minute.
  EXPECT_EQ(s.lastKind(), CountKind::LowerBound);
  while (t <= 61) s.observe(t++, {20, kSampleRate, 200, 10}, kSampleRate, 0, 0);
  EXPECT_EQ(s.lastKind(), CountKind::True);
}
// Ten calm seconds end a saturation only in a row: a busy second among them starts the
// count again.
TEST(TubeSaturation, TheCalmSecondsThatEndItAreInARow) {
  TubeSaturation s;
  int64_t t = 1;
  const SecondHeard held{0, kSampleRate, kSampleRate, kSampleRate};
  const SecondHeard calm{20, kSampleRate, 200, 10};
  const SecondHeard busy{20, kSampleRate, 11025, 50};  // armed half the time
  ASSERT_EQ(s.observe(t++, held, kSampleRate, 0, 0), TubeSaturation::Change::Began);
  for (int k = 1; k < kSaturationEndSeconds; ++k) s.observe(t++, calm, kSampleRate, 0, 0);
  EXPECT_EQ(s.observe(t++, busy, kSampleRate, 0, 0), TubeSaturation::Change::None);
  for (int k = 1; k < kSaturationEndSeconds; ++k)
    ASSERT_EQ(s.observe(t++, calm, kSampleRate, 0, 0), TubeSaturation::Change::None) << k;
  EXPECT_EQ(s.observe(t++, calm, kSampleRate, 0, 0), TubeSaturation::Change::Ended);
}

// With the correction on, a reading is a lower bound from 1 % of the time blind beyond
// m·τ; with it off, only when saturated. A count collapses under a quarter of the ten
// seconds before it, when they were blind a quarter of the time.
TEST(TubeSaturation, LowerBoundAndCollapseThresholds) {
  const struct {
    const char* name;
    double tau;
    int64_t armed;
    CountKind kind;
  } bounds[] = {
      {"loss just under 1 %", 499e-6, 220, CountKind::True},  // 0.998 %
      {"loss 1 %", 499e-6, 221, CountKind::LowerBound},       // 1.002 %
      {"no correction: a busy counter is shown as counted", 0, 17000, CountKind::True},
  };
  for (const auto& c : bounds) {
    TubeSaturation s;
    s.observe(1, {0, kSampleRate, c.armed, 10}, kSampleRate, c.tau, 0);
    EXPECT_EQ(s.lastKind(), c.kind) << c.name;
  }
  const struct {
    const char* name;
    int64_t armedBefore;
    int pulsesAfter;
    bool collapsed;
  } collapses[] = {
      {"blind a quarter, then under a quarter of the count", 5513, 24, true},
      {"blind a quarter, then a quarter of the count", 5513, 25, false},
      {"blind just under a quarter", 5512, 0, false},
  };
  for (const auto& c : collapses) {
    TubeSaturation s;
    int64_t t = 1;
    for (int k = 0; k < kCollapseLookSeconds; ++k)
      s.observe(t++, {100, kSampleRate, c.armedBefore, 30}, kSampleRate, 0, 0);
    ASSERT_FALSE(s.saturated()) << c.name;
    s.observe(t++, {c.pulsesAfter, kSampleRate, 0, 0}, kSampleRate, 0, 0);
    EXPECT_EQ(s.saturated(), c.collapsed) << c.name;
    EXPECT_EQ(s.heldDown(), false) << c.name;
    // Quiet seconds do not end a collapse; silencing stage 2 does.
    for (int k = 0; k < 2 * kSaturationEndSeconds; ++k)
      s.observe(t++, {0, kSampleRate, 0, 0}, kSampleRate, 0, 0);
    EXPECT_EQ(s.saturated(), c.collapsed) << c.name;
    EXPECT_EQ(s.release(),
              c.collapsed ? TubeSaturation::Change::Ended : TubeSaturation::Change::None);
    EXPECT_FALSE(s.saturated());
  }
}

TEST(UnmodelledLoss, BusyOrALongerResolvingTimeBeyondMTau) {
  const double tau = 499e-6;
  const struct {
    const char* name;
    double pulses, busy, seen, loss;
  } cases[] = {
      {"narrow: armed 10 of the 11 blind samples", 500, 500 * 10.0 / kSampleRate, 0, 0},
      {"wide: armed 21 samples a pulse", 100, 100 * 21.0 / kSampleRate, 0,
       100 * (21.0 / kSampleRate - tau)},
      {"resolving time a little over τ: the scan's own", 500, 0, 1.19 * tau, 0},
      {"resolving time 1.2 τ: a tube blind longer than its pulse", 100, 0, 1.2 * tau,
       100 * 0.2 * tau},
      {"no correction: the busy share itself", 100, 0.05, 0, 0.05},
  };
  for (const auto& c : cases) {
    const double withTau = std::string(c.name).starts_with("no correction") ? 0 : tau;
    EXPECT_NEAR(unmodelledLoss(c.pulses, 1, c.busy, withTau, c.seen), c.loss, 1e-9) << c.name;
  }
}

TEST(ScanPulses, MeasuresTheArmedStretchesAcrossBuffers) {
  // A narrow pulse keeps the scan armed for its hold-off (10 samples), a wide one for as
  // long as it is down; a level held down runs on from buffer to buffer.
  const struct {
    TubeSimulator::Shape shape;
    int64_t armedPerPulse;
  } cases[] = {{TubeSimulator::Shape::Narrow, 10},
               {TubeSimulator::Shape::Ringing, 10},
               {TubeSimulator::Shape::Wide, 21}};
  for (const auto& c : cases) {
    TubeSimulator sim = TubeSimulator::scripted({1000, 5000, 9000}, 1);
    sim.setShape(c.shape);
    std::vector<uint8_t> s(kSampleRate);
    sim.fill(s.data(), s.size());
    bool armed = false;
    std::vector<size_t> at;
    ScanBusy busy;
    EXPECT_EQ(scanPulses(s.data(), s.size(), ScanSettings{}, armed, at, busy), 3);
    EXPECT_EQ(busy.armedSamples, 3 * c.armedPerPulse);
    EXPECT_EQ(busy.longestRun, c.armedPerPulse);
  }
  std::vector<uint8_t> down(1000, 10);
  down[0] = 128;
  bool armed = false;
  std::vector<size_t> at;
  ScanBusy busy;
  scanPulses(down.data(), down.size(), ScanSettings{}, armed, at, busy);
  EXPECT_EQ(busy.armedSamples, 999);
  std::fill(down.begin(), down.end(), 10);
  scanPulses(down.data(), down.size(), ScanSettings{}, armed, at, busy);
  EXPECT_EQ(busy.armedSamples, 1000);
  EXPECT_EQ(busy.longestRun, 1999);
  // Back up for a while: the stretch ends where the scan, stepping over its hold-off,
  // first looks there (sample 506), and a new one starts after it.
  std::fill(down.begin() + 500, down.begin() + 521, 128);
  scanPulses(down.data(), down.size(), ScanSettings{}, armed, at, busy);
  EXPECT_EQ(at, std::vector<size_t>{506});
  EXPECT_EQ(busy.longestRun, 1999 + 506);
  EXPECT_EQ(busy.openRun, 1000 - 521);
  EXPECT_EQ(busy.armedSamples, 506 + 1000 - 521);
}

class Hooks : public CycleHooks {
 public:
  void alarmStarted(int stage, float, float) override { alarms.push_back(stage); }
  void recordWritten(const std::string& line) override { lines.push_back(line); }
  void soundEvent(const SoundEvent& event, const std::string&) override {
    events.push_back(event.kind);
  }
  bool told(EventKind kind) const { return count(kind) > 0; }
  int64_t count(EventKind kind) const { return std::count(events.begin(), events.end(), kind); }
  std::vector<int> alarms;
  std::vector<std::string> lines;
  std::vector<EventKind> events;
};

// A recording cycle with the sensitivity 18, both stages ticked (limits 0.27 and
// 2.7 μSv/h) and a correction of `tauMicroseconds`, fed by a simulated tube.
struct SimulatedStation {
  explicit SimulatedStation(double tauMicroseconds) {
    panel.texts[Box::sensitivity] = "18";
    panel.ticks[Tick::alarm1] = panel.ticks[Tick::alarm2] = true;
    cycle.setSaveFolder(station.data.string() + "/");
    cycle.setDeadTime(tauMicroseconds);
    EXPECT_TRUE(cycle.start());
  }
  void play(TubeSimulator& tube, int seconds) {
    std::vector<uint8_t> second(kBufferSize);
    for (int s = 0; s < seconds; ++s) {
      tube.fill(second.data(), second.size());
      audio.deliver(second);
      clock.advance(1);
    }
  }
  ftp::testing::TempStation station{"radmon_saturation", "station", {}};
  FakePanel panel;
  FakeAudio audio;
  FakeSound sound;
  ManualClock clock{{2026, 3, 1, 0, 0, 0}};
  Hooks hooks;
  RecordingCycle cycle{panel, audio, sound, clock, hooks};
};

// The simulated tubes through the whole cycle, with the sensitivity 18 and the stages'
// limits 0.27 and 2.7 μSv/h: a tube that counts is left as it is, one that does not is
// marked, and a saturated one sounds stage 2 and is never taken for a dead input.
TEST(TubeSaturation, SimulatedTubesThroughTheRecordingCycle) {
  const struct {
    TubeKind kind;
    double cpm;
    double tauMicroseconds;
    int seconds;
    CountKind kind60;  // the kind of the last second
    bool stage2;
  } cases[] = {
      {TubeKind::Narrow, 20, 499, 120, CountKind::True, false},
      {TubeKind::Narrow, 5000, 499, 120, CountKind::True, true},
      {TubeKind::Narrow, 5000, 0, 120, CountKind::True, true},
      {TubeKind::Ringing, 20, 499, 120, CountKind::True, false},
      {TubeKind::Wide, 30000, 499, 120, CountKind::LowerBound, true},
      {TubeKind::Wide, 300000, 995, 120, CountKind::Saturated, true},
      {TubeKind::Wide, 1e6, 0, 120, CountKind::Saturated, true},
      {TubeKind::Narrow, 1e6, 499, 120, CountKind::Saturated, true},
      {TubeKind::Paralysable, 30000, 499, 120, CountKind::LowerBound, true},
      {TubeKind::Paralysable, 300000, 499, 120, CountKind::LowerBound, true},
  };
  for (const auto& c : cases) {
    const std::string name = std::string(tubeKindName(c.kind)) + " at " +
                             std::to_string(static_cast<int64_t>(c.cpm)) + " CPM, τ " +
                             std::to_string(static_cast<int>(c.tauMicroseconds)) + " µs";
    SCOPED_TRACE(name);
    SimulatedStation station(c.tauMicroseconds);
    TubeProfile profile = TubeProfile::constant(c.cpm);
    profile.kind = c.kind;
    TubeSimulator tube(profile, 3);
    station.play(tube, c.seconds);
    const RecordingCycle& cycle = station.cycle;
    const Hooks& hooks = station.hooks;
    const bool marked = c.kind60 != CountKind::True;
    EXPECT_EQ(cycle.saturation().lastKind(), c.kind60);
    EXPECT_EQ(cycle.lastDose().deadTimeCapped, marked);
    EXPECT_EQ(cycle.lastInterval().openAbove, marked);
    EXPECT_EQ(cycle.alarms().alarm2Latch(), c.stage2);
    EXPECT_EQ(hooks.told(EventKind::TubeSaturated), c.kind60 == CountKind::Saturated);
    EXPECT_EQ(hooks.told(EventKind::DeadTimeCapped), marked);
    // Never a cable fault, and every minute written.
    EXPECT_FALSE(hooks.told(EventKind::NoSignal));
    EXPECT_EQ(hooks.lines.size(), static_cast<size_t>(c.seconds / 60));
    if (c.kind60 == CountKind::Saturated) {
      // Never a low reading: at least the one at the cap of the scan's τ or the correction's.
      const double tau = std::max(c.tauMicroseconds * 1e-6, kScanTau);
      EXPECT_GE(static_cast<double>(cycle.lastDose().cpm),
                std::floor(kDeadTimeCap / tau * 60 / (1 - kDeadTimeCap)));
    } else if (!marked) {
      // A tube that counts reads within 10 % of its rate (a minute's count at 20 CPM
      // varies by more: within four standard deviations there).
      const double spread = std::max(0.1 * c.cpm, 4 * std::sqrt(c.cpm));
      EXPECT_NEAR(static_cast<double>(cycle.lastDose().cpm), c.cpm, spread);
    }
  }
}

// A paralysable tube near its highest count (blind a third of the time) whose rate rises
// far past it falls silent: the collapse is a saturated tube, never a dead input, and
// stays one until stage 2 is silenced.
TEST(TubeSaturation, ACountThatCollapsesFromABlindCounterIsASaturatedTube) {
  SimulatedStation station(499);
  TubeProfile profile{30000, 1e6, 60, kSecondsPerDay, TubeKind::Paralysable};
  TubeSimulator tube(profile, 5);
  station.play(tube, 60);
  EXPECT_FALSE(station.cycle.saturation().saturated());
  station.play(tube, 120);
  const RecordingCycle& cycle = station.cycle;
  EXPECT_TRUE(cycle.saturation().saturated());
  EXPECT_FALSE(cycle.saturation().heldDown());
  EXPECT_TRUE(cycle.lastDose().deadTimeCapped);
  EXPECT_GE(cycle.lastDose().cpm, 51000);
  EXPECT_TRUE(cycle.alarms().alarm2Latch());
  EXPECT_EQ(station.hooks.count(EventKind::TubeSaturated), 1);
  EXPECT_EQ(station.hooks.count(EventKind::TubeSaturatedOk), 0);
  station.cycle.silenceStage2();
  EXPECT_FALSE(cycle.saturation().saturated());
  EXPECT_EQ(station.hooks.count(EventKind::TubeSaturatedOk), 1);
  // A tube that merely falls quiet from a low rate is no collapse.
  SimulatedStation quiet(499);
  TubeProfile falling{3000, 0, 60, kSecondsPerDay, TubeKind::Paralysable};
  TubeSimulator fallingTube(falling, 5);
  quiet.play(fallingTube, 120);
  EXPECT_FALSE(quiet.hooks.told(EventKind::TubeSaturated));
  // Nor is the end of loud noise that kept the scan busy: the signal watch tells it.
  SimulatedStation noisy(499);
  FaultSound({2}).play({{SoundStretch::Tube, 30},
                        {SoundStretch::RailNoise, 60, 20, 128, 50, 62},
                        {SoundStretch::Tube, 60}},
                       [&](const std::vector<uint8_t>& second) {
                         noisy.audio.deliver(second);
                         noisy.clock.advance(1);
                       });
  EXPECT_TRUE(noisy.hooks.told(EventKind::Clipping));
  EXPECT_FALSE(noisy.hooks.told(EventKind::TubeSaturated));
}

// A paralysable tube already far past its highest count when recording starts gives
// (almost) no pulse at all: nothing in the sound tells it from a dead cable until the
// silence is improbable, and then it is read on the safe side: a lower bound, and both
// stages. A station that kept its background tells it sooner; a flat line (no sound at
// all, no tube behind it) is a dead input and sounds nothing.
TEST(TubeSaturation, ATubeSilentFromTheStartIsALowerBoundAndSoundsBothStages) {
  // The simulated tube still gives a pulse every 17 minutes or so, which ends a silence:
  // the silence is told at the limit of a stretch without one.
  const struct {
    double keptPerSecond;
    int limit;  // seconds of silence that are improbable
  } cases[] = {{0, 384}, {0.3, 92}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.keptPerSecond);
    SimulatedStation station(499);
    station.cycle.setKeptBackground(c.keptPerSecond);
    TubeProfile profile = TubeProfile::constant(1e6);
    profile.kind = TubeKind::Paralysable;
    TubeSimulator tube(profile, 3);
    int second = 0;
    while (second < 1800 && !station.hooks.told(EventKind::NoSignal)) {
      station.play(tube, 1);
      ++second;
      // Never marked nor alarmed before the silence is told.
      if (!station.hooks.told(EventKind::NoSignal)) {
        ASSERT_FALSE(station.cycle.alarms().alarm2Latch()) << second;
      }
    }
    EXPECT_GE(second, c.limit);
    const RecordingCycle& cycle = station.cycle;
    EXPECT_TRUE(station.hooks.told(EventKind::NoSignal));
    EXPECT_FALSE(station.hooks.told(EventKind::TubeSaturated));
    EXPECT_TRUE(cycle.lastDose().deadTimeCapped);
    EXPECT_TRUE(cycle.lastInterval().openAbove);
    EXPECT_TRUE(cycle.alarms().alarm1Latch());
    EXPECT_TRUE(cycle.alarms().alarm2Latch());
  }
  SimulatedStation dead(499);
  dead.cycle.setKeptBackground(0.3);
  const std::vector<uint8_t> flat(kBufferSize, 128);
  for (int s = 0; s < 120; ++s) dead.audio.deliver(flat), dead.clock.advance(1);
  EXPECT_TRUE(dead.hooks.told(EventKind::NoSignal));
  EXPECT_FALSE(dead.cycle.lastDose().deadTimeCapped);
  EXPECT_FALSE(dead.cycle.alarms().alarm2Latch());
}

}  // namespace
}  // namespace radmon
