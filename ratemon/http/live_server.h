// ratemon's live page over HTTP (--http): the station's page as dayplot publishes it (its
// name, the graphs dayplot has drawn into the data folder, today's minutes as
// /readings.json) with the reading of each second, that reading as Server-Sent Events
// (/events), the metrics for Prometheus (/metrics), today's event log (/events.json) and
// the pulse-interval histogram (/histogram.json). Read-only: nothing served changes a
// setting; no file is served but the graphs the page shows; any other path is 404, any
// other method than GET and HEAD 405, a malformed request 400, a request head not whole
// within 10 s 408; at most 64 connections, 32 of them from one address.
//
// Threading: the server runs on a thread of its own, so that no request can hold up the
// measuring and a replay without an event loop is served too. publish(), intervals(),
// today() and recordWritten() are called from the session's thread.
#pragma once

#include <expected>
#include <memory>
#include <string>
#include <vector>

#include "http_address.h"
#include "live_reading.h"
#include "station_files.h"

namespace radmon {

class LiveServer {
 public:
  // Listens at `address`; Qt's words for why it cannot. `page` names the station and its
  // graphs' base name, and gives the data folder and the day until today() tells others.
  static std::expected<std::unique_ptr<LiveServer>, std::string> start(const HttpAddress& address,
                                                                       const PageSources& page);
  ~LiveServer();
  LiveServer(const LiveServer&) = delete;
  LiveServer& operator=(const LiveServer&) = delete;

  // The second's reading, sent to the event streams at most about once a second of wall
  // time (a fast replay makes thousands).
  void publish(const LiveReading& reading);
  void intervals(std::vector<double> seconds);  // for /histogram.json
  // The data folder and the station's moment, for the page's graphs, /readings.json and
  // /events.json.
  void today(const std::string& dataFolder, const LocalDateTime& now);
  void recordWritten();
  uint16_t port() const;  // the one listened on (a free one for port 0)

  struct Shared;
  class Worker;

 private:
  LiveServer();
  std::unique_ptr<Shared> shared_;
};

}  // namespace radmon
