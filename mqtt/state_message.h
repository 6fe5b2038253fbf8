// The JSON of the readings: the retained state of each record minute, its reading back
// by a collector, and the per-second live reading. The keys are documented in the
// README; a record line and its state message hold the same fields, so a collector
// rebuilds the station's line byte for byte.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

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
std::string offsetText(long secondsEast);

// Seconds since 1970 (UTC) of a record's moment; of an ISO text with an offset or "Z".
std::optional<int64_t> utcSeconds(const RecordState& state);
std::optional<int64_t> utcSecondsOf(std::string_view isoTime);
// "2026-03-01T04:05:00Z".
std::string utcText(int64_t utcSeconds);

// The state of a record line (with or without its line end), its offset that of the
// computer's time zone at the record's minute; no value when the line is not a record
// line. In the hour repeated when the clocks go back, the offset that puts the record
// after the moment `after` (a day file's lines come in the order they were written).
std::optional<RecordState> stateFromLine(std::string_view line, bool alarm1, bool alarm2,
                                         std::optional<int64_t> after = std::nullopt);

// With bounds, "cpm95" and "dose95" as [low, high] (null for an infinite upper end),
// "capped" and "lower_bound" (the same flag, by the name the station's page uses).
std::string stateJson(const RecordState& state);

// Reads a state message; no value when a record field is missing or of the wrong kind.
std::optional<RecordState> parseStateJson(std::string_view json);

// The record line of a state (CR LF ended), the same bytes the station wrote.
std::string recordLineOf(const RecordState& state);

// A collector's request for the records of a span again, on prefix/resend:
// {"from":"2026-03-01T04:05:00Z","to":"2026-03-01T04:30:00Z","most":26}, both moments
// included, at most `most` records (0 or none: as many as the station sends at once).
struct ResendSpan {
  int64_t from = 0;  // seconds since 1970, UTC
  int64_t to = 0;
  int64_t most = 0;
};
std::string resendJson(const ResendSpan& span);
std::optional<ResendSpan> parseResendJson(std::string_view json);

// The live reading of one second: {"time":...,"dose_rate":...,"cpm":...}.
std::string liveJson(const LocalDateTime& when, float doseRate, int64_t cpm);

}  // namespace radmon
