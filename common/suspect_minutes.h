// Which minutes of a day file are set aside: written as heard, but left out of the
// day's figures because the sound path was at fault while they were heard. The one
// rule that every reader of the day files (the day graph, the month and year graphs)
// and the live record's health apply.
//
// A record stamped hh:mm was written at some second of that minute and holds the 60
// seconds of sound before it, so its sound lies within [hh:mm - 60 s, hh:mm + 60 s).
// A fault is told only after the watch has heard it for a while (clipping after 10 s,
// hum after 30 s), so its period is taken to begin kFaultOnsetSeconds before its event.
// A record is set aside when any fault period, of whatever kind, reaches into that span.
#pragma once

#include <vector>

#include "day_record.h"
#include "event_log.h"

namespace radmon {

inline constexpr int kFaultOnsetSeconds = 60;

// The kinds of the faults that reach into the sound of a record stamped at
// `stampSecond` (the second of the day of its hh:mm), each once, in the order of their
// first period.
std::vector<EventKind> faultsOverRecord(int stampSecond, const std::vector<FaultPeriod>& periods);

// One flag per record, in order: set aside or not. A record whose time is no hh:mm
// cannot be placed and is kept.
std::vector<bool> suspectRecords(const std::vector<DayRecord>& records,
                                 const std::vector<FaultPeriod>& periods);

// "ok", or the kinds' names joined by commas ("hum,clipping"), as the event log has them.
std::string healthWords(const std::vector<EventKind>& faults);

}  // namespace radmon
