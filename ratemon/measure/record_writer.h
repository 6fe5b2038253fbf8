// Appends the minute lines to the day files. A line that cannot be written (missing or
// read-only folder, full disk) is kept and written, in order and before any newer
// line, at the next minute that succeeds, so no minute is lost. A failed write never
// leaves part of a line in the file.
#pragma once

#include <deque>
#include <expected>
#include <string>
#include <vector>

#include "station_panel.h"

namespace radmon {

class RecordWriter {
 public:
  // Appends `line` (with its line end) to folder + day file name of `yyyymmdd`, after
  // the kept lines. What stays kept, and why, when a write fails.
  std::expected<void, RecordKept> append(const std::string& folder, const std::string& yyyymmdd,
                                         const std::string& line);
  size_t keptLines() const { return kept_.size(); }
  // The kept lines themselves, oldest first, each with its line end.
  std::vector<std::string> keptTexts() const;

 private:
  struct Line {
    std::string yyyymmdd;
    std::string text;
  };
  std::deque<Line> kept_;
};

}  // namespace radmon
