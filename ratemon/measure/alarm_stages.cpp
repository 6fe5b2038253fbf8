#include "alarm_stages.h"

namespace radmon {

AlarmStages::AlarmStages(SoundOutput& sound)
    : sound_(sound),
      limit1_(Box::Text9, "第一段警報上限値", 0.27, anyNumber),
      limit2_(Box::Text10, "第二段警報上限値", 2.7, anyNumber) {}

int AlarmStages::check(float gross, Panel& panel) {
  int started = 0;
  if (panel.checked(Tick::Check2) && alarm1Latch_ != 1) {
    if (gross > static_cast<float>(limit1_.read(panel))) {
      sound_.playLoop("daiichi.wav");
      alarm1Latch_ = 1;
      started |= 1;
    }
  }
  if (panel.checked(Tick::Check3) && alarm2Latch_ != 1) {
    if (gross > static_cast<float>(limit2_.read(panel))) {
      sound_.playLoop("daini.wav");
      alarm2Latch_ = 1;
      started |= 2;
    }
  }
  return started;
}

void AlarmStages::silenceStage1() {
  alarm1Latch_ = 0;
  sound_.stop();
}

void AlarmStages::silenceStage2() {
  alarm2Latch_ = 0;
  sound_.stop();
}

}  // namespace radmon
