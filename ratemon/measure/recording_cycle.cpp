#include "recording_cycle.h"

#include <algorithm>

#include "day_record.h"
#include "number_text.h"

namespace radmon {

RecordingCycle::RecordingCycle(StationPanel& panel, AudioInput& audio, SoundOutput& sound,
                               const Clock& clock, CycleHooks& hooks)
    : panel_(panel),
      audio_(audio),
      clock_(clock),
      hooks_(hooks),
      threshold_(Box::threshold, int16Number),
      deadBand_(Box::deadBand, int16Number),
      resolution_(Box::resolution, int16Number),
      sensitivity_(Box::sensitivity, positiveNumber),
      background_(Box::background, anyNumber),
      alarms_(sound) {
  audio_.setEvents(this);
}

RecordingCycle::~RecordingCycle() { audio_.setEvents(nullptr); }

std::optional<Notice> RecordingCycle::start() {
  panel_.setText(Box::elapsed, "0");
  panel_.setText(Box::total, "0");
  totalCount_ = 0;
  elapsedSeconds_ = 0;
  testDone_ = false;
  if (!positiveNumber(panel_.text(Box::sensitivity))) return NoSensitivity{};
  sensitivity_.read(panel_);
  if (auto error = audio_.openDevice()) return DeviceRefused{*error};
  sampleBuffer_.assign(static_cast<size_t>(std::max(audio_.bufferSize(), 0)), 0);
  for (int16_t i = 0; i < audio_.bufferCount(); ++i) audio_.addBuffer(i);
  audio_.startRecording();
  return std::nullopt;
}

void RecordingCycle::stop() { audio_.stopRecording(); }

void RecordingCycle::stateChanged() {
  const bool recording = audio_.isRecording();
  if (!recording) audio_.closeDevice();
  hooks_.recordingStateChanged(recording);
}

ScanSettings RecordingCycle::scanSettings() {
  const int threshold = static_cast<int>(threshold_.read(panel_));
  const int deadBand = static_cast<int>(deadBand_.read(panel_));
  // A negative hold-off would move the scan backwards: taken as none.
  const int resolution = std::max(static_cast<int>(resolution_.read(panel_)), 0);
  return {threshold - deadBand, threshold + deadBand, resolution};
}

void RecordingCycle::bufferDone(int16_t index, int32_t count, int16_t flag) {
  if (testDone_) return;
  int pulses = 0;
  if (count > 0) {
    // Never copy more than the array holds, whatever the device says.
    const int32_t n = std::min<int32_t>(count, static_cast<int32_t>(sampleBuffer_.size()));
    audio_.getBufferData(sampleBuffer_.data(), index, n);
    if (static_cast<size_t>(count) < sampleBuffer_.size()) {
      // A short buffer is not scanned; it still counts as a second.
      sampleBuffer_.assign(static_cast<size_t>(std::max(audio_.bufferSize(), 0)), 0);
    } else if (lockHeld_) {
      pulses = scanPulses(sampleBuffer_.data(), sampleBuffer_.size(), scanSettings(), pulseArmed_);
      totalCount_ += pulses;
      panel_.setText(Box::total, integerText(totalCount_));
    }
  }
  ++elapsedSeconds_;
  panel_.setText(Box::elapsed, integerText(elapsedSeconds_));
  if (flag == 0) audio_.addBuffer(index);

  lastDose_ = dose_.step(elapsedSeconds_, pulses, sensitivity_.read(panel_),
                         background_.read(panel_));
  panel_.setText(Box::cpm, integerText(lastDose_.cpm));
  panel_.setText(Box::doseRate, shortestText(lastDose_.netDoseRate));

  if (panel_.checked(Tick::recordFile)) writeRecord();

  if (panel_.checked(Tick::pulseTest)) {
    hooks_.pulseTest(sampleBuffer_, static_cast<int>(threshold_.lastUsable()),
                     static_cast<int>(deadBand_.lastUsable()));
    audio_.stopRecording();
    testDone_ = true;
  }

  const int started = alarms_.check(lastDose_.grossDoseRate, panel_);
  if (started & 1) hooks_.alarmStarted(1, lastDose_.grossDoseRate, alarms_.lastLimit1());
  if (started & 2) hooks_.alarmStarted(2, lastDose_.grossDoseRate, alarms_.lastLimit2());

  if (panel_.checked(Tick::graph)) hooks_.redrawGraph();
}

void RecordingCycle::writeRecord() {
  if (elapsedSeconds_ % 60 != 0) return;
  // One reading of the clock for the file and the line, so a line stamped 00:00 is
  // always in the new day's file.
  const LocalDateTime now = clock_.now();
  const std::string line = formatRecordLine(
      {now, lastDose_.netDoseRate, lastDose_.cpm, totalCount_, elapsedSeconds_});
  if (auto kept = records_.append(saveFolder_, now.yyyymmdd(), line)) panel_.report(*kept);
  hooks_.recordWritten(line);
}

}  // namespace radmon
