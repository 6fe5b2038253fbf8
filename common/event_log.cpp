#include "event_log.h"

#include <array>
#include <utility>

#include "settings_text.h"
#include "text_files.h"

namespace radmon {
namespace {

constexpr std::array<std::pair<EventKind, std::string_view>, 17> kNames{{
    {EventKind::DeviceLost, "device-lost"},
    {EventKind::DeviceBack, "device-back"},
    {EventKind::NoSignal, "no-signal"},
    {EventKind::Hum, "hum"},
    {EventKind::Clipping, "clipping"},
    {EventKind::SoundDropped, "sound-dropped"},
    {EventKind::SignalOk, "signal-ok"},
    {EventKind::Interference, "interference"},
    {EventKind::AfterPulses, "after-pulses"},
    {EventKind::DeadTimeCapped, "dead-time-capped"},
    {EventKind::DeadTimeOk, "dead-time-ok"},
    {EventKind::TubeSaturated, "tube-saturated"},
    {EventKind::TubeSaturatedOk, "tube-saturated-ok"},
    {EventKind::Alarm1, "alarm-1"},
    {EventKind::Alarm2, "alarm-2"},
    {EventKind::Alarm1Reset, "alarm-1-reset"},
    {EventKind::Alarm2Reset, "alarm-2-reset"},
}};

bool isSignalFault(EventKind kind) {
  return kind == EventKind::NoSignal || kind == EventKind::Hum || kind == EventKind::Clipping ||
         kind == EventKind::Interference || kind == EventKind::AfterPulses;
}

}  // namespace

bool beginsFault(EventKind kind) { return kind == EventKind::DeviceLost || isSignalFault(kind); }

bool isAlarm(EventKind kind) {
  return kind == EventKind::Alarm1 || kind == EventKind::Alarm2 || kind == EventKind::Alarm1Reset ||
         kind == EventKind::Alarm2Reset;
}

AlarmLatches alarmLatches(const std::vector<EventLine>& events, AlarmLatches from) {
  for (const EventLine& e : events) {
    if (e.kind == EventKind::Alarm1 || e.kind == EventKind::Alarm1Reset)
      from.stage1 = e.kind == EventKind::Alarm1;
    if (e.kind == EventKind::Alarm2 || e.kind == EventKind::Alarm2Reset)
      from.stage2 = e.kind == EventKind::Alarm2;
  }
  return from;
}

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
  const auto when = fields[1].text.size() == 8
                        ? LocalDateTime::fromSlashDate(fields[0].text, fields[1].text)
                        : std::nullopt;
  const auto kind = eventKindFromName(fields[2].text);
  if (!when || !kind) return std::nullopt;
  return EventLine{*when, *kind, fields[3].text};
}

ReadResult<std::vector<EventLine>, RecordIssue> parseEventLog(std::string_view text) {
  ReadResult<std::vector<EventLine>, RecordIssue> events;
  int number = 0;
  for (const std::string_view line : textLines(text)) {
    ++number;
    if (trimmed(line).empty()) continue;
    if (auto e = parseEventLine(line))
      events.value.push_back(std::move(*e));
    else
      events.issues.push_back({number, RecordIssue::NotRecord, {}});
  }
  return events;
}

std::vector<EventLine> readEventLog(const std::string& folder, std::string_view yyyymmdd) {
  const auto text = readTextFile(folder + eventFileName(yyyymmdd));
  return text ? parseEventLog(*text).value : std::vector<EventLine>{};
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
      for (EventKind k : {EventKind::NoSignal, EventKind::Hum, EventKind::Clipping,
                          EventKind::Interference, EventKind::AfterPulses})
        if (e.text.find(eventKindName(k)) != std::string::npos) named = k;
      close([&](EventKind k) { return isSignalFault(k) && (!named || k == *named); }, at);
    } else if (beginsFault(e.kind)) {
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
