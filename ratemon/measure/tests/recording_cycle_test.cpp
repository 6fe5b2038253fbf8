#include "recording_cycle.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>

#include <gtest/gtest.h>

#include "day_record.h"
#include "event_log.h"
#include "fakes.h"
#include "file_bytes.h"
#include "suspect_minutes.h"
#include "temp_station.h"

namespace radmon {
namespace fs = std::filesystem;
using testing::readBytes;

class Hooks : public CycleHooks {
 public:
  void pulseTest(const std::vector<uint8_t>& s, int threshold, int deadBand) override {
    tests.push_back({s.size(), threshold, deadBand});
  }
  void redrawGraph() override { ++redraws; }
  void recordingStateChanged(bool recording) override { states.push_back(recording); }
  void alarmStarted(int stage, float, float) override { alarms.push_back(stage); }
  void recordWritten(const std::string& line) override { lines.push_back(line); }
  void soundEvent(const SoundEvent& event, const std::string& text) override {
    events.push_back(event.kind);
    texts.push_back(text);
    lost.push_back(event.lostSeconds);
  }
  std::vector<double> lost;
  std::vector<EventKind> events;
  std::vector<std::string> texts;
  struct Test {
    size_t size;
    int threshold, deadBand;
  };
  std::vector<Test> tests;
  int redraws = 0;
  std::vector<bool> states;
  std::vector<int> alarms;
  std::vector<std::string> lines;
};

class RecordingCycleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    cycle.setSaveFolder(dir.string() + "/");
    panel.texts[Box::sensitivity] = "18";
  }
  std::string dayFile(const std::string& day) { return readBytes(dir / dayFileName(day)); }
  // The pulses move from second to second, as a tube's do; `samePlaces` keeps them
  // still, for the intervals between them.
  void seconds(int n, int pulsesEach, bool samePlaces = false) {
    for (int i = 0; i < n; ++i) {
      audio.deliver(samePlaces ? secondWithPulseCount(pulsesEach)
                               : secondWithPulseCount(pulsesEach, ++shifts_));
      clock.advance(1);
    }
  }
  int64_t shifts_ = 0;

  ftp::testing::TempStation temp_{"radmon_cycle", "station", {}};
  const fs::path dir = temp_.data;
  FakePanel panel;
  FakeAudio audio;
  FakeSound sound;
  ManualClock clock{{2011, 9, 19, 23, 59, 30}};
  Hooks hooks;
  RecordingCycle cycle{panel, audio, sound, clock, hooks};
};

TEST_F(RecordingCycleTest, StartWithoutSensitivityIsRefusedAfterTheResets) {
  panel.texts[Box::elapsed] = "77";
  panel.texts[Box::total] = "12";
  for (const char* bad : {"", "abc", "0", "-5"}) {
    panel.texts[Box::sensitivity] = bad;
    const auto started = cycle.start();
    EXPECT_TRUE(!started && std::holds_alternative<NoSensitivity>(started.error())) << bad;
  }
  EXPECT_EQ(panel.texts[Box::elapsed], "0");
  EXPECT_EQ(panel.texts[Box::total], "0");
  EXPECT_TRUE(audio.calls.empty());
}

TEST_F(RecordingCycleTest, StartQueuesEveryBufferThenRecords) {
  ASSERT_TRUE(cycle.start());
  ASSERT_EQ(audio.calls.size(), 18u);
  EXPECT_EQ(audio.calls.front(), "open");
  EXPECT_EQ(audio.calls[1], "add 0");
  EXPECT_EQ(audio.calls[16], "add 15");
  EXPECT_EQ(audio.calls.back(), "start");
  EXPECT_EQ(hooks.states, std::vector<bool>{true});
  cycle.stop();
  EXPECT_EQ(audio.calls.back(), "close");
  EXPECT_EQ(hooks.states, (std::vector<bool>{true, false}));
}

TEST_F(RecordingCycleTest, DeviceErrorLeavesItIdle) {
  audio.openError = DeviceFailure{DeviceFault::OpenFailed, "mic", 4, {}};
  const auto started = cycle.start();
  ASSERT_FALSE(started);
  EXPECT_EQ(std::get<DeviceRefused>(started.error()).failure.code, 4);
  EXPECT_FALSE(audio.recording);
}

