// Record lines that could not reach their day files before ratemon ended (the data
// folder was missing, read-only or full): they are not dropped but appended to a file
// in the station folder, and the next start writes them into their day files, oldest
// first, before any new line.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "read_result.h"
#include "station_panel.h"

namespace radmon {

inline constexpr std::string_view kPendingFileName = "μSVHPending.csv";

// Appends whole record lines (each with its CR LF) to the station folder's pending
// file; the failed step when they could not be kept there either.
std::optional<WriteFault> keepPendingRecords(const std::string& stationFolder,
                                              const std::vector<std::string>& lines);

struct PendingFlush {
  std::string path;         // the pending file
  int written = 0;          // lines that went into their day files
  int left = 0;             // lines still kept in the pending file
  std::optional<WriteFault> fault;  // why lines were left, when some were
};

// Writes the pending file's lines into the day files of `dataFolder`, each in the file
// of its own date; what cannot be written stays in the pending file, which goes away
// once empty. A line that is no record (torn by a crash) is dropped, each an issue.
// Nothing when there is no pending file.
std::optional<ReadResult<PendingFlush, RecordIssue>> flushPendingRecords(
    const std::string& stationFolder, const std::string& dataFolder);

}  // namespace radmon
