// The uploads that have not reached the server yet, kept in a small file in the program
// folder so that they survive a restart: each failed upload waits its turn again, first
// after the station's retry period, then twice as long each time, up to half a day. The
// files sent last are remembered too, so that a day's graph that never went out (the
// station off at the set time) can be told from one that did.
#pragma once

#include <cstdint>
#include <deque>
#include <expected>
#include <optional>
#include <string>
#include <vector>

#include "local_time.h"

namespace radmon {

inline constexpr int kLongestRetryWaitMinutes = 12 * 60;

class UploadQueue {
 public:
  // program folder + the queue file's name.
  static std::string pathIn(const std::string& programFolder);

  // Reads what an earlier run left; a missing or unreadable file is an empty queue.
  explicit UploadQueue(std::string path);

  // A failed upload of `file`: queued, or its wait doubled when it was queued already.
  void failed(const std::string& file, const LocalDateTime& now, int firstWaitMinutes);
  void succeeded(const std::string& file);
  // An upload that was still waiting or running when the program ended: due at once.
  void unsent(const std::string& file, const LocalDateTime& now);

  // The queued files whose wait is over at `now`, oldest first.
  std::vector<std::string> due(const LocalDateTime& now) const;
  // Every queued file, waiting or not, oldest first.
  std::vector<std::string> all() const;
  // When `file` is tried next; no value when it is not queued.
  std::optional<LocalDateTime> nextTry(const std::string& file) const;
  bool queued(const std::string& file) const;
  bool published(const std::string& file) const;
  size_t size() const { return entries_.size(); }

  // The last write, with its error when it failed (Japanese, for the operator).
  const std::expected<void, std::string>& saved() const { return saved_; }

 private:
  struct Entry {
    std::string file;
    int attempts = 0;
    int64_t nextMinute = 0;  // minuteNumber of the next try
  };
  void save();

  std::string path_;
  std::vector<Entry> entries_;
  std::deque<std::string> published_;  // the latest last
  std::expected<void, std::string> saved_;
};

}  // namespace radmon
