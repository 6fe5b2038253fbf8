#include "settings_panel.h"

namespace radmon {

std::string SettingsPanel::text(Box box) const { return settings_.texts.at(box); }

void SettingsPanel::setText(Box box, const std::string& text) { settings_.texts[box] = text; }

// The pulse test and the graph are never ticked without a window.
bool SettingsPanel::checked(Tick tick) const { return settings_.ticks.at(tick); }

}  // namespace radmon
