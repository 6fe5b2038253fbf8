// The live server in this process, asked over real sockets: the metrics' time since the
// last record line, and the documented limits of 64 connections, 32 from one address and
// 16 event streams at once. Each connection to the whole limit comes from an address of
// its own on the loopback network, so that a limit per address never stands in for it.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <QCoreApplication>
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "live_server.h"

namespace radmon {
namespace {

using namespace std::chrono_literals;

// Qt's event loops, on the server's thread too, want an application object.
void coreApp() {
  static int argc = 1;
  static char name[] = "live_server_test";
  static char* argv[] = {name, nullptr};
  static QCoreApplication* app = new QCoreApplication(argc, argv);
  (void)app;
}

class LiveServerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    coreApp();
    const std::string folder = std::filesystem::temp_directory_path().string() + "/";
    auto started =
        LiveServer::start({"127.0.0.1", 0}, {folder, "graph", "here", {2026, 12, 9, 10, 0, 0}});
    ASSERT_TRUE(started.has_value()) << started.error();
    server_ = std::move(*started);
  }
  void TearDown() override {
    for (const int fd : open_) ::close(fd);
  }

  // A connection from `source` (127.0.0.x), -1 when none could be made.
  int connectFrom(const std::string& source) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0) return -1;
    timeval wait{3, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
    sockaddr_in from{};
    from.sin_family = AF_INET;
    ::inet_pton(AF_INET, source.c_str(), &from.sin_addr);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(server_->port());
    ::inet_pton(AF_INET, "127.0.0.1", &to.sin_addr);
    if (::bind(fd, reinterpret_cast<sockaddr*>(&from), sizeof from) != 0 ||
        ::connect(fd, reinterpret_cast<sockaddr*>(&to), sizeof to) != 0) {
      ::close(fd);
      return -1;
    }
    open_.push_back(fd);
    return fd;
  }

  // The whole answer to a GET of `path` on the connection, its head and body (of an event
  // stream, which never ends, the head); empty when the connection was closed without one.
  static std::string get(int fd, const std::string& path) {
    const std::string request = "GET " + path + " HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n";
    if (::send(fd, request.data(), request.size(), MSG_NOSIGNAL) !=
        static_cast<ssize_t>(request.size()))
      return {};
    std::string answer;
    char buffer[4096];
    while (true) {
      const auto head = answer.find("\r\n\r\n");
      if (head != std::string::npos) {
        const auto at = answer.find("Content-Length: ");
        if (at > head && answer.find("text/event-stream") < head) return answer;
        const size_t length = at < head ? std::stoul(answer.substr(at + 16)) : 0;
        if (answer.size() >= head + 4 + length) return answer;
      }
      const ssize_t got = ::recv(fd, buffer, sizeof buffer, 0);
      if (got <= 0) return answer;
      answer.append(buffer, static_cast<size_t>(got));
    }
  }

  static double sinceRecord(const std::string& metrics) {
    const std::string name = "\nradmon_seconds_since_last_record ";
    const auto at = metrics.find(name);
    return at == std::string::npos ? -1 : std::stod(metrics.substr(at + name.size()));
  }

  std::unique_ptr<LiveServer> server_;
  std::vector<int> open_;
};

std::string loopback(int k) { return "127.0.0." + std::to_string(2 + k); }

TEST_F(LiveServerTest, MetricsCountTheSecondsSinceTheLastRecordLine) {
  std::this_thread::sleep_for(1500ms);
  const int fd = connectFrom("127.0.0.1");
  ASSERT_GE(fd, 0);
  const double beforeAny = sinceRecord(get(fd, "/metrics"));
  EXPECT_GE(beforeAny, 1.4);  // since the start, before the first record
  server_->recordWritten();
  const double afterOne = sinceRecord(get(fd, "/metrics"));
  EXPECT_GE(afterOne, 0);
  EXPECT_LT(afterOne, 1.0);
  std::this_thread::sleep_for(1s);
  EXPECT_GE(sinceRecord(get(fd, "/metrics")), afterOne + 0.9);
}

TEST_F(LiveServerTest, AcceptsSixtyFourConnectionsAtOnceAndNoMore) {
  constexpr int kLimit = 64;
  std::vector<int> held;
  for (int k = 0; k < kLimit; ++k) {
    const int fd = connectFrom(loopback(k));
    ASSERT_GE(fd, 0) << k;
    // Answered, so the server holds it open (HTTP/1.1 keeps it alive).
    ASSERT_TRUE(get(fd, "/metrics").starts_with("HTTP/1.1 200")) << "connection " << k + 1;
    held.push_back(fd);
  }
  const int over = connectFrom(loopback(kLimit));
  ASSERT_GE(over, 0);
  EXPECT_FALSE(get(over, "/metrics").starts_with("HTTP/1.1 200"))
      << "connection " << kLimit + 1 << " was served";
  // One closed makes room for one more.
  ::shutdown(held.front(), SHUT_RDWR);
  bool served = false;
  for (int tries = 0; tries < 30 && !served; ++tries) {
    std::this_thread::sleep_for(100ms);
    const int fd = connectFrom(loopback(kLimit + 1 + tries));
    served = fd >= 0 && get(fd, "/metrics").starts_with("HTTP/1.1 200");
  }
  EXPECT_TRUE(served) << "no connection was served after one of the " << kLimit << " closed";
}

// One client's address is held to 32 connections; another address is served beside them.
TEST_F(LiveServerTest, AcceptsThirtyTwoConnectionsFromOneAddressAndServesAnotherBeside) {
  constexpr int kPerAddress = 32;
  for (int k = 0; k < kPerAddress; ++k) {
    const int fd = connectFrom(loopback(0));
    ASSERT_GE(fd, 0) << k;
    ASSERT_TRUE(get(fd, "/metrics").starts_with("HTTP/1.1 200")) << "connection " << k + 1;
  }
  const int over = connectFrom(loopback(0));
  ASSERT_GE(over, 0);
  EXPECT_TRUE(get(over, "/metrics").starts_with("HTTP/1.1 503"))
      << "connection " << kPerAddress + 1 << " from one address";
  const int beside = connectFrom(loopback(1));
  ASSERT_GE(beside, 0);
  EXPECT_TRUE(get(beside, "/metrics").starts_with("HTTP/1.1 200"));
}

TEST_F(LiveServerTest, ServesSixteenEventStreamsAtOnceAndNoMore) {
  constexpr int kStreams = 16;
  for (int k = 0; k < kStreams; ++k) {
    const int fd = connectFrom(loopback(k));
    ASSERT_GE(fd, 0) << k;
    const std::string head = get(fd, "/events");
    ASSERT_TRUE(head.starts_with("HTTP/1.1 200")) << "stream " << k + 1;
    // The head ends before the first event (the stream's start waits for none).
    ASSERT_TRUE(head.ends_with("\r\n\r\n")) << "stream " << k + 1 << ": " << head;
  }
  const int over = connectFrom(loopback(kStreams));
  ASSERT_GE(over, 0);
  EXPECT_TRUE(get(over, "/events").starts_with("HTTP/1.1 503")) << "stream " << kStreams + 1;
}

}  // namespace
}  // namespace radmon
