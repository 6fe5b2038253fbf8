#include "settings_panel.h"

#include "ratemon_messages.h"

namespace radmon {

SettingsPanel::SettingsPanel(RatemonSettings& settings, const Clock& clock,
                             std::ostream& messages)
    : settings_(settings), clock_(clock), messages_(messages) {
  for (const auto& c : kBoxControls)
    if (c.iniField == kNotSaved) readings_[c.id] = c.initial;
}

std::string SettingsPanel::text(Box box) const {
  const auto saved = settings_.texts.find(box);
  return saved != settings_.texts.end() ? saved->second : readings_.at(box);
}

void SettingsPanel::setText(Box box, const std::string& text) {
  (settings_.texts.contains(box) ? settings_.texts[box] : readings_[box]) = text;
}

bool SettingsPanel::checked(Tick tick) const {
  // No pulse test and no graph without a window.
  const auto saved = settings_.ticks.find(tick);
  return saved != settings_.ticks.end() && saved->second;
}

void SettingsPanel::report(const Notice& notice) {
  messages_ << clock_.now().isoText() << " " << messages::notice(notice) << std::endl;
}

}  // namespace radmon
