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

TEST_F(AlarmStagesTest, EqualToTheLimitDoesNotStart) {
  EXPECT_EQ(alarms.check(0.27f, panel), 0);
  EXPECT_EQ(sound.playing, "");
  EXPECT_EQ(alarms.check(0.271f, panel), 1);
  EXPECT_EQ(sound.playing, "daiichi.wav");
}

TEST_F(AlarmStagesTest, BothStagesInOneSecondSoundStageTwo) {
  EXPECT_EQ(alarms.check(3.0f, panel), 3);
  EXPECT_EQ(sound.playing, "daini.wav");
  EXPECT_EQ(alarms.alarm1Latch(), true);
  EXPECT_EQ(alarms.alarm2Latch(), true);
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

TEST_F(AlarmStagesTest, UntickedStageNeverStarts) {
  panel.ticks[Tick::alarm1] = false;
  panel.ticks[Tick::alarm2] = false;
  EXPECT_EQ(alarms.check(100.0f, panel), 0);
}

TEST_F(AlarmStagesTest, UnusableLimitKeepsTheLastOneAndIsReportedOnce) {
  panel.texts[Box::limit1] = "abc";
  EXPECT_EQ(alarms.check(0.2f, panel), 0);   // design limit 0.27 before any usable one
  EXPECT_EQ(alarms.check(0.28f, panel), 1);
  EXPECT_EQ(panel.reports.size(), 1u);
  EXPECT_EQ(std::get<RefusedBox>(panel.reports[0]).box, Box::limit1);
  alarms.silenceStage1();
  panel.texts[Box::limit1] = "0.5";
  EXPECT_EQ(alarms.check(0.4f, panel), 0);
  panel.texts[Box::limit1] = "";
  EXPECT_EQ(alarms.check(0.4f, panel), 0);  // 0.5 stays in force
  EXPECT_EQ(panel.reports.size(), 2u);
}

}  // namespace radmon
