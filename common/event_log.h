// The day's event log beside the day files: what happened to the sound path (a lost
// input, no signal, hum, clipping, dropped sound) and when it ended, and when the
// readings were lower bounds past the dead-time cap, written by
// ratemon and read by dayplot. This is the one definition of its name and line format:
//   "2011/09/19","12:34:56","no-signal","<text in the interface's language>"
// one line per event, ended by CR LF.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "local_time.h"
#include "read_result.h"

namespace radmon {

inline constexpr std::string_view kEventFilePrefix = "μSVHEvents";

enum class EventKind {
  DeviceLost,    // the input went away; counting paused
  DeviceBack,    // the input is back; counting resumed
  NoSignal,      // the sound is flat, or pulses are missing improbably long
  Hum,           // pulses at a steady mains rhythm, not a tube's
  Clipping,      // the sound sits at the ends of its range for a long stretch
  SoundDropped,  // sound was lost because no buffer was free (a moment, no period)
  SignalOk,      // a signal fault has ended
  Interference,  // counted pulses keep a phase on the mains cycle
  AfterPulses,   // more very short intervals than a tube with its dead time gives
  // The counted rate passed the dead-time correction's cap: the readings are lower
  // bounds until DeadTimeOk. No fault of the sound path: the minutes count as measured.
  DeadTimeCapped,
  DeadTimeOk,
};

// "device-lost", "no-signal", ...
std::string_view eventKindName(EventKind kind);
std::optional<EventKind> eventKindFromName(std::string_view name);

// "μSVHEvents" + yyyymmdd + ".csv", without a folder.
std::string eventFileName(std::string_view yyyymmdd);

struct EventLine {
  LocalDateTime when;
  EventKind kind = EventKind::SignalOk;
  std::string text;
};

// The line with its CR LF; the text without double quotes or line breaks.
std::string formatEventLine(const EventLine& event);
// One line (with or without its line end); nothing for a line that is not an event.
std::optional<EventLine> parseEventLine(std::string_view line);
// Every event line of a file's text; each line that is no event an issue.
ReadResult<std::vector<EventLine>, RecordIssue> parseEventLog(std::string_view text);

// A stretch of the day in which the sound path was at fault, in seconds of the day.
struct FaultPeriod {
  EventKind kind = EventKind::NoSignal;  // DeviceLost or a signal fault
  int from = 0;
  int to = 0;  // the end event, or the end of the day when none came
};

// The periods of a day's events, in the order they began: a fault runs from its event
// to the next device-back (a loss) or signal-ok of the same kind (a signal fault);
// signal-ok without a kind named in its text ends every signal fault; the dead-time
// cap is no fault and makes no period. A fault that is
// still open at the end of the log runs to `endOfLog` (the end of the day, or now).
std::vector<FaultPeriod> faultPeriods(const std::vector<EventLine>& events, int endOfLog = 86400);

}  // namespace radmon
