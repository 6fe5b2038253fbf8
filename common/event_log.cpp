#include "event_log.h"

#include <array>
#include <utility>

#include "number_text.h"
#include "settings_text.h"
#include "text_files.h"

namespace radmon {
namespace {

constexpr std::array<std::pair<EventKind, std::string_view>, 7> kNames{{
    {EventKind::DeviceLost, "device-lost"},
    {EventKind::DeviceBack, "device-back"},
    {EventKind::NoSignal, "no-signal"},
    {EventKind::Hum, "hum"},
    {EventKind::Clipping, "clipping"},
    {EventKind::SoundDropped, "sound-dropped"},
    {EventKind::SignalOk, "signal-ok"},
}};

bool isSignalFault(EventKind kind) {
  return kind == EventKind::NoSignal || kind == EventKind::Hum || kind == EventKind::Clipping;
}

}  // namespace

std::string_view eventKindName(EventKind kind) {
  for (const auto& [k, name] : kNames)
    if (k == kind) return name;
  return {};
}

std::optional<EventKind> eventKindFromName(std::string_view name) {
  for (const auto& [kind, n] : kNames)
    if (n == name) return kind;
  return std::nullopt;
}

std::string eventFileName(std::string_view yyyymmdd) {
  return std::string(kEventFilePrefix) + std::string(yyyymmdd) + ".csv";
}

std::string formatEventLine(const EventLine& e) {
  return SettingsLineWriter()
      .text(e.when.slashDate())
      .text(e.when.hhmmss())
      .text(eventKindName(e.kind))
      .text(e.text)
      .line();
}

std::optional<EventLine> parseEventLine(std::string_view line) {
  const auto fields = readSettingsFields(line);
  if (fields.size() < 4) return std::nullopt;
  const std::string& day = fields[0].text;
  const auto date = LocalDateTime::parse(day.size() == 10 && day[4] == '/' && day[7] == '/'
                                             ? fields[0].text.substr(0, 4) + "-" +
                                                   fields[0].text.substr(5, 2) + "-" +
                                                   fields[0].text.substr(8, 2)
                                             : std::string());
  const std::string& time = fields[1].text;
  const auto kind = eventKindFromName(fields[2].text);
  if (!date || !kind || time.size() != 8 || time[2] != ':' || time[5] != ':') return std::nullopt;
  const std::string_view clock(time);
  const auto h = readCount(clock.substr(0, 2), 0, 23), m = readCount(clock.substr(3, 2), 0, 59),
             s = readCount(clock.substr(6, 2), 0, 59);
  if (!h || !m || !s) return std::nullopt;
  EventLine e;
  e.when = *date;
  e.when.hour = *h;
  e.when.minute = *m;
  e.when.second = *s;
  e.kind = *kind;
  e.text = fields[3].text;
  return e;
}

std::vector<EventLine> parseEventLog(std::string_view text, int* skipped) {
  std::vector<EventLine> events;
  for (const std::string_view line : textLines(text)) {
    if (trimmed(line).empty()) continue;
    if (auto e = parseEventLine(line)) events.push_back(std::move(*e));
    else if (skipped) ++*skipped;
  }
  return events;
}

std::vector<FaultPeriod> faultPeriods(const std::vector<EventLine>& events, int endOfLog) {
  std::vector<FaultPeriod> periods;
  std::vector<size_t> open;  // indices into periods
  auto close = [&](auto matches, int at) {
    for (auto it = open.begin(); it != open.end();) {
      if (matches(periods[*it].kind)) {
        periods[*it].to = std::max(periods[*it].from, at);
        it = open.erase(it);
      } else {
        ++it;
      }
    }
  };
  for (const EventLine& e : events) {
    const int at = e.when.secondOfDay();
    if (e.kind == EventKind::DeviceBack) {
      close([](EventKind k) { return k == EventKind::DeviceLost; }, at);
    } else if (e.kind == EventKind::SignalOk) {
      // The text names the fault that ended ("hum" ...); none named ends them all.
      std::optional<EventKind> named;
      for (EventKind k : {EventKind::NoSignal, EventKind::Hum, EventKind::Clipping})
        if (e.text.find(eventKindName(k)) != std::string::npos) named = k;
      close([&](EventKind k) { return isSignalFault(k) && (!named || k == *named); }, at);
    } else if (e.kind != EventKind::SoundDropped) {
      bool already = false;
      for (size_t i : open) already = already || periods[i].kind == e.kind;
      if (already) continue;
      open.push_back(periods.size());
      periods.push_back({e.kind, at, endOfLog});
    }
  }
  return periods;
}

}  // namespace radmon
