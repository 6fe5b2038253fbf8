#include "recording_cycle.h"

#include <algorithm>
#include <limits>

#include "day_record.h"
#include "dead_time.h"
#include "number_text.h"
#include "resolving_time.h"
#include "suspect_minutes.h"

namespace radmon {

std::string RecordingCycle::healthText() const {
  std::vector<EventKind> on;
  if (deviceLost_) on.push_back(EventKind::DeviceLost);
  if (watch_.active(SignalFault::NoSignal)) on.push_back(EventKind::NoSignal);
  if (watch_.active(SignalFault::Hum)) on.push_back(EventKind::Hum);
  if (watch_.active(SignalFault::Clipping)) on.push_back(EventKind::Clipping);
  if (watch_.active(SignalFault::Interference)) on.push_back(EventKind::Interference);
  if (watch_.active(SignalFault::AfterPulses)) on.push_back(EventKind::AfterPulses);
  return healthWords(on);
}

RecordingCycle::RecordingCycle(StationPanel& panel, AudioInput& audio, SoundOutput& sound,
                               const Clock& clock, CycleHooks& hooks)
    : panel_(panel),
      audio_(audio),
      clock_(clock),
      hooks_(hooks),
      threshold_(Box::threshold),
      deadBand_(Box::deadBand),
      resolution_(Box::resolution),
      sensitivity_(Box::sensitivity),
      background_(Box::background),
      alarms_(sound) {
  audio_.setEvents(this);
}

RecordingCycle::~RecordingCycle() { audio_.setEvents(nullptr); }

std::expected<void, Notice> RecordingCycle::start() {
  panel_.setText(Box::elapsed, "0");
  panel_.setText(Box::total, "0");
  totalCount_ = 0;
  elapsedSeconds_ = 0;
  testDone_ = false;
  intervals_.clear();
  samplesScanned_ = 0;
  busy_ = {};
  saturation_.clear();
  seenCheckedAt_ = 0;
  seenSeconds_ = 0;
  deviceLost_ = false;
  earlierFaultsClosed_ = false;
  droppedBytes_ = 0;
  skippedMinutes_ = 0;
  noSignalSeconds_ = 0;
  watch_.soundMissing();
  minuteStart_ = clock_.steady();
  if (!positiveNumber(panel_.text(Box::sensitivity))) return std::unexpected(NoSensitivity{});
  watch_.setSensitivity(sensitivity_.read(panel_));
  if (auto opened = audio_.openDevice(); !opened)
    return std::unexpected(DeviceRefused{opened.error()});
  sampleBuffer_.assign(static_cast<size_t>(std::max(audio_.bufferSize(), 0)), 0);
  for (int16_t i = 0; i < audio_.bufferCount(); ++i) audio_.addBuffer(i);
  audio_.startRecording();
  return {};
}

void RecordingCycle::stop() {
  closeOpenFaults(eventsOfDay(clock_.now()), /*keepOwn=*/false);
  audio_.stopRecording();
}

void RecordingCycle::closeOpenFaults(const std::vector<EventLine>& events, bool keepOwn) {
  constexpr int kStillOpen = 86401;  // past any second of a day
  bool lost = false, signal = false;
  for (const FaultPeriod& period : faultPeriods(events, kStillOpen))
    if (period.to == kStillOpen) (period.kind == EventKind::DeviceLost ? lost : signal) = true;
  if (keepOwn) {
    lost = lost && !deviceLost_;
    signal = signal && !watch_.anyActive();
  }
  if (lost) {
    SoundEvent event;
    event.kind = EventKind::DeviceBack;
    event.failure = lastFailure_;
    event.runEnded = true;
    tell(event);
  }
  if (signal) {
    SoundEvent event;
    event.kind = EventKind::SignalOk;
    event.runEnded = true;
    tell(event);
  }
}

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
  // Sound again, before this run's first record and any fault of its own: what an
  // earlier run (ended by a crash or a power cut) left open in today's log is closed.
  if (!earlierFaultsClosed_ && lockHeld_ && panel_.checked(Tick::recordFile)) {
    earlierFaultsClosed_ = true;
    closeOpenFaults(readEventLog(saveFolder_, clock_.now().yyyymmdd()), /*keepOwn=*/true);
  }
  // A minute begins with its first second of sound, which ends as its buffer comes: a
  // start before the input is there, or a return after a loss between minutes, costs
  // no minute heard whole.
  if (elapsedSeconds_ % 60 == 0) minuteStart_ = clock_.steady() - std::chrono::seconds(1);
  if (droppedBytes_ > 0) {
    // Told once the sound flows again, as one event for the whole stretch.
    SoundEvent dropped;
    dropped.kind = EventKind::SoundDropped;
    dropped.lostSeconds = static_cast<double>(droppedBytes_) / kSampleRate;
    droppedBytes_ = 0;
    tell(dropped);
  }
  int pulses = 0;
  int64_t armedSamples = 0;
  bool scanned = false;
  if (count > 0) {
    // Never copy more than the array holds, whatever the device says.
    const int32_t n = std::min<int32_t>(count, static_cast<int32_t>(sampleBuffer_.size()));
    audio_.getBufferData(sampleBuffer_.data(), index, n);
    if (static_cast<size_t>(count) < sampleBuffer_.size()) {
      // A short buffer is not scanned; it still counts as a second.
      sampleBuffer_.assign(static_cast<size_t>(std::max(audio_.bufferSize(), 0)), 0);
    } else if (lockHeld_) {
      completedAt_.clear();
      pulses = scanPulses(sampleBuffer_.data(), sampleBuffer_.size(), scanSettings(), pulseArmed_,
                          completedAt_, busy_);
      armedSamples = busy_.armedSamples;
      for (const size_t at : completedAt_)
        intervals_.addPulse(samplesScanned_ + static_cast<int64_t>(at));
      totalCount_ += pulses;
      panel_.setText(Box::total, integerText(totalCount_));
      scanned = true;
    }
  }
  judgeCount(pulses, armedSamples, scanned ? busy_.longestRun : 0);
  if (scanned) watch();
  samplesScanned_ += static_cast<int64_t>(sampleBuffer_.size());
  ++elapsedSeconds_;
  if (watch_.active(SignalFault::NoSignal)) ++noSignalSeconds_;
  panel_.setText(Box::elapsed, integerText(elapsedSeconds_));
  if (flag == 0) audio_.addBuffer(index);

