// The fleet's collector: turns the state messages of many stations into day files,
// one folder per station, holding the same bytes each station's own files hold. A
// station's folder is laid out like a station (its day files in data/), so dayplot
// copied into it draws any day of that station.
//
// Every record goes to its place by its moment (its time with the UTC offset), late or
// not; a minute repeated when the clocks go back is two records. The elapsed seconds of
// each record tell whether the one before it is missing: such gaps are asked of the
// station again (tend()), and reported when they stay open. Collectors sharing the
// stations' messages (a shared subscription) may write into one folder: each holds the
// station's data folder locked while it writes, and reads again what another changed.
#pragma once

#include <chrono>
#include <cstdint>
#include <expected>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace radmon {

enum class Collected {
  Written,      // put into the station's day file
  Repeated,     // a record already written (a broker's second delivery, a catch-up)
  NotAState,    // not a state topic under the prefix
  BadStation,   // a station level that cannot name a folder
  BadMessage,   // no state message
  WriteFailed,  // the day file could not be written (error())
};

// Minutes a station's day files lack.
struct MissingSpan {
  std::string station;
  int64_t from = 0;  // the first minute missing, seconds since 1970 UTC
  int64_t to = 0;    // the last
  int64_t most = 0;  // records asked for at most (requests only)
  // The same as the station's clock read them, "yyyy/mm/dd hh:mm".
  std::string firstText, lastText;

  friend bool operator==(const MissingSpan&, const MissingSpan&) = default;
};

class Collector {
 public:
  using Clock = std::chrono::steady_clock;
  // A station is asked again this long after a request that was not answered in full;
  // one whose answer came in full, after kAskAgain.
  static constexpr auto kAskEvery = std::chrono::seconds(5);
  static constexpr auto kAskAgain = std::chrono::milliseconds(500);
  // Records asked of one station at once, and of all stations together while their
  // answers are on the way: a broker on its defaults drops what its queue for the
  // collector cannot take (1000 messages).
  static constexpr int64_t kAskAtMost = 400;
  static constexpr int64_t kAwaitedAtMost = 800;
  // A station first heard in the middle of a run: the run's records before it are asked
  // for, back this far at most.
  static constexpr int64_t kLookBackSeconds = 2 * 86400;
  // A gap given up when nothing of it came this long after it was first asked for: long
  // enough for stations that are still sending a backlog of their own to answer (a
  // fleet of 200 replaying at full speed on two cores answered within five minutes).
  static constexpr auto kGiveUpAfter = std::chrono::seconds(600);

  // Messages on prefix/<station>/state (and the stations' answers on .../resent) are
  // written under folder + station + "/data/". A gap that no record has narrowed for
  // `giveUpAfter` is reported and no longer asked for.
  Collector(std::string folder, std::string prefix,
            std::chrono::seconds giveUpAfter = kGiveUpAfter);

  Collected take(std::string_view topic, std::string_view payload, Clock::time_point now = {});

  struct Due {
    std::vector<MissingSpan> ask;      // to request of the stations now (one per station)
    std::vector<MissingSpan> missing;  // given up on: report
  };
  Due tend(Clock::time_point now);

  // The topic of the requests to a station.
  std::string requestTopic(const std::string& station) const {
    return prefix_ + "/" + station + "/resend";
  }
  size_t openGaps() const;

  const std::string& lastStation() const { return lastStation_; }
  const std::string& error() const { return error_; }
  // Records written since start.
  long written() const { return written_; }

 private:
  struct Entry {
    int64_t elapsed = 0;
    std::string local;  // "yyyy/mm/dd hh:mm"
    std::string line;   // with its CR LF
  };
  struct Day {
    std::map<int64_t, Entry> entries;  // by moment
    int64_t size = -1;                 // of the file as last read or written
  };
  struct Gap {
    int64_t to = 0;
    std::string day;  // where its later record is
    std::string firstText, lastText;
    Clock::time_point progress;  // found, or last narrowed
    Clock::time_point asked{};
    Clock::time_point firstAsked{};
  };
  struct Station {
    std::vector<std::string> files;   // the days of its day files, oldest first
    std::map<std::string, Day> days;  // read so far
    std::map<int64_t, Gap> gaps;      // by first missing moment
    Clock::time_point asked{};
    int64_t awaited = 0;           // records of the last request still to come
    std::optional<int64_t> floor;  // nothing before this moment is asked for
  };

  Station& station(const std::string& name);
  Day& day(const std::string& name, Station& s, const std::string& yyyymmdd);
  const std::pair<const int64_t, Entry>* neighbour(const std::string& name, Station& s,
                                                   const std::string& yyyymmdd, int64_t moment,
                                                   bool before);
  std::expected<void, std::string> write(const std::string& name, Day& d,
                                         const std::string& yyyymmdd, int64_t moment);
  void noteGap(Station& s, const std::pair<const int64_t, Entry>& earlier,
               const std::pair<const int64_t, Entry>& later, const std::string& laterDay,
               Clock::time_point now);
  // The records of the run of `first` (the station's earliest known record) before it.
  void noteRunStart(Station& s, const std::pair<const int64_t, Entry>& first,
                    const std::string& day, Clock::time_point now);
  // Whether another collector of the group has written a record of the gap meanwhile.
  bool filledElsewhere(const std::string& name, Station& s, int64_t from, const Gap& gap);

  std::string folder_;
  std::string prefix_;
  std::chrono::seconds giveUpAfter_;
  std::map<std::string, Station> stations_;
  std::string lastStation_;
  std::string error_;
  long written_ = 0;
};

}  // namespace radmon
