// Reads a number setting from its text box each time it is needed. A text that cannot
// be used leaves the last usable value in force (the design value before any), and the
// operator is told once which box is wrong, not every second.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "station_panel.h"

namespace radmon {

class BoxReader {
 public:
  // `accept` turns the text into a usable value or refuses it.
  using Accept = std::function<std::optional<double>(const std::string&)>;
  // Starts from the box's value in the control table.
  BoxReader(Box box, Accept accept);
  // With the box's check in the control table.
  explicit BoxReader(Box box) : BoxReader(box, control(box).check) {}

  double read(StationPanel& panel);
  double lastUsable() const { return value_; }

 private:
  Box box_;
  double value_;
  Accept accept_;
  std::optional<std::string> reportedText_;  // the bad text already reported
};

// The starting value of a number box, as the core uses it before any usable text.
double initialNumber(Box box);

}  // namespace radmon
