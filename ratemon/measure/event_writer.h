// Appends the sound path's events to the day's event log beside the day files. An
// event that cannot be written (missing or read-only folder, full disk) is kept and
// written, in order, before the next one; a failed write never leaves part of a line.
#pragma once

#include <deque>
#include <expected>
#include <string>
#include <vector>

#include "event_log.h"
#include "station_panel.h"

namespace radmon {

class EventWriter {
 public:
  // The failed step when something stays kept.
  std::expected<void, WriteFault> append(const std::string& folder, const EventLine& event);
  size_t keptEvents() const { return kept_.size(); }
  // The kept events as event log lines, oldest first, each with its line end.
  std::vector<std::string> keptTexts() const;

 private:
  std::deque<EventLine> kept_;
};

}  // namespace radmon
