// Reads a number setting from its text box each time it is needed. A text that cannot
// be used leaves the last usable value in force (the design value before any), and the
// operator is told once which box is wrong, not every second.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "panel.h"

namespace radmon {

class BoxReader {
 public:
  // `accept` turns the text into a usable value or refuses it.
  using Accept = std::function<std::optional<double>(const std::string&)>;
  BoxReader(Box box, std::string caption, double initial, Accept accept);

  double read(Panel& panel);
  double lastUsable() const { return value_; }

 private:
  Box box_;
  std::string caption_;
  double value_;
  Accept accept_;
  std::optional<std::string> reportedText_;  // the bad text already reported
};

// The usual checks.
std::optional<double> anyNumber(const std::string& text);
std::optional<double> int16Number(const std::string& text);
std::optional<double> positiveNumber(const std::string& text);

}  // namespace radmon
