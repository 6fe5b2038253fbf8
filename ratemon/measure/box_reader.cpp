#include "box_reader.h"

#include <cmath>

#include "number_text.h"

namespace radmon {

BoxReader::BoxReader(Box box, std::string caption, double initial, Accept accept)
    : box_(box), caption_(std::move(caption)), value_(initial), accept_(std::move(accept)) {}

double BoxReader::read(Panel& panel) {
  const std::string text = panel.text(box_);
  if (auto v = accept_(text)) {
    value_ = *v;
    reportedText_.reset();
    return value_;
  }
  if (reportedText_ != text) {
    reportedText_ = text;
    panel.report(caption_ + "に正しい数値を入力してください（前の値 " + shortestText(value_) +
                 " で続けます）");
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
