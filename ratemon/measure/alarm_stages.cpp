#include "alarm_stages.h"

namespace radmon {

AlarmStages::AlarmStages(SoundOutput& sound)
    : sound_(sound), limit1_(Box::limit1), limit2_(Box::limit2) {}

int AlarmStages::check(float gross, StationPanel& panel) {
  int started = 0;
  if (panel.checked(Tick::alarm1) && !alarm1Latch_) {
    if (gross > static_cast<float>(limit1_.read(panel))) {
      sound_.playLoop("daiichi.wav");
      alarm1Latch_ = true;
      started |= 1;
    }
  }
  if (panel.checked(Tick::alarm2) && !alarm2Latch_) {
    if (gross > static_cast<float>(limit2_.read(panel))) {
      sound_.playLoop("daini.wav");
      alarm2Latch_ = true;
      started |= 2;
    }
  }
  return started;
}

void AlarmStages::silenceStage1() {
  alarm1Latch_ = false;
  sound_.stop();
}

void AlarmStages::silenceStage2() {
  alarm2Latch_ = false;
  sound_.stop();
}

}  // namespace radmon
