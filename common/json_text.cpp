#include "json_text.h"

#include <cmath>

namespace radmon {
namespace {

// A raw number travels as a text between two unit separators until jsonText writes it.
constexpr char kRawMark = '\x1f';
constexpr std::string_view kRawOpen = "\"\\u001f", kRawClose = "\\u001f\"";

}  // namespace

Json jsonNumber(double value) {
  if (!std::isfinite(value)) return nullptr;
  if (value == std::trunc(value) && std::fabs(value) < 1e15) return static_cast<int64_t>(value);
  return value;
}

Json rawNumber(std::string_view text) { return kRawMark + std::string(text) + kRawMark; }

std::string jsonText(const Json& document) {
  std::string out = document.dump(-1, ' ', false, Json::error_handler_t::replace);
  for (size_t at = out.find(kRawOpen); at != std::string::npos; at = out.find(kRawOpen, at)) {
    const size_t end = out.find('"', at + kRawOpen.size()) + 1;
    if (end < at + kRawOpen.size() + kRawClose.size() ||
        out.compare(end - kRawClose.size(), kRawClose.size(), kRawClose) != 0) {
      ++at;
      continue;
    }
    out.erase(end - kRawClose.size(), kRawClose.size());
    out.erase(at, kRawOpen.size());
  }
  return out;
}

}  // namespace radmon