TEST_F(RecordingCycleTest, EachBufferCountsASecondAndShowsTheFigures) {
  ASSERT_TRUE(cycle.start());
  seconds(7, 0);
  EXPECT_EQ(panel.texts[Box::elapsed], "7");
  seconds(53, 1);
  EXPECT_EQ(panel.texts[Box::total], "53");
  EXPECT_EQ(panel.texts[Box::cpm], "53");
  EXPECT_EQ(panel.texts[Box::doseRate], "0.49");  // 53 / 108 = 0.4907 cut
  // The buffer is handed back after each second.
  EXPECT_EQ(audio.calls.back(), "add 0");
}

TEST_F(RecordingCycleTest, ShortAndEmptyBuffersCountASecondWithoutPulses) {
  ASSERT_TRUE(cycle.start());
  auto shortOne = secondWithPulseCount(3);
  shortOne.resize(1000);
  audio.deliver(shortOne);
  audio.deliver({});
  EXPECT_EQ(cycle.elapsedSeconds(), 2);
  EXPECT_EQ(cycle.totalCount(), 0);
  // A buffer not to be handed back is not.
  audio.calls.clear();
  audio.deliver(secondWithPulseCount(1), 1);
  EXPECT_TRUE(audio.calls.empty());
  EXPECT_EQ(cycle.totalCount(), 1);
}

TEST_F(RecordingCycleTest, ArmedPulseSurvivesStopAndStart) {
  ASSERT_TRUE(cycle.start());
  std::vector<uint8_t> s(kBufferSize, 128);
  s.back() = 0;
  audio.deliver(s);
  EXPECT_TRUE(cycle.pulseArmed());
  cycle.stop();
  ASSERT_TRUE(cycle.start());
  audio.deliver(std::vector<uint8_t>(kBufferSize, 128));
  EXPECT_EQ(cycle.totalCount(), 1);
}

TEST_F(RecordingCycleTest, FirstLineAfterMidnightGoesToTheNewDay) {
  ASSERT_TRUE(cycle.start());  // 23:59:30
  seconds(60, 1);
  ASSERT_EQ(hooks.lines.size(), 1u);
  EXPECT_EQ(hooks.lines[0], "\"2011/09/20\",\"00:00\",0.555,60,60,60\r\n");
  EXPECT_EQ(dayFile("20110920"), hooks.lines[0]);
  EXPECT_FALSE(fs::exists(dir / dayFileName("20110919")));
}

TEST_F(RecordingCycleTest, SecondRunTheSameDayAppendsFromSixtyAgain) {
  ASSERT_TRUE(cycle.start());
  seconds(120, 1);  // a pulse a second: a flat input would write no minute
  cycle.stop();
  ASSERT_TRUE(cycle.start());
  seconds(60, 1);
  const std::string file = dayFile("20110920");
  EXPECT_NE(file.find(",60,60,60\r\n\"2011/09/20\",\"00:01\",0.555,60,120,120\r\n"),
            std::string::npos);
  EXPECT_EQ(file.substr(file.size() - 11), ",60,60,60\r\n");
}

TEST_F(RecordingCycleTest, UntickedRecordBoxTouchesNoFile) {
  panel.ticks[Tick::recordFile] = false;
  ASSERT_TRUE(cycle.start());
  seconds(120, 1);
  EXPECT_TRUE(fs::is_empty(dir));
}

TEST_F(RecordingCycleTest, PulseTestCapturesOneBufferThenIgnoresTheRest) {
  panel.ticks[Tick::pulseTest] = true;
  panel.texts[Box::threshold] = "60";
  panel.texts[Box::deadBand] = "5";
  ASSERT_TRUE(cycle.start());
  seconds(1, 2);
  ASSERT_EQ(hooks.tests.size(), 1u);
  EXPECT_EQ(hooks.tests[0].size, static_cast<size_t>(kBufferSize));
  EXPECT_EQ(hooks.tests[0].threshold, 60);
  EXPECT_EQ(hooks.tests[0].deadBand, 5);
  EXPECT_TRUE(cycle.testDone());
  EXPECT_EQ(hooks.states.back(), false);
  seconds(5, 2);
  EXPECT_EQ(cycle.elapsedSeconds(), 1);
  EXPECT_EQ(cycle.totalCount(), 2);
  ASSERT_TRUE(cycle.start());  // the box stays ticked: the next start captures again
  seconds(1, 0);
  EXPECT_EQ(hooks.tests.size(), 2u);
}

