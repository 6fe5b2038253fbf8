// Local calendar date and time of day, and the clock that supplies them. The clock is
// an interface so that tests and fast replays can run a whole day in seconds.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace radmon {

struct LocalDateTime {
  int year = 2000, month = 1, day = 1;
  int hour = 0, minute = 0, second = 0;

  std::string yyyymmdd() const;   // 20110919
  std::string slashDate() const;  // 2011/09/19
  std::string hhmm() const;       // 07:05
  std::string hhmmss() const;     // 07:05:09
  std::string isoText() const;    // 2011-09-19 07:05:09
  // A line of either program's log: every line of `text` after the day file's date and
  // the time ("2011/09/19 07:05:09 text").
  std::string logLine(std::string_view text) const;

  LocalDateTime plusSeconds(int64_t seconds) const;
  LocalDateTime previousDay() const;
  // Seconds from this moment to `later` (negative when it lies before).
  int64_t secondsUntil(const LocalDateTime& later) const;
  int secondOfDay() const { return hour * 3600 + minute * 60 + second; }

  // "YYYY-MM-DD hh:mm:ss" (or "YYYY-MM-DD hh:mm", or "YYYY-MM-DD"); no value when the
  // text is not such a date or the date does not exist.
  static std::optional<LocalDateTime> parse(std::string_view text);
  // The date and time as the day files and event logs write them ("2011/09/19" and
  // "07:05" or "07:05:09"), exactly; no value for another form or no such moment.
  static std::optional<LocalDateTime> fromSlashDate(std::string_view date, std::string_view time);
  // "yyyymmdd"; no value when it is not an existing date.
  static std::optional<LocalDateTime> fromYyyymmdd(std::string_view text);

  friend bool operator==(const LocalDateTime&, const LocalDateTime&) = default;
};

// Seconds since 1970 (UTC) of a local moment at `offset` seconds east of UTC.
int64_t utcSecondsOf(const LocalDateTime& when, long offset);

// The offsets (seconds east of UTC) a local minute has in the computer's time zone: one,
// or two in the hour repeated when the clocks go back (the earlier moment's first).
std::vector<long> utcOffsetsOf(const LocalDateTime& when);
// Of those, the first that puts the minute after `after` (seconds since 1970, UTC), or the
// last: lines written in order keep their order through the repeated hour.
long utcOffsetAfter(const LocalDateTime& when, std::optional<int64_t> after);
// Seconds since 1970 (UTC) of the local minute so placed.
int64_t utcSecondsAfter(const LocalDateTime& when, std::optional<int64_t> after);

// Two readings: the local wall time, which labels things and may jump (daylight-saving
// changes, a time service stepping the clock), and a steady time that only runs on, for
// how long something took.
class Clock {
 public:
  virtual ~Clock() = default;
  virtual LocalDateTime now() const = 0;
  // From an arbitrary origin; comparable only with other readings of the same clock.
  virtual std::chrono::milliseconds steady() const = 0;
};

// The computer's clock in the local time zone, and its monotonic clock.
class SystemClock final : public Clock {
 public:
  LocalDateTime now() const override;
  std::chrono::milliseconds steady() const override;
};

// A clock that moves only when told: tests and fast replays. advance() is time passing;
// set() and step() move only the wall time, as a zone change or a time service does.
class ManualClock final : public Clock {
 public:
  explicit ManualClock(LocalDateTime start) : now_(start) {}
  LocalDateTime now() const override { return now_; }
  std::chrono::milliseconds steady() const override { return steady_; }
  void set(LocalDateTime t) { now_ = t; }
  void step(int64_t seconds) { now_ = now_.plusSeconds(seconds); }
  void advance(int64_t seconds) {
    now_ = now_.plusSeconds(seconds);
    steady_ += std::chrono::seconds(seconds);
  }

 private:
  LocalDateTime now_;
  std::chrono::milliseconds steady_{0};
};

}  // namespace radmon
