// What the live page, its event stream and the metrics show of the station: one
// second's reading as the window shows it, with the states beside it, and the texts made
// of it (JSON for the event stream, Prometheus's text format for /metrics). Every
// number is written the same whatever the locale. No Qt.
#pragma once

#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "event_log.h"
#include "pulse_intervals.h"

namespace radmon {

// A state that must not be missed, as the pages' banners show it (web::Banner's words).
struct LiveBanner {
  std::string kind, title, text;
  bool operator==(const LiveBanner&) const = default;
};

struct LiveReading {
  bool recording = false;
  std::string time;       // local time of the second, "yyyy-mm-dd hh:mm:ss"; empty before any
  double doseRate = NAN;  // µSv/h, as shown
  double low = NAN;       // the dose rate's 95 % interval; NaN where unknown
  double high = NAN;
  double cpm = NAN;
  int64_t totalCount = 0;
  int64_t elapsedSeconds = 0;
  bool alarm1 = false, alarm2 = false;
  // The reading is a lower bound (past the dead-time cap or a saturated tube), and the
  // tube is saturated: told beside the alarms, never instead of them.
  bool lowerBound = false;
  bool tubeSaturated = false;
  std::string health = "ok";        // the sound path as the event log names it: "ok" or faults
  std::string state;                // the station's state in the interface's words
  std::vector<LiveBanner> banners;  // the states that stand out, most urgent first
  // The sound path is at fault: the figures are heard through it and are suspect.
  bool suspect = false;
  int64_t records = 0;       // record lines written in this run: the page's graph adds each
  std::string link = "off";  // the MQTT link: "off" or one of kLinkStates
};

// The labels of the sound path's and the MQTT link's state gauges.
inline constexpr std::string_view kSoundStates[] = {
    "ok", "stopped", "device-lost", "no-signal", "hum", "clipping", "interference", "after-pulses"};
inline constexpr std::string_view kLinkStates[] = {"off",         "connecting", "connected",
                                                   "unreachable", "bad-login",  "refused",
                                                   "tls-failed",  "lost",       "closed"};

// The float as its shortest decimal, so that 0.1f is served as 0.1.
double asDecimal(float value);

// One event of the stream: {"time":…,"doseRate":…,"low":…,"high":…,"cpm":…,
// "lowerBound":…,"state":…,"suspect":…,"records":…,"banners":[{"kind":…,"title":…,
// "text":…}]}, unknown numbers (and a lower bound's high) as null.
std::string liveEventJson(const LiveReading& reading);

// The metrics page; `sinceRecord`: seconds since the last record line (or since the
// start, before the first).
std::string metricsText(const LiveReading& reading, double sinceRecord);

// The pulse-interval histogram as JSON.
std::string histogramJson(const IntervalAnalysis& analysis);

// Today's event log as JSON: [{"time":…,"kind":…,"text":…}].
std::string eventLogJson(const std::vector<EventLine>& events);

}  // namespace radmon
