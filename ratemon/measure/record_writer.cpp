#include "record_writer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "day_record.h"

namespace radmon {

std::optional<std::string> appendWhole(const std::string& path, const std::string& bytes) {
  const int fd = ::open(path.c_str(), O_RDWR | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) return std::string(std::strerror(errno));
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
  int err = 0;
  while (done < data.size()) {
    const ssize_t n = ::write(fd, data.data() + done, data.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      err = n < 0 ? errno : ENOSPC;
      break;
    }
    done += static_cast<size_t>(n);
  }
  if (err != 0 && done > 0 && before >= 0) {
    // Never leave a torn line: the next good line would be glued to it.
    if (::ftruncate(fd, before) != 0) err = errno;
  }
  ::close(fd);
  if (err != 0) return std::string(std::strerror(err));
  return std::nullopt;
}

std::optional<std::string> RecordWriter::append(const std::string& folder,
                                                const std::string& yyyymmdd,
                                                const std::string& line) {
  kept_.push_back({yyyymmdd, line});
  while (!kept_.empty()) {
    const std::string path = folder + dayFileName(kept_.front().yyyymmdd);
    if (auto error = appendWhole(path, kept_.front().text)) {
      return "記録ファイルに書き込めません: " + path + " (" + *error + ")。" +
             std::to_string(kept_.size()) + " 行を保持し、次の分に書き込みます";
    }
    kept_.pop_front();
  }
  return std::nullopt;
}

}  // namespace radmon
