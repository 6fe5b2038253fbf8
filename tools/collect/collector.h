// The fleet's collector: turns the state messages of many stations into day files,
// one folder per station, holding the same bytes each station's own files hold. A
// station's folder is laid out like a station (its day files in data/), so dayplot
// copied into it draws any day of that station.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace radmon {

enum class Collected {
  Written,      // appended to the station's day file
  Repeated,     // a record already written (a broker's second delivery, a catch-up)
  NotAState,    // not a state topic under the prefix
  BadStation,   // a station level that cannot name a folder
  BadMessage,   // no state message
  WriteFailed,  // the day file could not be written (error())
};

class Collector {
 public:
  // Messages on prefix/<station>/state are written under folder + station + "/data/".
  Collector(std::string folder, std::string prefix);

  Collected take(std::string_view topic, std::string_view payload);

  const std::string& lastStation() const { return lastStation_; }
  const std::string& error() const { return error_; }
  // Records written since start.
  long written() const { return written_; }

 private:
  std::string newestKey(const std::string& station);

  std::string folder_;
  std::string prefix_;
  // The newest record of each station, "yyyy/mm/dd hh:mm", as its day files hold it.
  std::map<std::string, std::string> newest_;
  std::string lastStation_;
  std::string error_;
  long written_ = 0;
};

}  // namespace radmon
