#include "pending_records.h"

#include <cerrno>
#include <filesystem>

#include "day_record.h"
#include "event_log.h"
#include "record_writer.h"
#include "text_files.h"

namespace radmon {
namespace {

// The file a line belongs in, without a folder; empty when the line holds no readable
// record or event ("2011/09/19" -> "μSVHData_20110919.csv").
std::string fileOf(Pending what, std::string_view line) {
  if (what == Pending::Events) {
    const auto event = parseEventLine(line);
    return event ? eventFileName(event->when.yyyymmdd()) : std::string();
  }
  const auto record = parseRecordLine(line);
  if (!record || record->date.size() != 10) return {};
  return dayFileName(record->date.substr(0, 4) + record->date.substr(5, 2) + record->date.substr(8, 2));
}

}  // namespace

std::string pendingPath(Pending what, const std::string& stationFolder) {
  return stationFolder + std::string(what == Pending::Events ? kPendingEventsFileName : kPendingFileName);
}

std::optional<WriteFault> keepPending(Pending what, const std::string& stationFolder,
                                      const std::vector<std::string>& lines) {
  if (lines.empty()) return std::nullopt;
  std::string bytes;
  for (const auto& line : lines) bytes += line;
  return appendWhole(pendingPath(what, stationFolder), bytes);
}

std::optional<PendingFlush> flushPending(Pending what, const std::string& stationFolder,
                                         const std::string& dataFolder) {
  PendingFlush flush;
  flush.what = what;
  flush.path = pendingPath(what, stationFolder);
  const auto text = readTextFile(flush.path);
  if (!text) return std::nullopt;
  std::string left;
  size_t at = 0;
  while (at < text->size()) {
    size_t end = text->find('\n', at);
    end = end == std::string::npos ? text->size() : end + 1;
    std::string line = text->substr(at, end - at);
    at = end;
    const std::string file = fileOf(what, line);
    if (file.empty()) continue;  // a torn line of a crash: nothing to recover
    if (!line.ends_with("\r\n")) line = line.substr(0, line.find_last_not_of("\r\n") + 1) + "\r\n";
    // Once one line stays, the later ones stay too, so the files keep their order.
    if (left.empty()) {
      if (auto fault = appendWhole(dataFolder + file, line)) {
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
  return flush;
}

}  // namespace radmon