TEST_F(RecordingCycleTest, AlarmsUseTheGrossRateAndGraphRedrawsEverySecond) {
  panel.ticks[Tick::alarm1] = true;
  panel.ticks[Tick::graph] = true;
  panel.texts[Box::background] = "1000";  // the net rate shown is 0
  ASSERT_TRUE(cycle.start());
  seconds(3, 1);  // 60 CPM in the first seconds: 0.555 > 0.27
  EXPECT_EQ(panel.texts[Box::doseRate], "0");
  EXPECT_EQ(hooks.alarms, std::vector<int>{1});
  EXPECT_EQ(sound.playing, "daiichi.wav");
  EXPECT_EQ(hooks.redraws, 3);
  cycle.silenceStage1();
  EXPECT_EQ(sound.playing, "");
  cycle.silenceStage2();  // not latched: nothing to log
  seconds(1, 1);
  EXPECT_EQ(sound.playing, "daiichi.wav");
  // Logged for the published page, not told as a sound-path event.
  std::vector<EventKind> logged;
  for (const EventLine& e : readEventLog(dir.string() + "/", "20110919")) logged.push_back(e.kind);
  EXPECT_EQ(logged, (std::vector{EventKind::Alarm1, EventKind::Alarm1Reset, EventKind::Alarm1}));
  EXPECT_TRUE(hooks.events.empty());
}

// The latches of a ratemon that ended (or crashed) are reset in the log at the first
// second it can be written, those of the day before included; this run's are its own.
TEST_F(RecordingCycleTest, AlarmsLeftLatchedByAnEarlierRunAreResetInTheLog) {
  auto write = [&](const char* day, std::vector<EventLine> events) {
    std::ofstream out(dir / eventFileName(day), std::ios::binary);
    for (const EventLine& e : events) out << formatEventLine(e);
  };
  write("20110918", {{{2011, 9, 18, 22, 0, 0}, EventKind::Alarm1, "x"}});
  write("20110919", {{{2011, 9, 19, 8, 0, 0}, EventKind::Alarm2, "x"}});
  panel.ticks[Tick::recordFile] = false;
  ASSERT_TRUE(cycle.start());
  seconds(2, 0);  // the log may not be written yet
  EXPECT_EQ(readEventLog(dir.string() + "/", "20110919").size(), 1u);
  panel.ticks[Tick::recordFile] = true;
  seconds(2, 0);
  const auto today = readEventLog(dir.string() + "/", "20110919");
  EXPECT_EQ(alarmLatches(today, alarmLatches(readEventLog(dir.string() + "/", "20110918"))),
            AlarmLatches{});
  ASSERT_EQ(today.size(), 3u);
  EXPECT_EQ(today[1].kind, EventKind::Alarm1Reset);
  EXPECT_EQ(today[2].kind, EventKind::Alarm2Reset);
  seconds(2, 0);  // once only
  EXPECT_EQ(readEventLog(dir.string() + "/", "20110919").size(), 3u);
}

TEST_F(RecordingCycleTest, BadSettingsWhileMeasuringKeepTheLastUsableValues) {
  ASSERT_TRUE(cycle.start());
  seconds(1, 2);
  panel.texts[Box::sensitivity] = "0";
  panel.texts[Box::threshold] = "x";
  panel.texts[Box::resolution] = "-5";
  panel.texts[Box::background] = "1e400";
  seconds(2, 2);
  EXPECT_EQ(cycle.totalCount(), 6);
  EXPECT_EQ(cycle.lastDose().sensitivityFactor, 108.0f);
  EXPECT_EQ(panel.reports.size(), 3u);  // sensitivity, threshold, background; each once
}

