#include "settings_panel.h"

namespace radmon {

SettingsPanel::SettingsPanel(RatemonSettings& settings, const Clock& clock,
                             std::ostream& messages)
    : settings_(settings),
      clock_(clock),
      messages_(messages),
      readings_{{Box::Text1, "0"}, {Box::Text2, "0"}, {Box::Text6, "0"}, {Box::Text8, "0"}} {}

std::string* SettingsPanel::settingText(Box box) const {
  switch (box) {
    case Box::Text3: return &settings_.text3;
    case Box::Text4: return &settings_.text4;
    case Box::Text5: return &settings_.text5;
    case Box::Text7: return &settings_.text7;
    case Box::Text9: return &settings_.text9;
    case Box::Text10: return &settings_.text10;
    case Box::Text11: return &settings_.text11;
    case Box::Text12: return &settings_.text12;
    default: return nullptr;
  }
}

std::string SettingsPanel::text(Box box) const {
  if (const std::string* s = settingText(box)) return *s;
  return readings_.at(box);
}

void SettingsPanel::setText(Box box, const std::string& text) {
  if (std::string* s = settingText(box)) *s = text;
  else readings_[box] = text;
}

bool SettingsPanel::checked(Tick tick) const {
  switch (tick) {
    case Tick::Check2: return settings_.check2 != 0;
    case Tick::Check3: return settings_.check3 != 0;
    case Tick::Check4: return settings_.check4 != 0;
    default: return false;  // no pulse test and no graph without a window
  }
}

void SettingsPanel::report(const std::string& message) {
  messages_ << clock_.now().isoText() << " " << message << std::endl;
}

}  // namespace radmon
