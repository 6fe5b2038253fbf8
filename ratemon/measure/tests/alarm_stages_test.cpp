#include "alarm_stages.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "alarm_starts.h"
#include "fakes.h"

namespace radmon {

class AlarmStagesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    panel.ticks[Tick::alarm1] = true;
    panel.ticks[Tick::alarm2] = true;
  }
  FakePanel panel;
  FakeSound sound;
  AlarmStages alarms{sound};
};

TEST_F(AlarmStagesTest, EqualToTheLimitOrUntickedDoesNotStart) {
  struct Row {
    Tick stage;
    float limit, above;
    int started;
    const char* sound;
  };
  for (const Row& row : {Row{Tick::alarm1, 0.27f, 0.271f, 1, "daiichi.wav"},
                         Row{Tick::alarm2, 2.7f, 2.701f, 2, "daini.wav"}}) {
    FakePanel only;
    only.ticks[row.stage] = true;
    AlarmStages stages{sound};
    EXPECT_EQ(stages.check(row.limit, only), 0) << row.sound;
    EXPECT_EQ(sound.playing, "");
    EXPECT_EQ(stages.check(row.above, only), row.started);
    EXPECT_EQ(sound.playing, row.sound);
    sound.playing.clear();
  }
  // An unticked stage never starts.
  panel.ticks[Tick::alarm1] = false;
  panel.ticks[Tick::alarm2] = false;
  EXPECT_EQ(alarms.check(100.0f, panel), 0);
}

TEST_F(AlarmStagesTest, BothStagesInOneSecondSoundStageTwo) {
  EXPECT_EQ(alarms.check(3.0f, panel), 3);
  EXPECT_EQ(sound.playing, "daini.wav");
  EXPECT_EQ(std::tuple(alarms.alarm1Latch(), alarms.alarm2Latch()), std::tuple(true, true));
}

TEST_F(AlarmStagesTest, EachStopButtonRearmsOnlyItsOwnStage) {
  alarms.check(3.0f, panel);
  alarms.silenceStage1();
  EXPECT_EQ(sound.playing, "");
  EXPECT_EQ(alarms.check(3.0f, panel), 1);  // stage 1 sounds again, stage 2 stays latched
  EXPECT_EQ(sound.playing, "daiichi.wav");
  EXPECT_EQ(alarms.alarm2Latch(), true);
  alarms.silenceStage2();  // stops the stage-1 sound too
  EXPECT_EQ(sound.playing, "");
  EXPECT_EQ(alarms.alarm1Latch(), true);
}

TEST_F(AlarmStagesTest, LatchedSoundGoesOnWhenTheRateFalls) {
  alarms.check(0.5f, panel);
  EXPECT_EQ(alarms.check(0.0f, panel), 0);
  EXPECT_EQ(sound.playing, "daiichi.wav");
  EXPECT_EQ(sound.calls.size(), 1u);
}

TEST_F(AlarmStagesTest, UnusableLimitKeepsTheLastOneAndIsReportedOnce) {
  panel.texts[Box::limit1] = "abc";
  EXPECT_EQ(alarms.check(0.2f, panel), 0);  // design limit 0.27 before any usable one
  EXPECT_EQ(alarms.check(0.28f, panel), 1);
  EXPECT_EQ(panel.reports.size(), 1u);
  EXPECT_EQ(std::get<RefusedBox>(panel.reports[0]).box, Box::limit1);
  alarms.silenceStage1();
  panel.texts[Box::limit1] = "0.5";
  EXPECT_EQ(alarms.check(0.4f, panel), 0);
  panel.texts[Box::limit1] = "abc";
  EXPECT_EQ(alarms.check(0.4f, panel), 0);  // 0.5 stays in force
  EXPECT_EQ(panel.reports.size(), 2u);      // the same bad text, told again after 0.5
  EXPECT_EQ(std::get<RefusedBox>(panel.reports[1]).kept, 0.5);
}

// Seeded starts of ten minutes at a share of the stage-1 limit. On evidence, a tube at 70 %
// of it sounds in under 1 % of them and one at 300 % in every one within a minute;
// without, the figure alone decides as before, and one pulse early in the first minute
// (60 CPM to the figure in the first second) sounds most starts at 70 %.
TEST(AlarmOnEvidence, FalseAlarmsAndDelaysOfSeededStarts) {
  const struct {
    double share;
    bool onEvidence;
    int starts;
    int mostAlarmed, leastAlarmed;  // of the starts
    int latestDelay;                // seconds, of those alarmed
  } cases[] = {
      {0.7, true, 1000, 9, 0, 600},
      {3.0, true, 1000, 1000, 1000, 60},
      {0.7, false, 200, 200, 100, 600},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.share << (c.onEvidence ? " on evidence" : ""));
    const auto delays = testing::stage1Delays(c.share * testing::kStage1CpmLimit, c.onEvidence,
                                              c.starts, 600, 20261210);
    const auto alarmed = std::count_if(delays.begin(), delays.end(), [](int d) { return d > 0; });
    EXPECT_LE(alarmed, c.mostAlarmed);
    EXPECT_GE(alarmed, c.leastAlarmed);
    EXPECT_LE(*std::max_element(delays.begin(), delays.end()), c.latestDelay);
  }
}

// With the option off the interval is not looked at; on, the lower end decides even when
// the figure is far over the limit, and the figure caps it.
TEST_F(AlarmStagesTest, OnEvidenceWeighsTheLowerEndNotTheFigure) {
  DoseResult one;  // one pulse in the first second: 60 CPM
  one.sensitivityFactor = 108;
  one.grossDoseRate = 0.555f;
  const ReadingInterval fromOne = readingInterval95(1, 1, 108.0f, 0.0f);
  alarms.setOnEvidence(true);
  EXPECT_EQ(alarms.check(one, fromOne, panel), 0);
  // A lower end (8.333 μSv/h, capped by the figure's 0.555: over stage 1 only) that
  // holds for kEvidenceSeconds in a row sounds; one second under starts the count anew.
  const ReadingInterval sure{1000, 60, 900, 1100};
  for (int s = 1; s < kEvidenceSeconds; ++s) EXPECT_EQ(alarms.check(one, sure, panel), 0);
  EXPECT_EQ(alarms.check(one, fromOne, panel), 0);
  for (int s = 1; s < kEvidenceSeconds; ++s) EXPECT_EQ(alarms.check(one, sure, panel), 0);
  EXPECT_EQ(alarms.check(one, sure, panel), 1);
  alarms.silenceStage1();
  alarms.setOnEvidence(false);
  EXPECT_EQ(alarms.check(one, fromOne, panel), 1);
}

}  // namespace radmon