TEST_F(RecordingCycleTest, UnwritableFolderLosesNoMinute) {
  const fs::path gone = dir / "gone";
  cycle.setSaveFolder(gone.string() + "/");
  ASSERT_TRUE(cycle.start());
  seconds(180, 1);
  EXPECT_EQ(cycle.keptRecordLines(), 3u);
  EXPECT_FALSE(panel.reports.empty());
  fs::create_directories(gone);
  seconds(60, 1);
  std::ifstream in(gone / dayFileName("20110920"), std::ios::binary);
  std::string line;
  std::vector<std::string> elapsed;
  while (std::getline(in, line)) elapsed.push_back(line.substr(line.rfind(',') + 1));
  EXPECT_EQ(elapsed, (std::vector<std::string>{"60\r", "120\r", "180\r", "240\r"}));
}

TEST_F(RecordingCycleTest, DeadTimeCorrectsTheFiguresAndTheLineButNotTheTotal) {
  panel.ticks[Tick::recordFile] = true;
  cycle.setDeadTime(2000);  // 2 ms: 100 a second counted are 125 true
  ASSERT_TRUE(cycle.start());
  seconds(60, 100, true);
  EXPECT_EQ(panel.texts[Box::total], "6000");
  EXPECT_EQ(panel.texts[Box::cpm], "7500");
  EXPECT_FALSE(cycle.lastDose().deadTimeCapped);
  ASSERT_EQ(hooks.lines.size(), 1u);
  EXPECT_NE(hooks.lines[0].find(",7500,6000,60"), std::string::npos) << hooks.lines[0];
  // The interval brackets the corrected figure; the pulses' intervals were kept.
  EXPECT_LT(cycle.lastInterval().cpmLow, 7500);
  EXPECT_GT(cycle.lastInterval().cpmHigh, 7500);
  EXPECT_EQ(cycle.lastInterval().counts, 6000);
  EXPECT_EQ(cycle.pulseIntervals().size(), PulseIntervals::kKept);
  // 100 pulses 218 or 219 samples apart in each second, the last 419 before the next
  // second's first: the positions run on across buffers.
  const auto intervals = cycle.pulseIntervals().intervalsSeconds();
  EXPECT_DOUBLE_EQ(*std::min_element(intervals.begin(), intervals.end()), 218.0 / kSampleRate);
  EXPECT_DOUBLE_EQ(*std::max_element(intervals.begin(), intervals.end()), 419.0 / kSampleRate);
  EXPECT_EQ(cycle.intervalHistory().high()[60], static_cast<float>(cycle.lastInterval().doseHigh));
}

// A fault still on when recording stops is closed in the log at the stop; one that a run
// without a stop (a crash, a power cut) left open is closed by the next run when its
// sound comes, before its first record. The next run's minutes are then not set aside.
TEST_F(RecordingCycleTest, FaultsOpenAtAStopAreClosedAtTheStopOrTheNextStart) {
  const std::string folder = dir.string() + "/";
  auto aside = [&] {
    std::vector<DayRecord> rows;
    const std::string text = dayFile("20110920");
    for (const auto line : textLines(text))
      if (auto row = parseRecordLine(line)) rows.push_back(*row);
    return suspectRecords(rows, faultPeriods(readEventLog(folder, "20110920")));
  };
  clock.set({2011, 9, 20, 10, 0, 0});
  ASSERT_TRUE(cycle.start());
  seconds(60, 1);
  audio.fail({DeviceFault::Lost, "radmon_mic", 0, {}});
  clock.advance(30);
  cycle.stop();
  auto log = readEventLog(folder, "20110920");
  ASSERT_EQ(log.size(), 2u);
  EXPECT_EQ(log[1].kind, EventKind::DeviceBack);
  EXPECT_EQ(log[1].when, (LocalDateTime{2011, 9, 20, 10, 1, 30}));
  cycle.stop();  // nothing more to close
  EXPECT_EQ(readEventLog(folder, "20110920").size(), 2u);

  // An earlier run that ended without a stop, its hum and loss open.
  {
    std::ofstream out(dir / eventFileName("20110920"), std::ios::binary | std::ios::app);
    out << formatEventLine({{2011, 9, 20, 10, 5, 0}, EventKind::Hum, "hum"})
        << formatEventLine({{2011, 9, 20, 10, 6, 0}, EventKind::DeviceLost, "lost"});
  }
  clock.set({2011, 9, 20, 10, 10, 0});
  ASSERT_TRUE(cycle.start());
  seconds(1, 1);
  log = readEventLog(folder, "20110920");
  ASSERT_EQ(log.size(), 6u);
  EXPECT_EQ(log[4].kind, EventKind::DeviceBack);
  EXPECT_EQ(log[5].kind, EventKind::SignalOk);
  EXPECT_EQ(log[5].when, (LocalDateTime{2011, 9, 20, 10, 10, 0}));
  seconds(180, 1);
  EXPECT_EQ(readEventLog(folder, "20110920").size(), 6u);  // once only
  // The first run's minute and the new run's first (stamped 10:10, it may hold sound
  // from 10:09 by the readers' rule) reach into the faults; the later ones do not.
  EXPECT_EQ(aside(), (std::vector<bool>{true, true, false, false}));
}

