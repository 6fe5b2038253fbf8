#include "live_reading.h"

#include <charconv>
#include <system_error>

#include "json_text.h"

namespace radmon {
namespace {

// Prometheus: NaN and ±Inf as its text format spells them.
std::string sampleValue(double value) {
  if (std::isnan(value)) return "NaN";
  if (std::isinf(value)) return value > 0 ? "+Inf" : "-Inf";
  char text[32];
  const auto end = std::to_chars(text, text + sizeof text, value).ptr;
  return std::string(text, end);
}

void metric(std::string& out, std::string_view name, std::string_view type, std::string_view help) {
  out.append("# HELP ").append(name).append(" ").append(help).append("\n");
  out.append("# TYPE ").append(name).append(" ").append(type).append("\n");
}

void sample(std::string& out, std::string_view name, double value, std::string_view labels = {}) {
  out.append(name);
  if (!labels.empty()) out.append("{").append(labels).append("}");
  out.append(" ").append(sampleValue(value)).append("\n");
}

bool healthHas(const std::string& health, std::string_view name) {
  size_t start = 0;
  while (start <= health.size()) {
    const size_t end = std::min(health.find(',', start), health.size());
    if (std::string_view(health).substr(start, end - start) == name) return true;
    start = end + 1;
  }
  return false;
}

std::string_view verdictName(IntervalVerdict verdict) {
  switch (verdict) {
    case IntervalVerdict::TooFew:
      return "too-few";
    case IntervalVerdict::LooksRandom:
      return "looks-random";
    case IntervalVerdict::Rings:
      return "rings";
    case IntervalVerdict::ResolutionEatsPulses:
      return "resolution-eats-pulses";
    case IntervalVerdict::MainsPeaks:
      return "mains-peaks";
  }
  return "";
}

}  // namespace

double asDecimal(float value) {
  if (!std::isfinite(value)) return value;
  char text[32];
  const auto end = std::to_chars(text, text + sizeof text, value).ptr;
  double result = value;
  std::from_chars(text, end, result);
  return result;
}

std::string liveEventJson(const LiveReading& r) {
  Json banners = Json::array();
  for (const LiveBanner& b : r.banners)
    banners.push_back({{"kind", b.kind}, {"title", b.title}, {"text", b.text}});
  return jsonText({{"time", r.time},
                   {"doseRate", jsonNumber(r.doseRate)},
                   {"low", jsonNumber(r.low)},
                   {"high", jsonNumber(r.high)},
                   {"cpm", jsonNumber(r.cpm)},
                   {"lowerBound", r.lowerBound},
                   {"state", r.state},
                   {"suspect", r.suspect},
                   {"records", r.records},
                   {"banners", banners}});
}

std::string metricsText(const LiveReading& r, double sinceRecord) {
  std::string out;
  const auto gauge = [&](std::string_view name, std::string_view help, double value) {
    metric(out, name, "gauge", help);
    sample(out, name, value);
  };
  gauge("radmon_dose_rate_usv_per_hour", "Dose rate as the window shows it, in µSv/h.", r.doseRate);
  gauge("radmon_dose_rate_low_usv_per_hour",
        "Lower end of the dose rate's 95 % interval, in µSv/h.", r.low);
  gauge("radmon_dose_rate_high_usv_per_hour",
        "Upper end of the dose rate's 95 % interval, in µSv/h (+Inf past the dead-time cap).",
        r.high);
  gauge("radmon_cpm", "Counts per minute as the window shows them.", r.cpm);
  metric(out, "radmon_counts_total", "counter", "Pulses counted since recording started.");
  sample(out, "radmon_counts_total", static_cast<double>(r.totalCount));
  gauge("radmon_elapsed_seconds", "Seconds of sound heard since recording started.",
        static_cast<double>(r.elapsedSeconds));
  metric(out, "radmon_alarm", "gauge", "Alarm stage latched (1) or not (0).");
  sample(out, "radmon_alarm", r.alarm1 ? 1 : 0, "stage=\"1\"");
  sample(out, "radmon_alarm", r.alarm2 ? 1 : 0, "stage=\"2\"");
  gauge("radmon_reading_lower_bound",
        "The reading is a lower bound (1: past the dead-time cap or a saturated tube) or not (0).",
        r.lowerBound ? 1 : 0);
  gauge("radmon_tube_saturated",
        "The tube is saturated (1): the dose rate is above what it can count; or not (0).",
        r.tubeSaturated ? 1 : 0);
  metric(out, "radmon_sound_state", "gauge",
         "The sound path's state: 1 for the current one (several faults may be on), 0 for "
         "the others.");
  for (const std::string_view state : kSoundStates) {
    const bool on = state == "stopped" ? !r.recording : r.recording && healthHas(r.health, state);
    sample(out, "radmon_sound_state", on ? 1 : 0, "state=\"" + std::string(state) + "\"");
  }
  metric(out, "radmon_mqtt_state", "gauge", "The MQTT link's state: 1 for the current one.");
  for (const std::string_view state : kLinkStates)
    sample(out, "radmon_mqtt_state", state == r.link ? 1 : 0,
           "state=\"" + std::string(state) + "\"");
  gauge("radmon_seconds_since_last_record",
        "Seconds since the last record line was written (since the start, before the first).",
        sinceRecord);
  return out;
}

std::string histogramJson(const IntervalAnalysis& a) {
  Json verdicts = Json::array(), bins = Json::array();
  for (const IntervalVerdict verdict : a.verdicts) verdicts.push_back(verdictName(verdict));
  for (const IntervalBin& b : a.bins)
    bins.push_back({{"from", jsonNumber(b.from)},
                    {"to", jsonNumber(b.to)},
                    {"observed", b.observed},
                    {"expected", jsonNumber(b.expected)}});
  return jsonText({{"intervals", a.intervals},
                   {"rate", jsonNumber(a.rate)},
                   {"shortest", jsonNumber(a.shortest)},
                   {"verdicts", verdicts},
                   {"bins", bins}});
}

std::string eventLogJson(const std::vector<EventLine>& events) {
  Json all = Json::array();
  for (const EventLine& e : events)
    all.push_back({{"time", e.when.isoText()}, {"kind", eventKindName(e.kind)}, {"text", e.text}});
  return jsonText(all);
}

}  // namespace radmon
