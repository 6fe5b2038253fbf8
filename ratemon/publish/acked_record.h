// The last record the broker acknowledged, kept in a small owner-only file in the
// station folder, and the catch-up it allows: the day files are the durable record, so
// the lines written after that record are what a new run still has to publish.
#pragma once

#include <cstdint>
#include <expected>
#include <optional>
#include <string>
#include <vector>

#include "state_message.h"

namespace radmon {

// A record line of a day file, without its line end.
struct StoredRecord {
  std::string day;  // yyyymmdd of the day file
  std::string line;

  friend bool operator==(const StoredRecord&, const StoredRecord&) = default;
};

// An empty line means "nothing of that day yet": everything in its file is still due.
using AckedRecord = StoredRecord;

inline constexpr const char* kAckedFileName = "ratemon_mqtt_acked.txt";

std::optional<AckedRecord> loadAckedRecord(const std::string& path);
// Owner-only, replaced whole; an error text when it cannot be written.
std::expected<void, std::string> saveAckedRecord(const std::string& path, const AckedRecord& acked);

// The lines of the day files in `folder` that come after `acked`, oldest first: the
// rest of the acknowledged record's day, then every later day. When the acknowledged
// line is no longer in its file, the lines of that day stamped after its minute.
std::vector<StoredRecord> recordsAfter(const std::string& folder, const AckedRecord& acked);

// Where a station that never published starts: after the newest line already in the
// folder's day files, or at the start of `today` when there is none. History written
// before publishing was set up is not sent.
AckedRecord newestRecord(const std::string& folder, const std::string& today);

// The records of the folder's day files whose moments lie from `from` to `to` (seconds
// since 1970, UTC, both included), oldest first, at most `most`: what a station sends
// again when a collector asks for a span it lacks.
std::vector<RecordState> recordsBetween(const std::string& folder, int64_t from, int64_t to,
                                        size_t most);

}  // namespace radmon