// The input lost for twenty seconds inside the first minute of sound, sound dropped and
// a flat stretch (a pulse a second is too few for the hum test): each is logged beside the day file
// and handed to the hooks; the minute that missed sound is not written, the next whole one is; the
// sums hold only the seconds heard.
TEST_F(RecordingCycleTest, SoundPathEventsAreLoggedAndAMinuteThatMissedSoundIsNotWritten) {
  ASSERT_TRUE(cycle.start());
  seconds(30, 1);
  audio.fail({DeviceFault::Lost, "radmon_mic", 0, {}});
  EXPECT_TRUE(cycle.soundFaulty());
  EXPECT_EQ(cycle.healthText(), "device-lost");
  clock.advance(20);
  audio.back();
  EXPECT_FALSE(cycle.soundFaulty());
  EXPECT_EQ(cycle.healthText(), "ok");
  seconds(30, 1);
  EXPECT_TRUE(hooks.lines.empty());
  EXPECT_EQ(cycle.skippedMinutes(), 1);
  EXPECT_EQ(cycle.totalCount(), 60);  // 60 seconds heard, a pulse each
  seconds(60, 1);
  ASSERT_EQ(hooks.lines.size(), 1u);
  EXPECT_TRUE(hooks.lines[0].ends_with(",120,120\r\n")) << hooks.lines[0];

  audio.drop(2 * kSampleRate);
  audio.drop(kSampleRate / 2);
  seconds(1, 1);   // told once, when sound flows again
  seconds(12, 0);  // flat: no signal after ten seconds
  EXPECT_EQ(cycle.healthText(), "no-signal");
  seconds(1, 3);

  const std::vector<EventKind> expected = {EventKind::DeviceLost, EventKind::DeviceBack,
                                           EventKind::SoundDropped, EventKind::NoSignal,
                                           EventKind::SignalOk};
  EXPECT_EQ(hooks.events, expected);
  const std::string log = readBytes(dir / eventFileName("20110920"));
  const auto [logged, skipped] = parseEventLog(log);
  ASSERT_EQ(logged.size(), expected.size()) << log;
  EXPECT_TRUE(skipped.empty());
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(logged[i].kind, expected[i]);
    EXPECT_EQ(logged[i].text, hooks.texts[i]);  // without wording: the kind's name
  }
  EXPECT_EQ(logged[0].when, (LocalDateTime{2011, 9, 20, 0, 0, 0}));
  EXPECT_EQ(logged[1].when, (LocalDateTime{2011, 9, 20, 0, 0, 20}));
}

// A minute whose 60 seconds of sound took up to five seconds longer than a minute on
// the clock is written; one second more missed and it is left out, to show as a gap.
TEST_F(RecordingCycleTest, AMinuteMayMissFiveSecondsOfSound) {
  ASSERT_TRUE(cycle.start());
  const struct {
    int missed;
    bool written;
  } cases[] = {{0, true}, {4, true}, {5, true}, {6, false}, {0, true}};
  const auto second = secondWithPulseCount(1);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.missed);
    const size_t lines = hooks.lines.size();
    const int64_t skipped = cycle.skippedMinutes();
    for (int i = 0; i < 60; ++i) {
      clock.advance(i == 30 ? 1 + c.missed : 1);  // each buffer comes as its second ends
      audio.deliver(second);
    }
    EXPECT_EQ(hooks.lines.size() - lines, c.written ? 1u : 0u);
    EXPECT_EQ(cycle.skippedMinutes() - skipped, c.written ? 0 : 1);
  }
}