  lastDose_ = dose_.step(elapsedSeconds_, pulses, sensitivity_.read(panel_),
                         background_.read(panel_), deadTimeSeconds_);
  lastInterval_ = readingInterval95(dose_, elapsedSeconds_, lastDose_, deadTimeSeconds_);
  // An improbable silence may be a tube paralysed past giving pulses: its count is no
  // reading, only a lower bound, until pulses come back.
  const bool ownCap = lastDose_.deadTimeCapped || saturation_.readingLowerBound();
  if (saturation_.readingLowerBound() || watch_.improbableSilence()) {
    // A lower bound has no upper end. A saturated tube's count says nothing (it may be
    // 0): the reading is at least the one at the dead-time cap of the scan's own τ, or
    // of the correction's when longer, which a tube held down that long always exceeds.
    if (saturation_.saturated()) {
      const double tau =
          std::max(deadTimeSeconds_, (scanSettings().resolution + 1.0) / kSampleRate);
      lastDose_ = dose_.atLeast(elapsedSeconds_, lastDose_,
                                kDeadTimeCap / tau * 60.0 / (1.0 - kDeadTimeCap));
    }
    lastDose_.deadTimeCapped = true;
    lastInterval_.openAbove = true;
    lastInterval_.cpmHigh = lastInterval_.doseHigh = std::numeric_limits<double>::infinity();
  }
  intervalHistory_.record(elapsedSeconds_, lastInterval_);
  panel_.setText(Box::cpm, integerText(lastDose_.cpm));
  panel_.setText(Box::doseRate, shortestText(lastDose_.netDoseRate));
  hooks_.readingsShown();
  // The silence's own fault tells it: the correction's limit is not what was passed.
  if (ownCap != capTold_) {
    capTold_ = ownCap;
    SoundEvent cap;
    cap.kind = capTold_ ? EventKind::DeadTimeCapped : EventKind::DeadTimeOk;
    tell(cap);
  }

  if (elapsedSeconds_ % 60 == 0) endOfMinute();

