#include "box_reader.h"

#include <cmath>

#include "number_text.h"

namespace radmon {

double initialNumber(Box box) { return readNumber(control(box).initial).value_or(0.0); }

BoxReader::BoxReader(Box box, Accept accept)
    : box_(box), value_(initialNumber(box)), accept_(std::move(accept)) {}

double BoxReader::read(StationPanel& panel) {
  const std::string text = panel.text(box_);
  if (auto v = accept_(text)) {
    value_ = *v;
    reportedText_.reset();
    return value_;
  }
  if (reportedText_ != text) {
    reportedText_ = text;
    panel.report(RefusedBox{box_, value_});
  }
  return value_;
}

std::optional<double> anyNumber(const std::string& text) {
  auto v = readNumber(text);
  if (v && !std::isfinite(static_cast<float>(*v))) return std::nullopt;
  return v;
}

std::optional<double> int16Number(const std::string& text) {
  if (auto v = readInt16(text)) return *v;
  return std::nullopt;
}

std::optional<double> positiveNumber(const std::string& text) {
  auto v = anyNumber(text);
  // The factor (S / 10) × 60 must stay a positive single-precision number.
  if (!v || !(static_cast<float>(*v) / 10.0f * 60.0f > 0.0f)) return std::nullopt;
  return v;
}

}  // namespace radmon