// Sound that comes 25 s after the start, or back after a loss between two minutes: the
// minute begins with it, and 60 seconds of unbroken sound are written.
TEST_F(RecordingCycleTest, AMinuteStartsWithItsFirstSound) {
  ASSERT_TRUE(cycle.start());
  clock.advance(25);  // the input is not there yet
  seconds(60, 1);
  ASSERT_EQ(hooks.lines.size(), 1u);
  EXPECT_TRUE(hooks.lines[0].ends_with(",60,60\r\n")) << hooks.lines[0];
  audio.fail({DeviceFault::Lost, "radmon_mic", 0, {}});
  clock.advance(30);
  audio.back();
  seconds(60, 1);
  ASSERT_EQ(hooks.lines.size(), 2u);
  EXPECT_TRUE(hooks.lines[1].ends_with(",120,120\r\n")) << hooks.lines[1];
  // A loss inside a minute still leaves that minute out.
  seconds(30, 1);
  audio.fail({DeviceFault::Lost, "radmon_mic", 0, {}});
  clock.advance(30);
  audio.back();
  seconds(30, 1);
  EXPECT_EQ(hooks.lines.size(), 2u);
  EXPECT_EQ(cycle.skippedMinutes(), 1);
}

// The wall clock jumps halfway through the second minute (daylight saving, a step by the
// time service, back across midnight) while the sound goes on: every minute heard is
// written, labelled by the wall clock and filed by its date, and none is taken for a
// minute that missed sound.
TEST_F(RecordingCycleTest, AJumpOfTheWallClockIsNoMissingSound) {
  const struct {
    int64_t step;
    const char* labels[3];
  } cases[] = {
      {3600, {"2026/03/29 01:58", "2026/03/29 02:59", "2026/03/29 03:00"}},
      {-3600, {"2026/03/29 01:58", "2026/03/29 00:59", "2026/03/29 01:00"}},
      {600, {"2026/03/29 01:58", "2026/03/29 02:09", "2026/03/29 02:10"}},
      {-600, {"2026/03/29 01:58", "2026/03/29 01:49", "2026/03/29 01:50"}},
      {-7200, {"2026/03/29 01:58", "2026/03/28 23:59", "2026/03/29 00:00"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.step);
    fs::remove_all(dir);
    fs::create_directories(dir);
    hooks.lines.clear();
    clock.set({2026, 3, 29, 1, 57, 30});
    ASSERT_TRUE(cycle.start());
    seconds(90, 1);
    clock.step(c.step);
    seconds(90, 1);
    cycle.stop();
    EXPECT_EQ(cycle.skippedMinutes(), 0);
    ASSERT_EQ(hooks.lines.size(), 3u);
    std::map<std::string, std::string> files;  // day -> its lines, in the order heard
    for (size_t i = 0; i < 3; ++i) {
      const auto record = parseRecordLine(hooks.lines[i]);
      ASSERT_TRUE(record && record->when());
      EXPECT_EQ(record->date + " " + record->time, c.labels[i]);
      EXPECT_EQ(record->elapsedSeconds, 60 * static_cast<int64_t>(i + 1));
      files[record->when()->yyyymmdd()] += hooks.lines[i];
    }
    for (const auto& [day, lines] : files) EXPECT_EQ(dayFile(day), lines);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()),
              static_cast<std::ptrdiff_t>(files.size()));
  }

  // The event log takes the same labels; how long the input was away is timed steadily.
  fs::remove_all(dir);
  fs::create_directories(dir);
  clock.set({2026, 3, 29, 1, 59, 50});
  ASSERT_TRUE(cycle.start());
  audio.fail({DeviceFault::Lost, "radmon_mic", 0, {}});
  clock.advance(20);
  clock.step(3600);
  audio.back();
  const auto [logged, skipped] = parseEventLog(readBytes(dir / eventFileName("20260329")));
  ASSERT_EQ(logged.size(), 2u);
  EXPECT_EQ(logged[0].when.hhmmss(), "01:59:50");
  EXPECT_EQ(logged[1].when.hhmmss(), "03:00:10");
  EXPECT_EQ(hooks.lost.back(), 20.0);
}

