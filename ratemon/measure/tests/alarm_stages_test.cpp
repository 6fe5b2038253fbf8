#include "alarm_stages.h"

#include <gtest/gtest.h>

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

}  // namespace radmon
