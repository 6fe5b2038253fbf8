// The main window's controls without a window, for the headless station: the values of
// every control, ratemon.ini's among them.
#pragma once

#include "ratemon_settings.h"

namespace radmon {

class SettingsPanel final : public StationControls {
 public:
  explicit SettingsPanel(RatemonSettings& settings) : settings_(settings) {}

  std::string text(Box box) const override;
  void setText(Box box, const std::string& text) override;
  bool checked(Tick tick) const override;

 private:
  RatemonSettings& settings_;
};

}  // namespace radmon
