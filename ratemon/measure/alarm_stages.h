// The two alarm stages: a latch each that starts its looping sound when the gross dose
// rate rises above the stage's limit, and stays latched until its own stop button.
#pragma once

#include "box_reader.h"
#include "sound_output.h"

namespace radmon {

class AlarmStages {
 public:
  explicit AlarmStages(SoundOutput& sound);

  // Once per second. Returns the stages that started in this check (bit 0: stage 1,
  // bit 1: stage 2).
  int check(float grossDoseRate, StationPanel& panel);

  // The stop buttons: re-arm the own stage and silence whatever plays.
  void silenceStage1();
  void silenceStage2();

  bool alarm1Latch() const { return alarm1Latch_; }
  bool alarm2Latch() const { return alarm2Latch_; }
  float lastLimit1() const { return static_cast<float>(limit1_.lastUsable()); }
  float lastLimit2() const { return static_cast<float>(limit2_.lastUsable()); }

 private:
  SoundOutput& sound_;
  bool alarm1Latch_ = false;
  bool alarm2Latch_ = false;
  BoxReader limit1_;
  BoxReader limit2_;
};

}  // namespace radmon
