// The main window's controls without a window, for the headless station: the values of
// every control, ratemon.ini's among them. Messages go to a stream with the time.
#pragma once

#include <ostream>

#include "local_time.h"
#include "ratemon_settings.h"

namespace radmon {

class SettingsPanel final : public StationPanel {
 public:
  SettingsPanel(RatemonSettings& settings, const Clock& clock, std::ostream& messages);

  std::string text(Box box) const override;
  void setText(Box box, const std::string& text) override;
  bool checked(Tick tick) const override;
  void report(const Notice& notice) override;

 private:
  RatemonSettings& settings_;
  const Clock& clock_;
  std::ostream& messages_;
};

}  // namespace radmon
