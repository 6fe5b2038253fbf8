#include "fuzz_support.h"

#include <cstdio>
#include <cstdlib>

#include "fuzz_entries.h"

namespace radmon::fuzz {

void fail(const char* target, const char* what) {
  std::fprintf(stderr, "%s: property failed: %s\n", target, what);
  std::abort();
}

bool isUtf8(std::string_view s) {
  size_t i = 0;
  while (i < s.size()) {
    const auto c = static_cast<unsigned char>(s[i]);
    const size_t len = c < 0x80 ? 1 : c >= 0xC0 && c < 0xE0 ? 2 : c >= 0xE0 && c < 0xF0 ? 3
                     : c >= 0xF0 && c < 0xF8 ? 4 : 0;
    if (len == 0 || i + len > s.size()) return false;
    for (size_t k = 1; k < len; ++k)
      if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
    i += len;
  }
  return true;
}

std::string savableText(std::string_view text) {
  std::string out;
  for (char c : text)
    if (c != '"' && c != '\r' && c != '\n') out += c;
  return out;
}

}  // namespace radmon::fuzz
