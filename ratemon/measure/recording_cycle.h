// The recording cycle: on every buffer the audio input hands back, scan it for pulses,
// count the second, hand the buffer back, compute the dose, append the minute line,
// capture a pulse test, check the alarms and redraw the graph, in that order. Also
// the start and stop commands that bracket a recording.
//
// The sound path is watched beside the scan (SignalWatch) and the input's losses are
// heard; each fault, its end and any sound dropped goes to the day's event log and to
// the hooks. Seconds without sound never enter the sums: only buffers heard count, and
// a minute whose 60 seconds of sound took more than a few seconds longer than a minute
// on the steady clock (sound was missing in between) is not written, so that it shows as
// a gap; so is a minute in which the watch's no-signal was on for more than those few
// seconds (a dead input is no measured zero). Minutes heard during other faults are
// written as heard and carry the faults in their health. Radiation alarms do not depend
// on any of this. Past the dead-time cap the readings are lower bounds, told once as it
// begins and once as it ends; those minutes are written and count as measured.
//
// A minute is 60 buffers heard, whatever the wall clock does meanwhile: the local time
// only labels the line and chooses its day file. When the wall clock jumps (daylight
// saving, a step by the time service), every heard minute still gets its line: labels
// of a skipped stretch do not appear, those of a repeated one appear twice, in the
// order heard.
//
// Threading: everything runs on the thread that raises the audio input's events.
#pragma once

#include <cstdint>
#include <expected>
#include <string>
#include <vector>

#include "alarm_stages.h"
#include "audio_input.h"
#include "box_reader.h"
#include "dose_chain.h"
#include "event_writer.h"
#include "local_time.h"
#include "pulse_intervals.h"
#include "pulse_scan.h"
#include "reading_interval.h"
#include "record_writer.h"
#include "signal_watch.h"
#include "sound_event.h"
#include "sound_output.h"
#include "station_panel.h"
#include "tube_saturation.h"

namespace radmon {

// What the windows (or the headless program) do at the cycle's hand-over points.
class CycleHooks {
 public:
  virtual ~CycleHooks() = default;
  // The pulse test captured this buffer; the threshold and dead band of its scan.
  virtual void pulseTest(const std::vector<uint8_t>& /*samples*/, int /*threshold*/,
                         int /*deadBand*/) {}
  virtual void redrawGraph() {}
  // The CPM and dose boxes were just written; their interval and the dead-time state
  // are the cycle's lastInterval() and lastDose().
  virtual void readingsShown() {}
  virtual void recordingStateChanged(bool /*recording*/) {}
  virtual void alarmStarted(int /*stage*/, float /*grossDoseRate*/, float /*limit*/) {}
  virtual void recordWritten(const std::string& /*line*/) {}
  // Something happened to the sound path; `text` is its wording, as logged.
  virtual void soundEvent(const SoundEvent& /*event*/, const std::string& /*text*/) {}
};

class RecordingCycle final : public AudioInput::Events {
 public:
  RecordingCycle(StationPanel& panel, AudioInput& audio, SoundOutput& sound, const Clock& clock,
                 CycleHooks& hooks);
  ~RecordingCycle() override;

  // Start button: resets the counters and starts recording. Why it cannot start (no
  // usable sensitivity, device error), for the operator.
  std::expected<void, Notice> start();
  // Stop button; also the end of the program. The faults the day's log holds open are
  // closed there: nothing is heard past the stop, and a later run's minutes must not be
  // set aside for them.
  void stop();
  // The stop buttons; a latched stage's reset is logged.
  void silenceStage1();
  void silenceStage2();

  void setSaveFolder(std::string folder) { saveFolder_ = std::move(folder); }
  const std::string& saveFolder() const { return saveFolder_; }
  // Whether the lock file is held; buffers are scanned only while it is.
  void setLockHeld(bool held) { lockHeld_ = held; }
  // The resolving time for the dead-time correction, in microseconds; 0 (the default)
  // leaves every figure as counted.
  void setDeadTime(double microseconds) { deadTimeSeconds_ = microseconds * 1e-6; }
  double deadTimeSeconds() const { return deadTimeSeconds_; }
  // Alarms on the lower end of the 95 % interval rather than on the figure.
  void setAlarmOnEvidence(bool on) { alarms_.setOnEvidence(on); }

  // Sound missing for longer than this within a minute's 60 seconds of sound, or
  // no-signal on for more seconds of it, and the minute is not written.
  static constexpr int kMissingSecondsAllowed = 5;

  // The words of the event log; without them, the kind's name.
  void setEventWording(const EventWording* wording) { wording_ = wording; }

  void bufferDone(int16_t index, int32_t count, int16_t flag) override;
  void stateChanged() override;
  void deviceFailed(const DeviceFailure& failure) override;
  void deviceBack() override;
  void soundDropped(int64_t bytes) override;

