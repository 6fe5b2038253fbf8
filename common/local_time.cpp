#include "local_time.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>

namespace radmon {
namespace {

using namespace std::chrono;

sys_seconds toSeconds(const LocalDateTime& t) {
  const sys_days d = year_month_day{year{t.year}, month{static_cast<unsigned>(t.month)},
                                    day{static_cast<unsigned>(t.day)}};
  return d + hours{t.hour} + minutes{t.minute} + seconds{t.second};
}

LocalDateTime fromSeconds(sys_seconds s) {
  const sys_days d = floor<days>(s);
  const year_month_day ymd{d};
  const hh_mm_ss hms{s - d};
  return {static_cast<int>(ymd.year()),
          static_cast<int>(static_cast<unsigned>(ymd.month())),
          static_cast<int>(static_cast<unsigned>(ymd.day())),
          static_cast<int>(hms.hours().count()),
          static_cast<int>(hms.minutes().count()),
          static_cast<int>(hms.seconds().count())};
}

bool validDate(int y, int m, int d) {
  return year_month_day{year{y}, month{static_cast<unsigned>(m)}, day{static_cast<unsigned>(d)}}
      .ok();
}

std::string format(const char* pattern, int a, int b, int c) {
  char buf[32];
  std::snprintf(buf, sizeof buf, pattern, a, b, c);
  return buf;
}

std::tm tmOf(const LocalDateTime& when, int isDst) {
  std::tm tm{};
  tm.tm_year = when.year - 1900;
  tm.tm_mon = when.month - 1;
  tm.tm_mday = when.day;
  tm.tm_hour = when.hour;
  tm.tm_min = when.minute;
  tm.tm_sec = when.second;
  tm.tm_isdst = isDst;
  return tm;
}

}  // namespace

int64_t utcSecondsOf(const LocalDateTime& when, long offset) {
  return (toSeconds(when) - seconds{offset}).time_since_epoch().count();
}

std::string LocalDateTime::yyyymmdd() const { return format("%04d%02d%02d", year, month, day); }
std::string LocalDateTime::slashDate() const { return format("%04d/%02d/%02d", year, month, day); }
std::string LocalDateTime::hhmm() const { return format("%02d:%02d", hour, minute, 0); }
std::string LocalDateTime::hhmmss() const { return format("%02d:%02d:%02d", hour, minute, second); }
std::string LocalDateTime::isoText() const {
  return format("%04d-%02d-%02d", year, month, day) + " " + hhmmss();
}

std::string LocalDateTime::logLine(std::string_view text) const {
  const std::string stamp = slashDate() + " " + hhmmss() + " ";
  std::string line = stamp + std::string(text);
  for (size_t at = line.find('\n'); at != std::string::npos; at = line.find('\n', at + 1))
    line.insert(at + 1, stamp);
  return line;
}

LocalDateTime LocalDateTime::plusSeconds(int64_t s) const {
  return fromSeconds(toSeconds(*this) + seconds{s});
}

LocalDateTime LocalDateTime::previousDay() const { return plusSeconds(-86400); }

int64_t LocalDateTime::secondsUntil(const LocalDateTime& later) const {
  return (toSeconds(later) - toSeconds(*this)).count();
}

std::optional<LocalDateTime> LocalDateTime::parse(std::string_view text) {
  LocalDateTime t;
  std::string s(text);
  char tail = 0;
  int n = std::sscanf(s.c_str(), "%4d-%2d-%2d %2d:%2d:%2d%c", &t.year, &t.month, &t.day, &t.hour,
                      &t.minute, &t.second, &tail);
  if (n != 3 && n != 5 && n != 6) return std::nullopt;
  if (n < 6) t.second = 0;
  if (n < 5) t.hour = t.minute = 0;
  if (!validDate(t.year, t.month, t.day) || t.hour < 0 || t.hour > 23 || t.minute < 0 ||
      t.minute > 59 || t.second < 0 || t.second > 59)
    return std::nullopt;
  return t;
}

std::optional<LocalDateTime> LocalDateTime::fromSlashDate(std::string_view date,
                                                          std::string_view time) {
  if (date.size() != 10 || date[4] != '/' || date[7] != '/') return std::nullopt;
  std::string text = std::string(date) + " " + std::string(time);
  text[4] = text[7] = '-';
  const auto when = parse(text);
  if (!when || when->slashDate() != date || (when->hhmm() != time && when->hhmmss() != time))
    return std::nullopt;
  return when;
}

std::optional<LocalDateTime> LocalDateTime::fromYyyymmdd(std::string_view text) {
  if (text.size() != 8) return std::nullopt;
  for (char c : text)
    if (c < '0' || c > '9') return std::nullopt;
  auto num = [&](size_t pos, size_t len) {
    int v = 0;
    for (size_t i = pos; i < pos + len; ++i) v = v * 10 + (text[i] - '0');
    return v;
  };
  LocalDateTime t;
  t.year = num(0, 4);
  t.month = num(4, 2);
  t.day = num(6, 2);
  if (!validDate(t.year, t.month, t.day)) return std::nullopt;
  return t;
}

std::vector<long> utcOffsetsOf(const LocalDateTime& when) {
  std::vector<long> offsets;
  for (const int isDst : {1, 0}) {
    std::tm tm = tmOf(when, isDst);
    if (std::mktime(&tm) == -1) continue;
    // Taken only when the zone has that reading of the minute as it stands.
    if (tm.tm_isdst != isDst || tm.tm_hour != when.hour || tm.tm_min != when.minute ||
        tm.tm_mday != when.day)
      continue;
    if (std::find(offsets.begin(), offsets.end(), tm.tm_gmtoff) == offsets.end())
      offsets.push_back(tm.tm_gmtoff);
  }
  if (offsets.empty()) {
    std::tm tm = tmOf(when, -1);
    std::mktime(&tm);
    offsets.push_back(tm.tm_gmtoff);
  }
  std::sort(offsets.rbegin(), offsets.rend());
  return offsets;
}

long utcOffsetAfter(const LocalDateTime& when, std::optional<int64_t> after) {
  const std::vector<long> offsets = utcOffsetsOf(when);
  for (const long offset : offsets)
    if (!after || utcSecondsOf(when, offset) > *after) return offset;
  return offsets.back();
}

int64_t utcSecondsAfter(const LocalDateTime& when, std::optional<int64_t> after) {
  return utcSecondsOf(when, utcOffsetAfter(when, after));
}

LocalDateTime SystemClock::now() const {
  const std::time_t t = std::time(nullptr);
  std::tm tm{};
  localtime_r(&t, &tm);
  return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

std::chrono::milliseconds SystemClock::steady() const {
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch());
}

}  // namespace radmon
