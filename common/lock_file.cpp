#include "lock_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

namespace radmon {
std::expected<void, LockFile::Refusal> LockFile::take(const std::string& path) {
  if (held()) return {};
  const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) return std::unexpected(Refusal{false, errno});
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    const int err = errno;
    ::close(fd);
    return std::unexpected(Refusal{err == EWOULDBLOCK, err});
  }
  fd_ = fd;
  path_ = path;
  return {};
}

void LockFile::release() {
  if (fd_ < 0) return;
  // Delete while still holding the lock, so a newcomer never locks a file that is
  // about to vanish.
  ::unlink(path_.c_str());
  ::close(fd_);
  fd_ = -1;
}

}  // namespace radmon
