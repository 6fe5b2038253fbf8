// The live page's texts and its server: the address option, numbers that no locale
// changes, and the answers to wrong paths, methods and requests.
#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QTcpSocket>
#include <clocale>

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
  r.alarm2 = true;
  return r;
}

// A German locale writes decimal commas with printf and iostreams; none may get in.
TEST(LiveReading, TextsIgnoreTheLocale) {
  const char* was = std::setlocale(LC_ALL, "de_DE.UTF-8");
  EXPECT_EQ(liveEventJson(sample()),
            "{\"time\":\"2026-12-09 10:00:01\",\"doseRate\":0.1,\"low\":0.05,\"high\":null,"
            "\"cpm\":21,\"state\":\"信号 \\\"なし\\\"\"}");
  const std::string m = metricsText(sample(), 12.5);
  for (const char* line :
       {"radmon_dose_rate_usv_per_hour 0.1\n", "radmon_dose_rate_high_usv_per_hour +Inf\n",
        "radmon_alarm{stage=\"1\"} 0\n", "radmon_alarm{stage=\"2\"} 1\n",
        "radmon_sound_state{state=\"ok\"} 0\n", "radmon_sound_state{state=\"hum\"} 1\n",
        "radmon_sound_state{state=\"no-signal\"} 1\n", "radmon_mqtt_state{state=\"connected\"} 1\n",
        "radmon_seconds_since_last_record 12.5\n", "# TYPE radmon_counts_total counter\n"})
    EXPECT_NE(m.find(line), std::string::npos) << line;
  EXPECT_NE(metricsText(LiveReading{}, 0).find("radmon_dose_rate_usv_per_hour NaN\n"),
            std::string::npos);
  EXPECT_NE(metricsText(LiveReading{}, 0).find("radmon_sound_state{state=\"stopped\"} 1\n"),
            std::string::npos);
  std::setlocale(LC_ALL, was ? was : "C");
}

std::string ask(uint16_t port, const QByteArray& request) {
  QTcpSocket socket;
  socket.connectToHost(QHostAddress::LocalHost, port);
  EXPECT_TRUE(socket.waitForConnected(2000));
  socket.write(request);
  QByteArray answer;
  while (socket.waitForReadyRead(300)) answer += socket.readAll();
  return answer.left(answer.indexOf('\r')).toStdString();
}

TEST(LiveServer, AnswersOnlyWhatItServes) {
  static int argc = 1;
  static char name[] = "live_http_test";
  static char* argv[] = {name, nullptr};
  QCoreApplication app(argc, argv);
  auto started = LiveServer::start({"127.0.0.1", 0}, "station");
  ASSERT_TRUE(std::holds_alternative<std::unique_ptr<LiveServer>>(started));
  auto& server = *std::get<std::unique_ptr<LiveServer>>(started);
  server.publish(sample());
  const std::pair<const char*, const char*> cases[] = {
      {"GET /metrics HTTP/1.1\r\nHost: x\r\n\r\n", "HTTP/1.1 200 OK"},
      {"GET /histogram.json HTTP/1.1\r\nHost: x\r\n\r\n", "HTTP/1.1 200 OK"},
      {"GET /nothing HTTP/1.1\r\nHost: x\r\n\r\n", "HTTP/1.1 404 Not Found"},
      {"POST /metrics HTTP/1.1\r\nHost: x\r\nContent-Length: 0\r\n\r\n",
       "HTTP/1.1 405 Method Not Allowed"},
      {"DELETE / HTTP/1.1\r\nHost: x\r\n\r\n", "HTTP/1.1 405 Method Not Allowed"},
      {"GARBAGE\r\n\r\n", "HTTP/1.1 400 Bad Request"},
  };
  for (const auto& [request, status] : cases) EXPECT_EQ(ask(server.port(), request), status);
  EXPECT_EQ(ask(server.port(), "GET / HTTP/1.1\r\nX: " + QByteArray(100000, 'a') + "\r\n\r\n"),
            "HTTP/1.1 431 Request Header Fields Too Large");
}

}  // namespace
}  // namespace radmon
