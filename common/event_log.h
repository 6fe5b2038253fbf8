// The day's event log beside the day files: what happened to the sound path (a lost
// input, no signal, hum, clipping, dropped sound) and when it ended, when the readings
// were lower bounds past the dead-time cap, and when an alarm stage started and was
// reset; written by ratemon and read by dayplot. This is the one definition of its name
// and line format:
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
  // The sound shows a tube that counts no more, however high the rate (its pulses merge
  // or it stays blind): the readings are lower bounds and the highest alarm stage sounds
  // until TubeSaturatedOk. No fault of the sound path: the minutes count as measured.
  TubeSaturated,
  TubeSaturatedOk,
  // An alarm stage started (its sound loops), and was reset: by its stop button, or
  // because the ratemon that started it is no longer running. No fault of the sound path.
  Alarm1,
  Alarm2,
  Alarm1Reset,
  Alarm2Reset,
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
// The events of the day `yyyymmdd` in `folder` (ending in a separator); none when its
// log is missing or unreadable, and its lines that are no event are passed over.
std::vector<EventLine> readEventLog(const std::string& folder, std::string_view yyyymmdd);
// One line (with or without its line end); nothing for a line that is not an event.
std::optional<EventLine> parseEventLine(std::string_view line);
// Every event line of a file's text; each line that is no event an issue.
ReadResult<std::vector<EventLine>, RecordIssue> parseEventLog(std::string_view text);

// A lost input or a signal fault begins: the kinds that open a FaultPeriod.
bool beginsFault(EventKind kind);

// An alarm stage started or was reset: the log's events that are not the sound path's.
bool isAlarm(EventKind kind);
// Which alarm stages are latched after `events`, starting from `from` (the day before's).
struct AlarmLatches {
  bool stage1 = false;
  bool stage2 = false;
  bool operator==(const AlarmLatches&) const = default;
};
AlarmLatches alarmLatches(const std::vector<EventLine>& events, AlarmLatches from = {});

// A stretch of the day in which the sound path was at fault, in seconds of the day.
struct FaultPeriod {
  EventKind kind = EventKind::NoSignal;  // DeviceLost or a signal fault
  int from = 0;
  int to = 0;  // the end event, or the end of the day when none came
};

// The periods of a day's events, in the order they began: a fault runs from its event
// to the next device-back (a loss) or signal-ok of the same kind (a signal fault);
// signal-ok without a kind named in its text ends every signal fault; the dead-time
// cap and the alarms are no faults and make no period. A fault that is
// still open at the end of the log runs to `endOfLog` (the end of the day, or now).
std::vector<FaultPeriod> faultPeriods(const std::vector<EventLine>& events, int endOfLog = 86400);

}  // namespace radmon
