#include "pending_records.h"

#include <cerrno>
#include <filesystem>

#include "day_record.h"
#include "event_log.h"
#include "text_files.h"

namespace radmon {
namespace {

// The file a line belongs in, without a folder; empty when the line holds no readable
// record or event (a record of 2011/09/19 -> "μSVHData_20110919.csv").
std::string fileOf(Pending what, std::string_view line) {
  if (what == Pending::Events) {
    const auto event = parseEventLine(line);
    return event ? eventFileName(event->when.yyyymmdd()) : std::string();
  }
  const auto record = parseRecordLine(line);
  const auto when = record ? record->when() : std::nullopt;
  return when ? dayFileName(when->yyyymmdd()) : std::string();
}

}  // namespace

std::string pendingPath(Pending what, const std::string& stationFolder) {
  return stationFolder +
         std::string(what == Pending::Events ? kPendingEventsFileName : kPendingFileName);
}

std::expected<void, WriteFault> keepPending(Pending what, const std::string& stationFolder,
                                            const std::vector<std::string>& lines) {
  if (lines.empty()) return {};
  std::string bytes;
  for (const auto& line : lines) bytes += line;
  return appendWhole(pendingPath(what, stationFolder), bytes);
}

std::optional<ReadResult<PendingFlush, RecordIssue>> flushPending(Pending what,
                                                                  const std::string& stationFolder,
                                                                  const std::string& dataFolder) {
  ReadResult<PendingFlush, RecordIssue> read;
  PendingFlush& flush = read.value;
  flush.what = what;
  flush.path = pendingPath(what, stationFolder);
  const auto text = readTextFile(flush.path);
  if (!text) return std::nullopt;
  std::string left;
  int number = 0;
  for (const std::string_view whole : textLines(*text)) {
    ++number;
    const std::string file = fileOf(what, whole);
    if (file.empty()) {  // a torn line of a crash: nothing to recover
      if (!trimmed(whole).empty()) read.issues.push_back({number, RecordIssue::NotRecord, {}});
      continue;
    }
    const std::string line = std::string(whole) + "\r\n";
    // Once one line stays, the later ones stay too, so the files keep their order.
    if (left.empty()) {
      if (auto written = appendWhole(dataFolder + file, line); !written) {
        flush.fault = written.error();
      } else {
        ++flush.written;
        continue;
      }
    }
    left += line;
    ++flush.left;
  }
  if (left.empty()) {
    std::error_code ec;
    std::filesystem::remove(flush.path, ec);
  } else if (const auto written = writeTextFile(flush.path, left); !written) {
    // The old file stays whole: its lines may go in twice, but none is lost.
    flush.fault = written.error();
  }
  return read;
}

}  // namespace radmon
