// Record lines and sound-path events that could not reach their files in the data
// folder before ratemon ended (the folder was missing, read-only or full): they are not
// dropped but appended to a pending file in the station folder, and the next start
// writes them into their day files and event logs, oldest first, before anything new.
#pragma once

#include <expected>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "read_result.h"
#include "station_panel.h"

namespace radmon {

inline constexpr std::string_view kPendingFileName = "μSVHPending.csv";
// The events' pending file, in the event log's own line format.
inline constexpr std::string_view kPendingEventsFileName = "μSVHPendingEvents.csv";

enum class Pending { Records, Events };

// Appends whole lines (each with its CR LF) to the station folder's pending file of
// `what`; the failed step when they could not be kept there either.
std::expected<void, WriteFault> keepPending(Pending what, const std::string& stationFolder,
                                            const std::vector<std::string>& lines);
inline std::expected<void, WriteFault> keepPendingRecords(const std::string& stationFolder,
                                                          const std::vector<std::string>& lines) {
  return keepPending(Pending::Records, stationFolder, lines);
}
std::string pendingPath(Pending what, const std::string& stationFolder);

struct PendingFlush {
  std::string path;                 // the pending file
  int written = 0;                  // lines that went into their files
  int left = 0;                     // lines still kept in the pending file
  std::optional<WriteFault> fault;  // why lines were left, when some were
  Pending what = Pending::Records;
};

// Writes the pending file's lines into the day files (or event logs) of `dataFolder`,
// each in the file of its own date; what cannot be written stays in the pending file,
// which goes away once empty. A line that is no record or event (torn by a crash) is
// dropped, each an issue. Nothing when there is no pending file.
std::optional<ReadResult<PendingFlush, RecordIssue>> flushPending(Pending what,
                                                                  const std::string& stationFolder,
                                                                  const std::string& dataFolder);
inline std::optional<ReadResult<PendingFlush, RecordIssue>> flushPendingRecords(
    const std::string& stationFolder, const std::string& dataFolder) {
  return flushPending(Pending::Records, stationFolder, dataFolder);
}

}  // namespace radmon
