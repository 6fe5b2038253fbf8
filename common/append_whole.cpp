#include "append_whole.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace radmon {

std::expected<void, WriteFault> appendWhole(const std::string& path, const std::string& bytes) {
  const int fd = ::open(path.c_str(), O_RDWR | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) return std::unexpected(WriteFault{WriteStep::open, errno});
  struct stat st {};
  const off_t before = ::fstat(fd, &st) == 0 ? st.st_size : -1;
  // A file whose last line was cut short (power lost in the middle of a write) gets its
  // line end first, so that the torn line stays one unreadable line on its own and the
  // new line is not glued to it.
  std::string data;
  char last = '\n';
  if (before > 0 && ::pread(fd, &last, 1, before - 1) == 1 && last != '\n') data = "\r\n";
  data += bytes;
  size_t done = 0;
  WriteFault fault{WriteStep::write, 0};
  while (done < data.size()) {
    const ssize_t n = ::write(fd, data.data() + done, data.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      fault.error = n < 0 ? errno : ENOSPC;
      break;
    }
    done += static_cast<size_t>(n);
  }
  if (fault.error != 0 && done > 0 && before >= 0) {
    // Never leave a torn line: the next good line would be glued to it.
    if (::ftruncate(fd, before) != 0) fault = {WriteStep::cutBack, errno};
  }
  ::close(fd);
  if (fault.error != 0) return std::unexpected(fault);
  return {};
}

}  // namespace radmon