// Each minute ends with a flat stretch, and the next begins with pulses, which end the
// no-signal at once. No-signal comes on at the flat stretch's tenth second: the minute
// in which it was on for more than five seconds is not written. The minutes that are
// written name the fault in their health while it reached into them, the minute after
// the one it ended in too.
TEST_F(RecordingCycleTest, AMinuteWithNoSignalOnForMoreThanFiveSecondsIsAGap) {
  ASSERT_TRUE(cycle.start());
  seconds(60, 1);
  const struct {
    int flat;
    bool written;
    const char* health;  // of the minute, and of the minute after it
    const char* next;
  } cases[] = {{9, true, "ok", "ok"},
               {14, true, "no-signal", "no-signal"},
               {15, false, "", "no-signal"},
               {60, false, "", "no-signal"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.flat);
    seconds(120, 1);  // clear of every fault before
    const size_t lines = hooks.lines.size();
    seconds(60 - c.flat, 1);
    seconds(c.flat, 0);
    EXPECT_EQ(hooks.lines.size() - lines, c.written ? 1u : 0u);
    if (c.written) {
      EXPECT_EQ(cycle.recordHealthText(), c.health);
    }
    seconds(60, 1);
    EXPECT_EQ(cycle.recordHealthText(), c.next);
  }
}

// 945 and 1059 pulses a second are what the scan counts (τ 499 µs) of a tube at 120000
// and 200000 CPM. Held at the dead-time cap they would read 51531 CPM, 477 μSv/h, below
// an alarm limit of 500 that the counted figures pass: past the cap the larger figure
// stands, as a lower bound, in the boxes, the record line and the alarms.
TEST_F(RecordingCycleTest, PastTheDeadTimeCapTheLargerFigureStandsAndTheAlarmSounds) {
  panel.ticks[Tick::recordFile] = true;
  panel.ticks[Tick::alarm1] = true;
  panel.texts[Box::limit1] = "500";
  cycle.setDeadTime(499);
  const struct {
    int perSecond;
    int64_t cpm;
  } rows[] = {{945, 56700}, {1059, 63540}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.perSecond);
    ASSERT_TRUE(cycle.start());
    seconds(60, row.perSecond);
    const DoseResult& dose = cycle.lastDose();
    EXPECT_TRUE(dose.deadTimeCapped);
    EXPECT_EQ(dose.cpm, row.cpm);
    EXPECT_EQ(panel.texts[Box::cpm], std::to_string(row.cpm));
    EXPECT_NE(hooks.lines.back().find("," + std::to_string(row.cpm) + ","), std::string::npos)
        << hooks.lines.back();
    EXPECT_TRUE(cycle.alarms().alarm1Latch());
    const ReadingInterval& interval = cycle.lastInterval();
    EXPECT_TRUE(interval.openAbove);
    EXPECT_LT(interval.cpmLow, static_cast<double>(dose.cpm));
    EXPECT_GT(interval.cpmHigh, static_cast<double>(dose.cpm));
    EXPECT_LT(interval.doseLow, dose.netDoseRate);
    EXPECT_GT(interval.doseHigh, dose.netDoseRate);
    cycle.silenceStage1();
    cycle.stop();
  }
  EXPECT_EQ(hooks.alarms, (std::vector<int>{1, 1}));
  // Told once as the cap is reached (it held across the new start) and once as it ends.
  seconds(60, 100);
  ASSERT_TRUE(cycle.start());
  seconds(2, 100);
  EXPECT_FALSE(cycle.lastDose().deadTimeCapped);
  std::vector<EventKind> told;
  std::copy_if(hooks.events.begin(), hooks.events.end(), std::back_inserter(told), [](EventKind k) {
    return k == EventKind::DeadTimeCapped || k == EventKind::DeadTimeOk;
  });
  EXPECT_EQ(told, (std::vector{EventKind::DeadTimeCapped, EventKind::DeadTimeOk}));
  const std::string log =
      readBytes(dir / eventFileName("20110919")) + readBytes(dir / eventFileName("20110920"));
  EXPECT_NE(log.find("\"dead-time-capped\""), std::string::npos) << log;
  EXPECT_NE(log.find("\"dead-time-ok\""), std::string::npos) << log;
}

}  // namespace radmon
