#include "day_record.h"

#include <cstdio>
#include <cstdlib>

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

std::optional<DayRecord> parseRecordLine(std::string_view line) {
  const auto fields = readSettingsFields(line);
  if (fields.size() < 6) return std::nullopt;
  const auto rate = readNumber(fields[2].text);
  if (!rate) return std::nullopt;
  DayRecord record;
  record.date = fields[0].text;
  record.time = fields[1].text;
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.7g", static_cast<double>(static_cast<float>(*rate)));
  record.rateText = buf;
  record.rate = std::strtod(buf, nullptr);
  return record;
}

}  // namespace radmon
