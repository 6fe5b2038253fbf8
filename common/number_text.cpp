#include "number_text.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <system_error>

#include "text_files.h"

namespace radmon {
namespace {

// Digits, an optional fraction and an optional exponent, nothing else (from_chars
// alone would also take "inf", "nan" and hexadecimal).
bool hasNumberShape(std::string_view s) {
  size_t i = 0;
  size_t digits = 0;
  while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) ++i, ++digits;
  if (i < s.size() && s[i] == '.') {
    ++i;
    while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) ++i, ++digits;
  }
  if (digits == 0) return false;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    ++i;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    size_t expDigits = 0;
    while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) ++i, ++expDigits;
    if (expDigits == 0) return false;
  }
  return i == s.size();
}

std::string stripLeadingZero(std::string text) {
  const size_t zero = text[0] == '-' ? 1 : 0;
  if (text.size() > zero + 1 && text[zero] == '0' && text[zero + 1] == '.') text.erase(zero, 1);
  return text;
}

}  // namespace

std::optional<double> readNumber(std::string_view text) {
  std::string_view s = trimmed(text);
  bool negative = false;
  if (!s.empty() && (s.front() == '+' || s.front() == '-')) {
    negative = s.front() == '-';
    s.remove_prefix(1);
  }
  if (!hasNumberShape(s)) return std::nullopt;
  double value = 0;
  auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
  if (ec != std::errc() || end != s.data() + s.size() || !std::isfinite(value)) return std::nullopt;
  return negative ? -value : value;
}

std::optional<int> readCount(std::string_view text, int least, int most) {
  if (text.empty() || text.find_first_not_of("0123456789") != std::string_view::npos)
    return std::nullopt;
  int value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || value < least || value > most) return std::nullopt;
  return value;
}

std::optional<int16_t> toInt16(double value) {
  if (!std::isfinite(value)) return std::nullopt;
  const double r = std::nearbyint(value);  // default rounding mode: halves to even
  if (r < -32768.0 || r > 32767.0) return std::nullopt;
  return static_cast<int16_t>(r);
}

std::optional<int16_t> readInt16(std::string_view text) {
  auto v = readNumber(text);
  return v ? toInt16(*v) : std::nullopt;
}

std::string shortestText(float value) {
  if (value == 0.0f) return "0";
  char buf[64];
  auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed);
  if (ec != std::errc()) return "0";
  return std::string(buf, end);
}

std::string shortestText(double value) {
  if (value == 0.0 || !std::isfinite(value)) return "0";
  // The fewest significant digits (at most 15) that give back the value; a value that
  // needs more is shown at 15 digits. Plain form takes up to 309 integer digits
  // (1e308) or some 340 characters after the point (the smallest subnormals).
  char buf[512];
  double rounded = value;
  for (int digits = 1; digits <= 15; ++digits) {
    const auto [end, ec] =
        std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, digits);
    // Next to the largest double, rounding goes up past it: that text is no value.
    if (ec != std::errc() || std::from_chars(buf, end, rounded).ec != std::errc()) {
      rounded = value;
      continue;
    }
    if (rounded == value) break;
  }
  auto [end, ec] = std::to_chars(buf, buf + sizeof buf, rounded, std::chars_format::fixed);
  if (ec != std::errc()) return "0";
  return std::string(buf, end);
}

std::string fixed3Text(double value) {
  // Halves away from zero, on the decimal value as a person reads it.
  const double scaled = std::round(value * 1000.0 + (value >= 0 ? 1e-9 : -1e-9));
  const std::string text = fixedText(scaled / 1000.0, 3);
  return text == "-0.000" ? "0.000" : text;
}

std::string fixedText(double value, int decimals) {
  // 1e308 in full and up to 340 decimals of the smallest subnormal fit.
  char buf[720];
  const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed,
                                       std::clamp(decimals, 0, 340));
  return std::string(buf, ec == std::errc() ? end : buf);
}

std::string significantText(double value, int digits) {
  char buf[64];
  const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general,
                                       std::clamp(digits, 1, 17));
  return std::string(buf, ec == std::errc() ? end : buf);
}

std::string integerText(int64_t value) {
  char buf[24];
  const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value);
  return std::string(buf, end);
}

std::string axisLabelText(double value) {
  std::string text(1, ' ');
  text += stripLeadingZero(shortestText(value));
  text += ' ';
  return text;
}

double roundHalfEven(double value, int decimals) {
  if (!std::isfinite(value)) return value;
  // Work on the 15-digit decimal text so that 0.125 counts as an exact half.
  const double p = std::pow(10.0, decimals);
  const double scaled = readNumber(shortestText(value * p)).value_or(value * p);
  const double floor = std::floor(scaled);
  const double frac = scaled - floor;
  double r;
  if (std::abs(frac - 0.5) < 1e-9)
    r = std::fmod(floor, 2.0) == 0.0 ? floor : floor + 1.0;
  else
    r = std::round(scaled);
  return r / p;
}

}  // namespace radmon