  if (panel_.checked(Tick::pulseTest)) {
    hooks_.pulseTest(sampleBuffer_, static_cast<int>(threshold_.lastUsable()),
                     static_cast<int>(deadBand_.lastUsable()));
    audio_.stopRecording();
    testDone_ = true;
  }

  if (!earlierAlarmsReset_ && lockHeld_ && panel_.checked(Tick::recordFile)) resetEarlierAlarms();
  const float gross = lastDose_.grossDoseRate;
  // A saturated tube is the highest reading there is, whatever its figure, and is evidence
  // enough by itself. So is an improbable silence, on the safe side: nothing in it tells a
  // paralysed tube from a dead cable, and the fault's message names both.
  const bool silence = !saturation_.saturated() && watch_.improbableSilence();
  const int started = saturation_.saturated() || silence
                          ? alarms_.check(std::numeric_limits<float>::max(), panel_)
                          : alarms_.check(lastDose_, lastInterval_, panel_);
  if (started & 1) {
    logAlarm(EventKind::Alarm1, gross, alarms_.lastLimit1(), silence);
    hooks_.alarmStarted(1, gross, alarms_.lastLimit1());
  }
  if (started & 2) {
    logAlarm(EventKind::Alarm2, gross, alarms_.lastLimit2(), silence);
    hooks_.alarmStarted(2, gross, alarms_.lastLimit2());
  }

  if (panel_.checked(Tick::graph)) hooks_.redrawGraph();
}

void RecordingCycle::judgeCount(int pulses, int64_t armedSamples, int64_t longestArmed) {
  // The resolving time from the intervals moves slowly: read it every ten seconds.
  if (elapsedSeconds_ + 1 - seenCheckedAt_ >= 10) {
    seenCheckedAt_ = elapsedSeconds_ + 1;
    const ResolvingTimeEstimate seen = estimateResolvingTime(intervals_.intervalsSeconds());
    seenSeconds_ = seen.enough ? seen.seconds : 0;
  }
  // The watch judges this second after the count: its faults as of the second before.
  const bool faulty = watch_.active(SignalFault::Clipping) || watch_.active(SignalFault::Hum) ||
                      watch_.active(SignalFault::Interference);
  const SecondHeard heard{pulses, static_cast<int64_t>(sampleBuffer_.size()), armedSamples,
                          longestArmed, faulty};
  const auto change =
      saturation_.observe(elapsedSeconds_ + 1, heard, kSampleRate, deadTimeSeconds_, seenSeconds_);
  if (change == TubeSaturation::Change::None) return;
  SoundEvent event;
  event.kind = change == TubeSaturation::Change::Began ? EventKind::TubeSaturated
                                                       : EventKind::TubeSaturatedOk;
  tell(event);
}

void RecordingCycle::watch() {
  watch_.setArmingLevel(scanSettings().low);
  // A signal held down by a saturated tube is no silent or dead input.
  for (const SignalChange& change : watch_.observe(sampleBuffer_.data(), sampleBuffer_.size(),
                                                   completedAt_, saturation_.heldDown())) {
    SoundEvent event;
    event.change = change;
    event.kind = change.began ? signalFaultKind(change.fault) : EventKind::SignalOk;
    tell(event);
  }
}

void RecordingCycle::endOfMinute() {
  // One reading of the clock for the file and the line, so a line stamped 00:00 is
  // always in the new day's file.
  const LocalDateTime now = clock_.now();
  // How long the minute's sound took is measured on the steady clock: a jump of the wall
  // clock is no missing sound. No signal heard is no measurement: the seconds before the
  // watch could tell (the first ten of a flat stretch) may still be in a written minute.
  const std::chrono::milliseconds ended = clock_.steady();
  const bool whole = ended - minuteStart_ <= std::chrono::seconds(60 + kMissingSecondsAllowed) &&
                     noSignalSeconds_ <= kMissingSecondsAllowed;
  noSignalSeconds_ = 0;
  if (!panel_.checked(Tick::recordFile)) return;
  if (whole) return writeRecord(now);
  ++skippedMinutes_;
}

