// Sends each minute's reading to the maps that are on, from a thread of its own, so a
// slow or silent service never holds up the measuring. A minute a service did not take
// waits in a queue file beside the settings (a restart keeps it) and goes, oldest first,
// when the service answers again; the tries back off in the station's minutes (1, 2, 4
// … 30). A service that takes only the current reading gets the newest of a backlog and
// the rest are counted as skipped.
//
// Threading: add(), takeOutcomes(), status() and finish() from the session's thread; the
// requests on the sender's own thread.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "map_request.h"
#include "maps_settings.h"

namespace radmon {

// What became of a try: sent, refused by the service (an HTTP status, or an answer that
// says so), not reached (a libcurl code), or minutes skipped because the service takes
// only the current reading.
struct MapOutcome {
  enum Kind { Sent, Refused, Unreachable, Skipped };
  MapService service = MapService::Radmon;
  Kind kind = Sent;
  long detail = 0;   // the HTTP status or the libcurl code
  size_t count = 0;  // Skipped: how many minutes; otherwise the minutes still queued
  MapAnswer answer = MapAnswer::Taken;  // Refused: what the answer said
  std::string account{};                // Refused for an account: the user or id refused
  std::string said{};                   // Refused with an unexpected answer: its start
};

// The queue file of a service: folder + "ratemon_maps_<service>_queue.txt".
std::string mapQueuePath(const std::string& folder, MapService service);

class MapSender {
 public:
  // Reads the queue files of the services that are on; starts the thread when any is.
  MapSender(std::string folder, MapsSettings settings);
  ~MapSender() { finish(); }
  MapSender(const MapSender&) = delete;
  MapSender& operator=(const MapSender&) = delete;

  bool active() const { return !services_.empty(); }
  // Queues the minute, with this run's running average, for every service that is on and
  // wakes the sender.
  void add(const MapReading& reading);
  // The newest minute's moment (UTC seconds); none before the first.
  std::optional<int64_t> newest() const;
  std::vector<MapOutcome> takeOutcomes();
  // The last outcome of each service that is on (none before its first try).
  std::map<MapService, std::optional<MapOutcome>> status() const;
  // Sends what is due while it keeps going (no minute in `drain` ends it, ten drains at
  // most), stops the thread and leaves the rest in the queue files; the minutes left per
  // service.
  std::map<MapService, size_t> finish(std::chrono::milliseconds drain = std::chrono::seconds(3));

 private:
  struct Service {
    std::deque<MapReading> queue;
    int failures = 0;
    int64_t nextTry = 0;  // UTC seconds of the station's clock
    bool dirty = false;
    bool stale = false;  // holds minutes of an earlier run
    std::optional<MapOutcome> last;
  };
  void run();
  // One try for the service, the lock released while it runs; false when none was due.
  bool tryOne(MapService service, std::unique_lock<std::mutex>& lock);
  void persist(MapService service, Service& s);

  const std::string folder_;
  const MapsSettings settings_;
  mutable std::mutex mutex_;
  std::condition_variable wake_;
  std::map<MapService, Service> services_;
  std::vector<MapOutcome> outcomes_;
  int64_t now_ = 0;    // the newest reading's time
  double cpmSum_ = 0;  // this run's minutes, for their running average
  int64_t minutes_ = 0;
  uint64_t added_ = 0;  // minutes added so far, for the sender's wait
  size_t sent_ = 0;     // minutes sent so far, for the drain to see it going
  bool stopping_ = false;
  bool inFlight_ = false;           // a request is under way
  std::atomic<bool> abort_{false};  // read by the transfer's progress callback
  std::thread thread_;
};

}  // namespace radmon
