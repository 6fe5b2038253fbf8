#include "alarm_stages.h"

#include <algorithm>
#include <cmath>

namespace radmon {

AlarmStages::AlarmStages(SoundOutput& sound)
    : sound_(sound), limit1_(Box::limit1), limit2_(Box::limit2) {}

int AlarmStages::weigh(float value, int secondsNeeded, StationPanel& panel) {
  int started = 0;
  auto stage = [&](Tick tick, bool& latch, int& over, BoxReader& limit, const char* sound,
                   int bit) {
    if (!panel.checked(tick) || latch) {
      over = 0;
      return;
    }
    over = value > static_cast<float>(limit.read(panel)) ? over + 1 : 0;
    if (over < secondsNeeded) return;
    sound_.playLoop(sound);
    latch = true;
    over = 0;
    started |= bit;
  };
  stage(Tick::alarm1, alarm1Latch_, over1_, limit1_, "daiichi.wav", 1);
  stage(Tick::alarm2, alarm2Latch_, over2_, limit2_, "daini.wav", 2);
  return started;
}

int AlarmStages::check(float gross, StationPanel& panel) { return weigh(gross, 1, panel); }

int AlarmStages::check(const DoseResult& dose, const ReadingInterval& interval,
                       StationPanel& panel) {
  if (!onEvidence_ || !(dose.sensitivityFactor > 0)) return check(dose.grossDoseRate, panel);
  // The lower end in the figure's own steps (three decimals, cut), so that it never
  // stands above the figure it bounds.
  const double low = std::floor(interval.cpmLow / dose.sensitivityFactor * 1000.0) / 1000.0;
  return weigh(std::min(dose.grossDoseRate, static_cast<float>(low)), kEvidenceSeconds, panel);
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
