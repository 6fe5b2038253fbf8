#include "state_message.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>

#include "day_record.h"
#include "json_text.h"
#include "number_text.h"

namespace radmon {
namespace {

// [low, high] with `decimals`; an infinite upper end is null.
Json boundsJson(double low, double high, int decimals) {
  return {rawNumber(fixedText(low, decimals)),
          std::isfinite(high) ? rawNumber(fixedText(high, decimals)) : nullptr};
}

}  // namespace

std::string RecordState::isoTime() const {
  // yyyy/mm/dd and hh:mm as the record line has them.
  std::string iso = date + "T" + minute + ":00" + utcOffset;
  std::replace(iso.begin(), iso.begin() + static_cast<std::ptrdiff_t>(date.size()), '/', '-');
  return iso;
}

std::string offsetText(long offset) {
  const int minutes = static_cast<int>((offset < 0 ? -offset : offset) / 60) % (24 * 60);
  char buf[16];
  std::snprintf(buf, sizeof buf, "%c%02d:%02d", offset < 0 ? '-' : '+', minutes / 60, minutes % 60);
  return buf;
}

std::string utcOffsetText(const LocalDateTime& when) {
  return offsetText(utcOffsetsOf(when).front());
}

std::optional<int64_t> utcSecondsOf(std::string_view iso) {
  // yyyy-mm-ddThh:mm:ss then Z or ±hh:mm.
  if (iso.size() < 20 || iso[10] != 'T') return std::nullopt;
  const auto when =
      LocalDateTime::parse(std::string(iso.substr(0, 10)) + " " + std::string(iso.substr(11, 8)));
  if (!when) return std::nullopt;
  const std::string_view zone = iso.substr(19);
  int64_t offset = 0;
  if (zone != "Z") {
    const auto hours = readCount(zone.substr(1, 2), 0, 23);
    const auto minutes = readCount(zone.size() == 6 ? zone.substr(4, 2) : "x", 0, 59);
    if (zone.size() != 6 || (zone[0] != '+' && zone[0] != '-') || zone[3] != ':' || !hours ||
        !minutes)
      return std::nullopt;
    offset = (zone[0] == '-' ? -1 : 1) * (*hours * 3600 + *minutes * 60);
  }
  return radmon::utcSecondsOf(*when, static_cast<long>(offset));
}

std::optional<int64_t> utcSeconds(const RecordState& state) {
  return utcSecondsOf(state.isoTime());
}

std::string utcText(int64_t utc) {
  std::string iso = LocalDateTime{1970, 1, 1, 0, 0, 0}.plusSeconds(utc).isoText();
  iso[10] = 'T';
  return iso + "Z";
}

std::optional<RecordState> stateFromLine(std::string_view line, bool alarm1, bool alarm2,
                                         std::optional<int64_t> after) {
  const auto record = parseRecordLine(line);
  const auto when = record ? record->when() : std::nullopt;
  if (!when || !record->cpm || !record->totalCount || !record->elapsedSeconds) return std::nullopt;
  const long offset = utcOffsetAfter(*when, after);
  // The text ratemon writes for the line's single-precision dose, so a hand-edited "+.5"
  // still makes a JSON number.
  return RecordState{
      record->date, record->time,        offsetText(offset),      shortestText(record->dose),
      *record->cpm, *record->totalCount, *record->elapsedSeconds, alarm1,
      alarm2,       std::nullopt};
}

std::string stateJson(const RecordState& s) {
  // dose_rate is the record line's own number text.
  Json json = {{"time", s.isoTime()},  {"date", s.date},
               {"minute", s.minute},   {"dose_rate", rawNumber(s.doseText)},
               {"cpm", s.cpm},         {"total", s.total},
               {"elapsed", s.elapsed}, {"alarm1", s.alarm1},
               {"alarm2", s.alarm2}};
  if (s.health) json["health"] = *s.health;
  if (const auto& b = s.bounds) {
    json["cpm95"] = boundsJson(b->cpmLow, b->cpmHigh, 1);
    json["dose95"] = boundsJson(b->doseLow, b->doseHigh, 3);
    json["capped"] = b->capped;
    // The name the station's page gives it; the same meaning as capped.
    json["lower_bound"] = b->capped;
  }
  return jsonText(json);
}

std::optional<RecordState> parseStateJson(std::string_view text) {
  const auto json = nlohmann::json::parse(text, nullptr, false);
  if (!json.is_object()) return std::nullopt;
  auto str = [&](const char* key) -> std::optional<std::string> {
    const auto it = json.find(key);
    if (it == json.end() || !it->is_string()) return std::nullopt;
    return it->get<std::string>();
  };
  auto integer = [&](const char* key) -> std::optional<int64_t> {
    const auto it = json.find(key);
    if (it == json.end() || !it->is_number_integer()) return std::nullopt;
    return it->get<int64_t>();
  };
  auto flag = [&](const char* key) {
    const auto it = json.find(key);
    return it != json.end() && it->is_boolean() && it->get<bool>();
  };
  const auto time = str("time"), date = str("date"), minute = str("minute");
  const auto cpm = integer("cpm"), total = integer("total"), elapsed = integer("elapsed");
  const auto dose = json.find("dose_rate");
  if (!time || !date || !minute || !cpm || !total || !elapsed || dose == json.end() ||
      !dose->is_number())
    return std::nullopt;
  // The offset is what follows the seconds of the time.
  if (time->size() < 19) return std::nullopt;
  RecordState s;
  s.date = *date;
  s.minute = *minute;
  s.utcOffset = time->substr(19);
  s.doseText = shortestText(static_cast<float>(dose->get<double>()));
  s.cpm = *cpm;
  s.total = *total;
  s.elapsed = *elapsed;
  s.alarm1 = flag("alarm1");
  s.alarm2 = flag("alarm2");
  if (auto health = str("health")) s.health = *health;
  // Both ends a number, or the upper null (infinite).
  auto bounds = [&](const char* key) -> std::optional<std::pair<double, double>> {
    const auto it = json.find(key);
    if (it == json.end() || !it->is_array() || it->size() != 2 || !(*it)[0].is_number() ||
        !((*it)[1].is_number() || (*it)[1].is_null()))
      return std::nullopt;
    const double high = (*it)[1].is_null() ? HUGE_VAL : (*it)[1].get<double>();
    return std::pair{(*it)[0].get<double>(), high};
  };
  if (const auto cpm95 = bounds("cpm95"), dose95 = bounds("dose95"); cpm95 && dose95)
    s.bounds =
        RecordBounds{cpm95->first, cpm95->second, dose95->first, dose95->second, flag("capped")};
  if (s.isoTime() != *time || !LocalDateTime::parse(time->substr(0, 10) + " " + s.minute))
    return std::nullopt;
  return s;
}

std::string recordLineOf(const RecordState& s) {
  const auto when = LocalDateTime::fromSlashDate(s.date, s.minute).value_or(LocalDateTime{});
  return formatRecordLine(
      {when, static_cast<float>(readNumber(s.doseText).value_or(0.0)), s.cpm, s.total, s.elapsed});
}

std::string resendJson(const ResendSpan& span) {
  return jsonText({{"from", utcText(span.from)}, {"to", utcText(span.to)}, {"most", span.most}});
}

std::optional<ResendSpan> parseResendJson(std::string_view text) {
  const auto json = nlohmann::json::parse(text, nullptr, false);
  if (!json.is_object()) return std::nullopt;
  auto moment = [&](const char* key) -> std::optional<int64_t> {
    const auto it = json.find(key);
    if (it == json.end() || !it->is_string()) return std::nullopt;
    return utcSecondsOf(it->get<std::string>());
  };
  const auto from = moment("from"), to = moment("to");
  if (!from || !to || *from > *to) return std::nullopt;
  const auto most = json.find("most");
  return ResendSpan{*from, *to,
                    most != json.end() && most->is_number_integer() ? most->get<int64_t>() : 0};
}

std::string liveJson(const LocalDateTime& when, float doseRate, int64_t cpm) {
  std::string iso = when.isoText();
  iso[10] = 'T';
  return jsonText({{"time", iso + utcOffsetText(when)},
                   {"dose_rate", rawNumber(shortestText(doseRate))},
                   {"cpm", cpm}});
}

}  // namespace radmon
