#include "live_reading.h"

#include <charconv>
#include <system_error>

namespace radmon {
namespace {

// JSON: unknown numbers are null.
std::string jsonNumber(double value) {
  if (!std::isfinite(value)) return "null";
  char text[32];
  const auto end = std::to_chars(text, text + sizeof text, value).ptr;
  return std::string(text, end);
}

// Prometheus: NaN and ±Inf as its text format spells them.
std::string sampleValue(double value) {
  if (std::isnan(value)) return "NaN";
  if (std::isinf(value)) return value > 0 ? "+Inf" : "-Inf";
  return jsonNumber(value);
}

std::string jsonString(std::string_view text) {
  std::string out = "\"";
  for (const char c : text) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (static_cast<unsigned char>(c) < 0x20) {
      static constexpr char kHex[] = "0123456789abcdef";
      out += "\\u00";
      out += kHex[(c >> 4) & 0xf];
      out += kHex[c & 0xf];
    } else {
      out += c;
    }
  }
  return out + "\"";
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

std::string bannersJson(const std::vector<LiveBanner>& banners) {
  std::string out = "[";
  for (const LiveBanner& b : banners)
    out += (out.size() > 1 ? ",{\"kind\":" : "{\"kind\":") + jsonString(b.kind) +
           ",\"title\":" + jsonString(b.title) + ",\"text\":" + jsonString(b.text) + "}";
  return out + "]";
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
  return "{\"time\":" + jsonString(r.time) + ",\"doseRate\":" + jsonNumber(r.doseRate) +
         ",\"low\":" + jsonNumber(r.low) + ",\"high\":" + jsonNumber(r.high) +
         ",\"cpm\":" + jsonNumber(r.cpm) + ",\"lowerBound\":" + (r.lowerBound ? "true" : "false") +
         ",\"state\":" + jsonString(r.state) + ",\"suspect\":" + (r.suspect ? "true" : "false") +
         ",\"records\":" + std::to_string(r.records) + ",\"banners\":" + bannersJson(r.banners) +
         "}";
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
  std::string out = "{\"intervals\":" + std::to_string(a.intervals) +
                    ",\"rate\":" + jsonNumber(a.rate) + ",\"shortest\":" + jsonNumber(a.shortest) +
                    ",\"verdicts\":[";
  for (size_t i = 0; i < a.verdicts.size(); ++i)
    out += (i ? "," : "") + jsonString(verdictName(a.verdicts[i]));
  out += "],\"bins\":[";
  for (size_t i = 0; i < a.bins.size(); ++i) {
    const IntervalBin& b = a.bins[i];
    out += std::string(i ? "," : "") + "{\"from\":" + jsonNumber(b.from) +
           ",\"to\":" + jsonNumber(b.to) + ",\"observed\":" + std::to_string(b.observed) +
           ",\"expected\":" + jsonNumber(b.expected) + "}";
  }
  return out + "]}";
}

std::string eventLogJson(const std::vector<EventLine>& events) {
  std::string out = "[";
  for (size_t i = 0; i < events.size(); ++i)
    out += std::string(i ? "," : "") + "{\"time\":" + jsonString(events[i].when.isoText()) +
           ",\"kind\":" + jsonString(eventKindName(events[i].kind)) +
           ",\"text\":" + jsonString(events[i].text) + "}";
  return out + "]";
}

}  // namespace radmon
