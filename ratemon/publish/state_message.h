// The JSON of the readings: the retained state of each record minute, its reading back
// by a collector, and the per-second live reading. The keys are documented in the
// README; a record line and its state message hold the same fields, so a collector
// rebuilds the station's line byte for byte.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "local_time.h"

namespace radmon {

// The 95 % intervals behind a record's CPM and dose rate; past the dead-time cap the
// figures are lower bounds and the upper ends infinite (none is known).
struct RecordBounds {
  double cpmLow = 0, cpmHigh = 0;
  double doseLow = 0, doseHigh = 0;
  bool capped = false;
  friend bool operator==(const RecordBounds&, const RecordBounds&) = default;
};

// One record minute as it is published.
struct RecordState {
  std::string date;       // yyyy/mm/dd, as in the record line
  std::string minute;     // hh:mm, as in the record line
  std::string utcOffset;  // "+09:00", the station's offset at that moment
  std::string doseText;   // μSv/h, the number exactly as the record line writes it
  int64_t cpm = 0;
  int64_t total = 0;
  int64_t elapsed = 0;
  bool alarm1 = false;
  bool alarm2 = false;
  std::optional<std::string> health;     // the signal's state, when the station knows it
  std::optional<RecordBounds> bounds{};  // when the station knows them

  // "2026-12-08T13:05:00+09:00": the record's key for a consumer.
  std::string isoTime() const;
};

// The offset from UTC of a local moment in the computer's time zone, "+09:00".
std::string utcOffsetText(const LocalDateTime& when);

// The state of a record line (with or without its line end), its offset that of the
// computer's time zone at the record's minute; no value when the line is not a record
// line.
std::optional<RecordState> stateFromLine(std::string_view line, bool alarm1, bool alarm2);

// With bounds, "cpm95" and "dose95" as [low, high] (null for an infinite upper end)
// and "capped".
std::string stateJson(const RecordState& state);

// Reads a state message; no value when a record field is missing or of the wrong kind.
std::optional<RecordState> parseStateJson(std::string_view json);

// The record line of a state (CR LF ended), the same bytes the station wrote.
std::string recordLineOf(const RecordState& state);

// The live reading of one second: {"time":...,"dose_rate":...,"cpm":...}.
std::string liveJson(const LocalDateTime& when, float doseRate, int64_t cpm);

}  // namespace radmon
