// A station's lock file, held from start to end so that a second ratemon (the lock file
// "~Record.tmp" in the working folder) or a second dayplot (kDayplotName in the station
// folder) does not run beside the first. An operating-system lock: it dies with the
// process, so a crash leaves no stale lock.
#pragma once

#include <expected>
#include <string>

namespace radmon {

class LockFile {
 public:
  static constexpr const char* kDefaultPath = "~Record.tmp";
  static constexpr const char* kDayplotName = "~Dayplot.tmp";

  LockFile() = default;
  ~LockFile() { release(); }
  LockFile(const LockFile&) = delete;
  LockFile& operator=(const LockFile&) = delete;

  // Why the lock was not taken: another program holds it, or the file's errno.
  struct Refusal {
    bool inUse;
    int error;
  };
  // Takes the lock; the refusal when another holds it or the file cannot be opened.
  std::expected<void, Refusal> take(const std::string& path = kDefaultPath);
  // Closes and deletes the file; nothing when it is not held.
  void release();
  bool held() const { return fd_ >= 0; }

 private:
  int fd_ = -1;
  std::string path_;
};

}  // namespace radmon
