#include "pending_records.h"

#include <cerrno>
#include <filesystem>

#include "day_record.h"
#include "record_writer.h"
#include "text_files.h"

namespace radmon {
namespace {

std::string pendingPath(const std::string& stationFolder) {
  return stationFolder + std::string(kPendingFileName);
}

}  // namespace

std::optional<WriteFault> keepPendingRecords(const std::string& stationFolder,
                                              const std::vector<std::string>& lines) {
  if (lines.empty()) return std::nullopt;
  std::string bytes;
  for (const auto& line : lines) bytes += line;
  return appendWhole(pendingPath(stationFolder), bytes);
}

std::optional<ReadResult<PendingFlush, RecordIssue>> flushPendingRecords(
    const std::string& stationFolder, const std::string& dataFolder) {
  ReadResult<PendingFlush, RecordIssue> read;
  PendingFlush& flush = read.value;
  flush.path = pendingPath(stationFolder);
  const auto text = readTextFile(flush.path);
  if (!text) return std::nullopt;
  std::string left;
  int number = 0;
  for (const std::string_view whole : textLines(*text)) {
    ++number;
    const auto record = parseRecordLine(whole);
    const auto when = record ? record->when() : std::nullopt;
    if (!when) {  // a torn line of a crash: nothing to recover
      if (!trimmed(whole).empty()) read.issues.push_back({number, RecordIssue::NotRecord, {}});
      continue;
    }
    const std::string line = std::string(whole) + "\r\n";
    // Once one line stays, the later ones stay too, so the day files keep their order.
    if (left.empty()) {
      if (auto fault = appendWhole(dataFolder + dayFileName(when->yyyymmdd()), line)) {
        flush.fault = *fault;
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
  } else if (const auto fault = writeTextFile(flush.path, left)) {
    // The old file stays whole: its lines may go in twice, but none is lost.
    flush.fault = *fault;
  }
  return read;
}

}  // namespace radmon
