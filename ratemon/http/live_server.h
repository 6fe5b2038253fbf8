// ratemon's live page over HTTP (--http): the station's page with the reading of each
// second, that reading as Server-Sent Events (/events), the metrics for Prometheus
// (/metrics), today's event log (/events.json) and the pulse-interval histogram
// (/histogram.json). Read-only: nothing served changes a setting; any other path is 404,
// any other method 405, a request Qt's server cannot read 400.
//
// Threading: the server runs on a thread of its own, so that no request can hold up the
// measuring and a replay without an event loop is served too. publish(), intervals(),
// eventLog() and recordWritten() are called from the session's thread.
#pragma once

#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "http_address.h"
#include "live_reading.h"

namespace radmon {

class LiveServer {
 public:
  // Listens at `address`; Qt's words for why it cannot. `stationName` heads the page.
  static std::variant<std::unique_ptr<LiveServer>, std::string> start(
      const HttpAddress& address, const std::string& stationName);
  ~LiveServer();
  LiveServer(const LiveServer&) = delete;
  LiveServer& operator=(const LiveServer&) = delete;

  // The second's reading, sent to the event streams at most about once a second of wall
  // time (a fast replay makes thousands).
  void publish(const LiveReading& reading);
  void intervals(std::vector<double> seconds);  // for /histogram.json
  void eventLog(const std::string& path);       // today's, for /events.json
  void recordWritten();
  uint16_t port() const;  // the one listened on (a free one for port 0)

  struct Shared;
  class Worker;

 private:
  LiveServer();
  std::unique_ptr<Shared> shared_;
};

}  // namespace radmon
