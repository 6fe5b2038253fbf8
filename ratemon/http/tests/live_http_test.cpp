// The live page's texts: the address option and numbers that no locale changes. The
// server's answers are tried end to end (live_page_test.py).
#include <gtest/gtest.h>
#include <algorithm>
#include <clocale>
#include <string>
#include <vector>

#include "live_server.h"

namespace radmon {
namespace {

TEST(HttpAddress, Parse) {
  struct Case {
    const char* text;
    const char* host;  // nullptr: refused
    int port;
  };
  const Case cases[] = {
      {"8080", "127.0.0.1", 8080},
      {"0.0.0.0:80", "0.0.0.0", 80},
      {"[::]:8080", "::", 8080},
      {"[::1]:65535", "::1", 65535},
      {"0", "127.0.0.1", 0},
      {"65536", nullptr, 0},
      {"", nullptr, 0},
      {"::1:80", nullptr, 0},
      {"host:80", nullptr, 0},
      {"[1.2.3.4]:80", nullptr, 0},
      {"1.2.3.4:", nullptr, 0},
      {"80x", nullptr, 0},
      {"-1", nullptr, 0},
  };
  for (const Case& c : cases) {
    const auto a = parseHttpAddress(c.text);
    ASSERT_EQ(a.has_value(), c.host != nullptr) << c.text;
    if (!a) continue;
    EXPECT_EQ(a->host, c.host) << c.text;
    EXPECT_EQ(a->port, c.port) << c.text;
    EXPECT_EQ(parseHttpAddress(httpAddressText(*a))->host, a->host) << c.text;
  }
}

LiveReading sample() {
  LiveReading r;
  r.recording = true;
  r.time = "2026-12-09 10:00:01";
  r.doseRate = asDecimal(0.1f);
  r.low = 0.05;
  r.high = INFINITY;  // past the dead-time cap
  r.cpm = 21;
  r.health = "no-signal,hum";
  r.state = "信号 \"なし\"";
  r.link = "connected";
  r.alarm2 = true;  // an alarm and a lower bound, both told
  r.lowerBound = true;
  r.tubeSaturated = true;
  r.suspect = true;
  r.records = 3;
  r.banners = {{"alarm2", "警報", "a \"b\""}, {"saturated", "t", ""}};
  return r;
}

// A German locale writes decimal commas with printf and iostreams; none may get in.
TEST(LiveReading, TextsIgnoreTheLocale) {
  const std::string was = std::setlocale(LC_ALL, nullptr);
  if (!std::setlocale(LC_ALL, "de_DE.UTF-8"))
    GTEST_SKIP() << "the locale de_DE.UTF-8 is not installed (scripts/install-deps.sh makes it)";
  EXPECT_EQ(liveEventJson(sample()),
            "{\"time\":\"2026-12-09 10:00:01\",\"doseRate\":0.1,\"low\":0.05,\"high\":null,"
            "\"cpm\":21,\"lowerBound\":true,\"state\":\"信号 \\\"なし\\\"\",\"suspect\":true,"
            "\"records\":3,\"banners\":[{\"kind\":\"alarm2\",\"title\":\"警報\",\"text\":"
            "\"a \\\"b\\\"\"},{\"kind\":\"saturated\",\"title\":\"t\",\"text\":\"\"}]}");
  const std::string m = metricsText(sample(), 12.5);
  for (const char* line :
       {"radmon_dose_rate_usv_per_hour 0.1\n", "radmon_dose_rate_high_usv_per_hour +Inf\n",
        "radmon_alarm{stage=\"1\"} 0\n", "radmon_alarm{stage=\"2\"} 1\n",
        "radmon_sound_state{state=\"ok\"} 0\n", "radmon_sound_state{state=\"hum\"} 1\n",
        "radmon_sound_state{state=\"no-signal\"} 1\n", "radmon_mqtt_state{state=\"connected\"} 1\n",
        "radmon_seconds_since_last_record 12.5\n", "# TYPE radmon_counts_total counter\n",
        "# HELP radmon_reading_lower_bound ", "# TYPE radmon_reading_lower_bound gauge\n",
        "radmon_reading_lower_bound 1\n", "# TYPE radmon_tube_saturated gauge\n",
        "radmon_tube_saturated 1\n"})
    EXPECT_NE(m.find(line), std::string::npos) << line;
  EXPECT_NE(metricsText(LiveReading{}, 0).find("radmon_dose_rate_usv_per_hour NaN\n"),
            std::string::npos);
  for (const char* line : {"radmon_sound_state{state=\"stopped\"} 1\n",
                           "radmon_reading_lower_bound 0\n", "radmon_tube_saturated 0\n"})
    EXPECT_NE(metricsText(LiveReading{}, 0).find(line), std::string::npos) << line;
  std::setlocale(LC_ALL, was.c_str());
}

// The sound path's gauges: exactly the faults the health names while recording, and only
// "stopped" once recording has stopped, whatever the last health was.
TEST(LiveReading, SoundStateGaugesFollowTheHealthAndStop) {
  struct Case {
    const char* name;
    bool recording;
    const char* health;
    std::vector<std::string> on;  // the states at 1, all others at 0
  };
  const Case cases[] = {
      {"measuring", true, "ok", {"ok"}},
      {"two faults", true, "no-signal,hum", {"no-signal", "hum"}},
      {"input lost", true, "device-lost", {"device-lost"}},
      {"stopped while ok", false, "ok", {"stopped"}},
      {"stopped during a fault", false, "clipping", {"stopped"}},
  };
  for (const Case& c : cases) {
    LiveReading r;
    r.recording = c.recording;
    r.health = c.health;
    const std::string m = metricsText(r, 0);
    for (const std::string_view state : kSoundStates) {
      const bool on = std::find(c.on.begin(), c.on.end(), state) != c.on.end();
      const std::string line = "radmon_sound_state{state=\"" + std::string(state) + "\"} ";
      EXPECT_NE(m.find(line + (on ? "1\n" : "0\n")), std::string::npos) << c.name << ": " << line;
    }
  }
}

// A reading past the dead-time cap is a lower bound whether or not the tube is saturated;
// the event stream and the metrics tell each apart, and a suspect minute apart from both.
TEST(LiveReading, ALowerBoundIsToldWithOrWithoutASaturatedTube) {
  struct Case {
    const char* name;
    bool lowerBound, saturated;
  };
  const Case cases[] = {
      {"counted", false, false}, {"past the cap", true, false}, {"saturated", true, true}};
  for (const Case& c : cases) {
    LiveReading r = sample();
    r.lowerBound = c.lowerBound;
    r.tubeSaturated = c.saturated;
    r.high = c.lowerBound ? INFINITY : 0.2;
    r.suspect = !c.lowerBound;
    const std::string event = liveEventJson(r);
    EXPECT_NE(event.find(std::string("\"suspect\":") + (r.suspect ? "true" : "false")),
              std::string::npos)
        << c.name << ": " << event;
    EXPECT_NE(event.find(std::string("\"lowerBound\":") + (c.lowerBound ? "true" : "false")),
              std::string::npos)
        << c.name << ": " << event;
    EXPECT_EQ(event.find("\"high\":null") != std::string::npos, c.lowerBound) << c.name;
    const std::string m = metricsText(r, 0);
    EXPECT_NE(m.find(std::string("radmon_reading_lower_bound ") + (c.lowerBound ? "1\n" : "0\n")),
              std::string::npos)
        << c.name;
    EXPECT_NE(m.find(std::string("radmon_tube_saturated ") + (c.saturated ? "1\n" : "0\n")),
              std::string::npos)
        << c.name;
  }
}

}  // namespace
}  // namespace radmon
