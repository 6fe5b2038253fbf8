#include "settings_panel.h"

#include "ratemon_messages.h"

namespace radmon {

SettingsPanel::SettingsPanel(RatemonSettings& settings, const Clock& clock,
                             std::ostream& messages)
    : settings_(settings), clock_(clock), messages_(messages) {}

std::string SettingsPanel::text(Box box) const { return settings_.texts.at(box); }

void SettingsPanel::setText(Box box, const std::string& text) { settings_.texts[box] = text; }

// The pulse test and the graph are never ticked without a window.
bool SettingsPanel::checked(Tick tick) const { return settings_.ticks.at(tick); }

void SettingsPanel::report(const Notice& notice) {
  messages_ << clock_.now().logStamp() << " " << messages::notice(notice) << std::endl;
}

}  // namespace radmon
