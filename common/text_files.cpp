#include "text_files.h"

#include <cstring>

#include <fcntl.h>
#include <iconv.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

namespace radmon {
namespace {

std::string fromCp932(std::string_view bytes) {
  iconv_t cd = iconv_open("UTF-8", "CP932");
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::string(bytes);
  std::string out;
  std::string in(bytes);
  char* inPtr = in.data();
  size_t inLeft = in.size();
  char buf[4096];
  while (inLeft > 0) {
    char* outPtr = buf;
    size_t outLeft = sizeof buf;
    const size_t r = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    out.append(buf, outPtr);
    if (r == static_cast<size_t>(-1) && errno != E2BIG) {
      // A byte that is no CP932 either: keep a replacement mark and go on.
      out += "\xEF\xBF\xBD";
      ++inPtr;
      --inLeft;
    }
  }
  iconv_close(cd);
  return out;
}

}  // namespace

bool isUtf8(std::string_view s) {
  size_t i = 0;
  while (i < s.size()) {
    const auto c = static_cast<unsigned char>(s[i]);
    size_t len = c < 0x80           ? 1
                 : (c >> 5) == 0x6  ? 2
                 : (c >> 4) == 0xE  ? 3
                 : (c >> 3) == 0x1E ? 4
                                    : 0;
    if (len == 0 || i + len > s.size()) return false;
    for (size_t k = 1; k < len; ++k)
      if ((static_cast<unsigned char>(s[i + k]) >> 6) != 0x2) return false;
    i += len;
  }
  return true;
}

std::string decodeFileText(std::string_view bytes) {
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
  if (isUtf8(bytes)) return std::string(bytes);
  return fromCp932(bytes);
}

std::string encodeForSystem(std::string_view utf8) { return std::string(utf8); }

std::optional<std::string> readTextFile(const std::string& path) {
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec)) return std::nullopt;
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) return std::nullopt;
  return decodeFileText(bytes);
}

std::string faultText(const std::string& path, const WriteFault& fault) {
  return path + ": " + std::strerror(fault.error);
}

std::expected<void, std::string> faultText(const std::string& path,
                                           const std::expected<void, WriteFault>& written) {
  if (written) return {};
  return std::unexpected(faultText(path, written.error()));
}

std::expected<void, WriteFault> writeTextFile(const std::string& path, std::string_view utf8,
                                              bool ownerOnly) {
  const std::string bytes = encodeForSystem(utf8);
  const std::string temp = path + ".new";
  const int fd =
      ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, ownerOnly ? 0600 : 0666);
  if (fd < 0) return std::unexpected(WriteFault{WriteStep::open, errno});
  if (ownerOnly) ::fchmod(fd, 0600);  // also when an older file was kept open wider
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      const int err = errno;
      ::close(fd);
      ::unlink(temp.c_str());
      return std::unexpected(WriteFault{WriteStep::write, err});
    }
    done += static_cast<size_t>(n);
  }
  if (::close(fd) != 0 || ::rename(temp.c_str(), path.c_str()) != 0) {
    const int err = errno;
    ::unlink(temp.c_str());
    return std::unexpected(WriteFault{WriteStep::replace, err});
  }
  return {};
}

std::string programFolder() {
  char buf[4096];
  const ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) return std::string(".") + kPathSeparator;
  return deriveFolder(std::string_view(buf, static_cast<size_t>(n)));
}

std::string dataFolder(std::string_view stationFolder) {
  return std::string(stationFolder) + "data" + kPathSeparator;
}

std::string deriveFolder(std::string_view path) {
  const size_t pos = path.find_last_of(kPathSeparator);
  return pos == std::string_view::npos ? std::string() : std::string(path.substr(0, pos + 1));
}

std::string_view trimmed(std::string_view text) {
  constexpr std::string_view kBlanks = " \t\r\n\v\f";
  const size_t first = text.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(kBlanks) + 1 - first);
}

std::vector<std::string_view> textLines(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    const size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    if (line.ends_with('\r')) line.remove_suffix(1);
    lines.push_back(line);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
  }
  return lines;
}

std::vector<KeyValue> keyValueLines(std::string_view text) {
  std::vector<KeyValue> settings;
  int number = 0;
  for (std::string_view line : textLines(text)) {
    ++number;
    line = trimmed(line);
    if (line.empty() || line.front() == '#') continue;
    const size_t equals = line.find('=');
    settings.push_back(equals == std::string_view::npos
                           ? KeyValue{line, line, std::nullopt, number}
                           : KeyValue{line, trimmed(line.substr(0, equals)),
                                      trimmed(line.substr(equals + 1)), number});
  }
  return settings;
}

std::string lowerAscii(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

bool endsWith(std::string_view text, std::string_view suffix) { return text.ends_with(suffix); }

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
