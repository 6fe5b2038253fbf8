// What happened to the sound path, as the recording cycle tells it: the input lost or
// back, sound dropped, a signal fault begun or ended; also the dead-time cap reached
// or left. The cycle writes each to the day's event log, in the words an EventWording
// gives it, and hands it to its hooks. The alarm stages' starts and resets are only
// logged: the hooks hear of them by alarmStarted.
#pragma once

#include <string>

#include "audio_input.h"
#include "event_log.h"
#include "local_time.h"
#include "signal_watch.h"

namespace radmon {

struct SoundEvent {
  EventKind kind = EventKind::SignalOk;
  LocalDateTime when;
  DeviceFailure failure;    // DeviceLost
  SignalChange change;      // the signal faults, and SignalOk (the fault that ended)
  double lostSeconds = 0;   // SoundDropped; DeviceBack: how long the input was away
  float grossDoseRate = 0;  // Alarm1, Alarm2: the rate that started it, and the limit
  float limit = 0;
  bool silence = false;  // Alarm1, Alarm2: started by an improbable silence, not a rate
  // DeviceBack, SignalOk: no return of the sound, but the end of the run that told the
  // fault (at its stop, or at the next start when it ended without one); a SignalOk of
  // this kind ends every signal fault.
  bool runEnded = false;
};

// The event log's kind for a signal fault that begins.
inline EventKind signalFaultKind(SignalFault fault) {
  switch (fault) {
    case SignalFault::NoSignal:
      return EventKind::NoSignal;
    case SignalFault::Hum:
      return EventKind::Hum;
    case SignalFault::Clipping:
      return EventKind::Clipping;
    case SignalFault::Interference:
      return EventKind::Interference;
    case SignalFault::AfterPulses:
      return EventKind::AfterPulses;
  }
  return EventKind::NoSignal;
}

// The text of an event in the interface's language (the program's messages unit).
class EventWording {
 public:
  virtual ~EventWording() = default;
  virtual std::string describe(const SoundEvent& event) const = 0;
};

}  // namespace radmon
