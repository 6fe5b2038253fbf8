// The two alarm stages: a latch each that starts its looping sound when the gross dose
// rate rises above the stage's limit, and stays latched until its own stop button. On
// evidence (an option, off by default) a stage starts only once the 95 % interval's lower
// end of the gross rate has been above its limit for kEvidenceSeconds in a row, so that
// one pulse in the first second (60 CPM to the figure) or a chance minute does not latch
// it.
#pragma once

#include "box_reader.h"
#include "dose_chain.h"
#include "reading_interval.h"
#include "sound_output.h"

namespace radmon {

// Every second is a new look at the lower end, and in the first seconds it rests on a
// handful of pulses: a lower end over the limit for a single second came by chance in
// 1.6 % of 10-minute starts at 70 % of the limit, held for ten seconds in 0.15 %
// (bench/alarm_evidence). A tube at three times the limit still sounds within a minute.
inline constexpr int kEvidenceSeconds = 10;

class AlarmStages {
 public:
  explicit AlarmStages(SoundOutput& sound);

  // Once per second. Returns the stages that started in this check (bit 0: stage 1,
  // bit 1: stage 2).
  int check(float grossDoseRate, StationPanel& panel);
  // The same for the second's reading: on evidence it weighs the lower end of the gross
  // rate from the pulses behind the figure (`interval`), otherwise the figure itself.
  int check(const DoseResult& dose, const ReadingInterval& interval, StationPanel& panel);
  void setOnEvidence(bool on) { onEvidence_ = on; }
  bool onEvidence() const { return onEvidence_; }

  // The stop buttons: re-arm the own stage and silence whatever plays.
  void silenceStage1();
  void silenceStage2();

  bool alarm1Latch() const { return alarm1Latch_; }
  bool alarm2Latch() const { return alarm2Latch_; }
  float lastLimit1() const { return static_cast<float>(limit1_.lastUsable()); }
  float lastLimit2() const { return static_cast<float>(limit2_.lastUsable()); }

 private:
  int weigh(float value, int secondsNeeded, StationPanel& panel);

  SoundOutput& sound_;
  bool alarm1Latch_ = false;
  bool alarm2Latch_ = false;
  bool onEvidence_ = false;
  int over1_ = 0, over2_ = 0;  // seconds in a row over the limit
  BoxReader limit1_;
  BoxReader limit2_;
};

}  // namespace radmon
