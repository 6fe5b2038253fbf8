// The recording cycle: on every buffer the audio input hands back, scan it for pulses,
// count the second, hand the buffer back, compute the dose, append the minute line,
// capture a pulse test, check the alarms and redraw the graph, in that order. Also
// the start and stop commands that bracket a recording.
//
// Threading: everything runs on the thread that raises the audio input's events.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "alarm_stages.h"
#include "audio_input.h"
#include "box_reader.h"
#include "dose_chain.h"
#include "local_time.h"
#include "station_panel.h"
#include "pulse_scan.h"
#include "record_writer.h"
#include "sound_output.h"

namespace radmon {

// What the windows (or the headless program) do at the cycle's hand-over points.
class CycleHooks {
 public:
  virtual ~CycleHooks() = default;
  // The pulse test captured this buffer; the threshold and dead band of its scan.
  virtual void pulseTest(const std::vector<uint8_t>& /*samples*/, int /*threshold*/,
                         int /*deadBand*/) {}
  virtual void redrawGraph() {}
  virtual void recordingStateChanged(bool /*recording*/) {}
  virtual void alarmStarted(int /*stage*/, float /*grossDoseRate*/, float /*limit*/) {}
  virtual void recordWritten(const std::string& /*line*/) {}
};

class RecordingCycle final : public AudioInput::Events {
 public:
  RecordingCycle(StationPanel& panel, AudioInput& audio, SoundOutput& sound, const Clock& clock,
                 CycleHooks& hooks);
  ~RecordingCycle() override;

  // Start button: resets the counters and starts recording. Why it cannot start (no
  // usable sensitivity, device error), for the operator.
  std::optional<Notice> start();
  // Stop button.
  void stop();
  void silenceStage1() { alarms_.silenceStage1(); }
  void silenceStage2() { alarms_.silenceStage2(); }

  void setSaveFolder(std::string folder) { saveFolder_ = std::move(folder); }
  const std::string& saveFolder() const { return saveFolder_; }
  // Whether the lock file is held; buffers are scanned only while it is.
  void setLockHeld(bool held) { lockHeld_ = held; }

  void bufferDone(int16_t index, int32_t count, int16_t flag) override;
  void stateChanged() override;

  int64_t totalCount() const { return totalCount_; }
  int64_t elapsedSeconds() const { return elapsedSeconds_; }
  bool testDone() const { return testDone_; }
  bool pulseArmed() const { return pulseArmed_; }
  const DoseResult& lastDose() const { return lastDose_; }
  const DoseChain& doseChain() const { return dose_; }
  const AlarmStages& alarms() const { return alarms_; }
  size_t keptRecordLines() const { return records_.keptLines(); }

 private:
  ScanSettings scanSettings();  // from the boxes, as they read now
  void writeRecord();

  StationPanel& panel_;
  AudioInput& audio_;
  const Clock& clock_;
  CycleHooks& hooks_;

  std::vector<uint8_t> sampleBuffer_;
  bool pulseArmed_ = false;
  int64_t totalCount_ = 0;
  int64_t elapsedSeconds_ = 0;
  bool testDone_ = false;
  bool lockHeld_ = true;
  std::string saveFolder_;

  BoxReader threshold_, deadBand_, resolution_, sensitivity_, background_;
  DoseChain dose_;
  DoseResult lastDose_;
  AlarmStages alarms_;
  RecordWriter records_;
};

}  // namespace radmon
