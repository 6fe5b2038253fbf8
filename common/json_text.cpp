#include "json_text.h"

#include <cmath>
#include <cstdint>
#include <regex>
#include <vector>

namespace radmon {
namespace {

// The binary subtype that marks a raw number, and how dump() writes such a value.
constexpr std::uint8_t kRawSubtype = 0x1f;
const std::regex kRawValue(R"(\{"bytes":\[([0-9,]*)\],"subtype":31\})");

}  // namespace

Json jsonNumber(double value) {
  if (!std::isfinite(value)) return nullptr;
  if (value == std::trunc(value) && std::fabs(value) < 1e15) return static_cast<int64_t>(value);
  return value;
}

Json rawNumber(std::string_view text) {
  return Json::binary(std::vector<std::uint8_t>(text.begin(), text.end()), kRawSubtype);
}

std::string jsonText(const Json& document) {
  const std::string text = document.dump(-1, ' ', false, Json::error_handler_t::replace);
  if (text.find("\"subtype\":31}") == std::string::npos) return text;
  std::string out;
  auto from = text.cbegin();
  for (std::sregex_iterator it(text.begin(), text.end(), kRawValue), end; it != end; ++it) {
    out.append(from, (*it)[0].first);
    const std::string bytes = (*it)[1].str();
    for (size_t at = 0; at < bytes.size();) {
      const size_t comma = bytes.find(',', at);
      out += static_cast<char>(std::stoi(bytes.substr(at, comma - at)));
      at = comma == std::string::npos ? bytes.size() : comma + 1;
    }
    from = (*it)[0].second;
  }
  out.append(from, text.cend());
  return out;
}

}  // namespace radmon
