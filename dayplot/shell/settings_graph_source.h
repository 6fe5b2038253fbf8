// The day graph's view of the settings window's controls: each value is read from the
// controls when the graph asks for it.
#pragma once

#include "dayplot_settings.h"
#include "graph_settings.h"

namespace radmon {

class SettingsGraphSource final : public GraphSettings {
 public:
  explicit SettingsGraphSource(const DayplotSettings& controls) : c_(controls) {}
  std::string scaleMaximumText() const override { return c_.Text4; }
  std::string placeText() const override { return c_.Text1; }
  std::string tubeText() const override { return c_.Text6; }
  std::string baseNameText() const override { return c_.Text3; }
  bool jpegWanted() const override { return c_.Check1 == 1; }
  bool bmpWanted() const override { return c_.Check2 == 1; }

 private:
  const DayplotSettings& c_;
};

}  // namespace radmon