  int64_t totalCount() const { return totalCount_; }
  int64_t elapsedSeconds() const { return elapsedSeconds_; }
  bool testDone() const { return testDone_; }
  bool pulseArmed() const { return pulseArmed_; }
  const DoseResult& lastDose() const { return lastDose_; }
  const DoseChain& doseChain() const { return dose_; }
  const AlarmStages& alarms() const { return alarms_; }
  size_t keptRecordLines() const { return records_.keptLines(); }
  // The 95 % interval of the latest CPM and dose rate, and of each of the last 600
  // seconds' dose rate (slots as the dose history's).
  const ReadingInterval& lastInterval() const { return lastInterval_; }
  const IntervalHistory& intervalHistory() const { return intervalHistory_; }
  // The intervals between the last counted pulses, across buffers, since the start.
  const PulseIntervals& pulseIntervals() const { return intervals_; }
  // Whether the latest second's count was a true count, a lower bound or a saturated
  // tube, and what the sound showed (tube_saturation.h).
  const TubeSaturation& saturation() const { return saturation_; }
  std::vector<std::string> keptRecordTexts() const { return records_.keptTexts(); }
  // Sound-path events not yet in their event log, and their lines.
  size_t keptEventLines() const { return eventLog_.keptEvents(); }
  std::vector<std::string> keptEventTexts() const { return eventLog_.keptTexts(); }
  // The input is away, or a signal fault is on: the readings are not current.
  bool soundFaulty() const { return deviceLost_ || watch_.anyActive(); }
  bool deviceLost() const { return deviceLost_; }
  // The sound path's state in the event log's words: "ok", or the faults on, joined
  // by commas ("device-lost", "no-signal", "hum", "clipping", "interference",
  // "after-pulses").
  std::string healthText() const;
  // The health of the record written last in the same words: the faults of the day's
  // events that reach into its minute (suspect_minutes.h), ended ones included.
  const std::string& recordHealthText() const { return recordHealth_; }
  const SignalWatch& signalWatch() const { return watch_; }
  // The background the station learnt in earlier runs, for the watch (pulses per
  // second); and what this run has learnt, to keep.
  void setKeptBackground(double perSecond) { watch_.setKeptBackground(perSecond); }
  // Minutes not written because sound was missing in them or no signal was heard, since
  // start.
  int64_t skippedMinutes() const { return skippedMinutes_; }

 private:
  ScanSettings scanSettings();  // from the boxes, as they read now
  // The latest reading as the sound judged it: a lower bound or a saturated tube's.
  void judgeCount(int pulses, int64_t armedSamples, int64_t longestArmed);
  void watch();
  void endOfMinute();
  void writeRecord(const LocalDateTime& now);
  // The events told on the day of `now`; a new day starts with the faults still on.
  const std::vector<EventLine>& eventsOfDay(const LocalDateTime& now);
  void tell(SoundEvent event);
  // Into the day's log only; its text.
  std::string log(SoundEvent& event);
  void logAlarm(EventKind kind, float grossDoseRate = 0, float limit = 0, bool silence = false);
  // The stages a ratemon run before this one left latched in the log are reset there,
  // once, as soon as the log can be written: this run's latches start clear.
  void resetEarlierAlarms();
  // Closes in the log the faults that `events` leave open (a lost input, any signal
  // fault), as ended with the run that told them; `keepOwn` leaves those this run still
  // has on.
  void closeOpenFaults(const std::vector<EventLine>& events, bool keepOwn);

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
  bool earlierAlarmsReset_ = false;
  bool earlierFaultsClosed_ = false;  // those a run before this start left open
  std::string saveFolder_;

  BoxReader threshold_, deadBand_, resolution_, sensitivity_, background_;
  DoseChain dose_;
  DoseResult lastDose_;
  double deadTimeSeconds_ = 0;
  bool capTold_ = false;  // the last dead-time event told was its cap
  ScanBusy busy_;
  TubeSaturation saturation_;
  int64_t seenCheckedAt_ = 0;  // the elapsed second the resolving time was last read
  double seenSeconds_ = 0;     // that resolving time; 0 while the intervals give none
  ReadingInterval lastInterval_;
  IntervalHistory intervalHistory_;
  PulseIntervals intervals_{kSampleRate};
  std::vector<size_t> completedAt_;
  int64_t samplesScanned_ = 0;  // where the next buffer starts, for the pulse positions
  AlarmStages alarms_;
  RecordWriter records_;

  SignalWatch watch_;
  EventWriter eventLog_;
  const EventWording* wording_ = nullptr;
  bool deviceLost_ = false;
  DeviceFailure lastFailure_;
  std::chrono::milliseconds lostAt_{0};       // on the steady clock
  std::chrono::milliseconds minuteStart_{0};  // of the minute now being heard, steady
  int64_t droppedBytes_ = 0;                  // not yet told
  int64_t skippedMinutes_ = 0;
  int noSignalSeconds_ = 0;  // of the minute now being heard
  std::vector<EventLine> dayEvents_;
  std::string eventsDay_;  // yyyymmdd of dayEvents_
  std::string recordHealth_ = "ok";
};

}  // namespace radmon
