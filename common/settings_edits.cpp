#include "settings_edits.h"

namespace radmon {

SettingsCommand takeSettingsCommand(std::vector<std::string>& args) {
  SettingsCommand command;
  std::vector<std::string> rest;
  for (size_t i = 0; i < args.size(); ++i) {
    if (i > 0 && args[i] == "--show-settings") {
      command.show = true;
    } else if (i > 0 && args[i] == "--set") {
      const std::string edit = i + 1 < args.size() ? args[++i] : std::string();
      const size_t equals = edit.find('=');
      if (equals == std::string::npos || equals == 0)
        command.malformed = edit;
      else
        command.edits.push_back({edit.substr(0, equals), edit.substr(equals + 1)});
    } else {
      rest.push_back(args[i]);
    }
  }
  args = std::move(rest);
  return command;
}

std::optional<bool> tickValue(std::string_view text) {
  if (text == "1") return true;
  if (text == "0") return false;
  return std::nullopt;
}

}  // namespace radmon