void RecordingCycle::writeRecord(const LocalDateTime& now) {
  const std::string line =
      formatRecordLine({now, lastDose_.netDoseRate, lastDose_.cpm, totalCount_, elapsedSeconds_});
  if (auto written = records_.append(saveFolder_, now.yyyymmdd(), line); !written)
    panel_.report(written.error());
  const int stamp = now.hour * 3600 + now.minute * 60;  // the line's hh:mm
  recordHealth_ =
      healthWords(faultsOverRecord(stamp, faultPeriods(eventsOfDay(now), now.secondOfDay())));
  hooks_.recordWritten(line);
}

const std::vector<EventLine>& RecordingCycle::eventsOfDay(const LocalDateTime& now) {
  const std::string day = now.yyyymmdd();
  if (day == eventsDay_) return dayEvents_;
  std::vector<EventLine> still;
  for (const FaultPeriod& period : faultPeriods(dayEvents_))
    if (period.to == 86400)
      still.push_back({{now.year, now.month, now.day, 0, 0, 0}, period.kind, {}});
  dayEvents_ = std::move(still);
  eventsDay_ = day;
  return dayEvents_;
}

void RecordingCycle::deviceFailed(const DeviceFailure& failure) {
  if (!deviceLost_) lostAt_ = clock_.steady();
  deviceLost_ = true;
  lastFailure_ = failure;
  watch_.soundMissing();
  SoundEvent event;
  event.kind = EventKind::DeviceLost;
  event.failure = failure;
  tell(event);
}

void RecordingCycle::deviceBack() {
  SoundEvent event;
  event.kind = EventKind::DeviceBack;
  event.failure = lastFailure_;
  event.lostSeconds =
      deviceLost_ ? std::chrono::duration<double>(clock_.steady() - lostAt_).count() : 0;
  deviceLost_ = false;
  tell(event);
}

void RecordingCycle::soundDropped(int64_t bytes) {
  droppedBytes_ += bytes;
  watch_.soundMissing();
}

void RecordingCycle::silenceStage1() {
  const bool latched = alarms_.alarm1Latch();
  alarms_.silenceStage1();
  if (latched) logAlarm(EventKind::Alarm1Reset);
}

void RecordingCycle::silenceStage2() {
  const bool latched = alarms_.alarm2Latch();
  alarms_.silenceStage2();
  if (latched) logAlarm(EventKind::Alarm2Reset);
  if (saturation_.release() == TubeSaturation::Change::Ended) {
    SoundEvent event;
    event.kind = EventKind::TubeSaturatedOk;
    tell(event);
  }
}

void RecordingCycle::logAlarm(EventKind kind, float grossDoseRate, float limit, bool silence) {
  SoundEvent event;
  event.kind = kind;
  event.grossDoseRate = grossDoseRate;
  event.limit = limit;
  event.silence = silence;
  log(event);
}

void RecordingCycle::resetEarlierAlarms() {
  earlierAlarmsReset_ = true;
  const LocalDateTime now = clock_.now();
  const AlarmLatches left =
      alarmLatches(readEventLog(saveFolder_, now.yyyymmdd()),
                   alarmLatches(readEventLog(saveFolder_, now.previousDay().yyyymmdd())));
  if (left.stage1 && !alarms_.alarm1Latch()) logAlarm(EventKind::Alarm1Reset);
  if (left.stage2 && !alarms_.alarm2Latch()) logAlarm(EventKind::Alarm2Reset);
}

void RecordingCycle::tell(SoundEvent event) {
  const std::string text = log(event);
  hooks_.soundEvent(event, text);
}

std::string RecordingCycle::log(SoundEvent& event) {
  event.when = clock_.now();
  const std::string text =
      wording_ ? wording_->describe(event) : std::string(eventKindName(event.kind));
  // Kept as the log has it, so that the record's health and dayplot see the same periods.
  eventsOfDay(event.when);
  dayEvents_.push_back({event.when, event.kind, text});
  // The log lies beside the day files: written only while the lock is held and data
  // collection is on; otherwise the event is only told.
  const bool logged = lockHeld_ && panel_.checked(Tick::recordFile);
  if (auto written = logged ? eventLog_.append(saveFolder_, {event.when, event.kind, text})
                            : std::expected<void, WriteFault>();
      !written)
    panel_.report(EventKept{saveFolder_ + eventFileName(event.when.yyyymmdd()), written.error(),
                            eventLog_.keptEvents()});
  return text;
}

}  // namespace radmon
