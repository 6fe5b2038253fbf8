#include "day_record.h"

#include <charconv>
#include <cmath>

#include "number_text.h"
#include "settings_text.h"

namespace radmon {

std::string dayFileName(std::string_view yyyymmdd) {
  return std::string(kDayFilePrefix) + std::string(yyyymmdd) + ".csv";
}

std::string formatRecordLine(const RecordLine& r) {
  return SettingsLineWriter()
      .text(r.when.slashDate())
      .text(r.when.hhmm())
      .number(shortestText(r.netDose))
      .number(integerText(r.cpm))
      .number(integerText(r.totalCount))
      .number(integerText(r.elapsedSeconds))
      .line();
}

namespace {

std::optional<int64_t> countOf(std::string_view text) {
  int64_t value = -1;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || value < 0) return std::nullopt;
  return value;
}

}  // namespace

std::optional<LocalDateTime> DayRecord::when() const {
  return time.size() == 5 ? LocalDateTime::fromSlashDate(date, time) : std::nullopt;
}

std::optional<DayRecord> parseRecordLine(std::string_view line) {
  const auto fields = readSettingsFields(line);
  if (fields.size() < 6) return std::nullopt;
  const auto rate = readNumber(fields[2].text);
  if (!rate || !std::isfinite(static_cast<float>(*rate))) return std::nullopt;
  DayRecord record{fields[0].text,
                   fields[1].text,
                   {},
                   0,
                   static_cast<float>(*rate),
                   countOf(fields[3].text),
                   countOf(fields[4].text),
                   countOf(fields[5].text)};
  record.rateText = significantText(static_cast<double>(record.dose), 7);
  record.rate = readNumber(record.rateText).value_or(0.0);
  return record;
}

}  // namespace radmon
