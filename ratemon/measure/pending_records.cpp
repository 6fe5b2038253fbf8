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

// "2011/09/19" -> "20110919"; empty when the line holds no readable record.
std::string dayOf(std::string_view line) {
  const auto record = parseRecordLine(line);
  if (!record || record->date.size() != 10) return {};
  return record->date.substr(0, 4) + record->date.substr(5, 2) + record->date.substr(8, 2);
}

}  // namespace

std::optional<WriteFault> keepPendingRecords(const std::string& stationFolder,
                                              const std::vector<std::string>& lines) {
  if (lines.empty()) return std::nullopt;
  std::string bytes;
  for (const auto& line : lines) bytes += line;
  return appendWhole(pendingPath(stationFolder), bytes);
}

std::optional<PendingFlush> flushPendingRecords(const std::string& stationFolder,
                                                const std::string& dataFolder) {
  PendingFlush flush;
  flush.path = pendingPath(stationFolder);
  const auto text = readTextFile(flush.path);
  if (!text) return std::nullopt;
  std::string left;
  size_t at = 0;
  while (at < text->size()) {
    size_t end = text->find('\n', at);
    end = end == std::string::npos ? text->size() : end + 1;
    std::string line = text->substr(at, end - at);
    at = end;
    const std::string day = dayOf(line);
    if (day.empty()) continue;  // a torn line of a crash: nothing to recover
    if (!line.ends_with("\r\n")) line = line.substr(0, line.find_last_not_of("\r\n") + 1) + "\r\n";
    // Once one line stays, the later ones stay too, so the day files keep their order.
    if (left.empty()) {
      if (auto fault = appendWhole(dataFolder + dayFileName(day), line)) {
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
