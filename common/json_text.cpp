#include "json_text.h"

#include <cmath>
#include <regex>

namespace radmon {

Json jsonNumber(double value) {
  if (!std::isfinite(value)) return nullptr;
  if (value == std::trunc(value) && std::fabs(value) < 1e15) return static_cast<int64_t>(value);
  return value;
}

// A raw number travels as a text between two unit separators until jsonText writes it.
Json rawNumber(std::string_view text) { return "\x1f" + std::string(text) + "\x1f"; }

std::string jsonText(const Json& document) {
  const std::string text = document.dump(-1, ' ', false, Json::error_handler_t::replace);
  if (text.find("\\u001f") == std::string::npos) return text;
  static const std::regex kRaw(R"("\\u001f([-+.0-9eE]+)\\u001f")");
  return std::regex_replace(text, kRaw, "$1");
}

}  // namespace radmon
