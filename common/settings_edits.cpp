#include "settings_edits.h"

#include <cmath>
#include <filesystem>

#include "number_text.h"
#include "server_address.h"
#include "text_files.h"

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

std::optional<ValueFault> valueFault(const ValueRule& rule, std::string_view text) {
  using K = ValueRule::Kind;
  switch (rule.kind) {
    case K::Any:
      return std::nullopt;
    case K::Tick:
      if (!tickValue(text)) return ValueFault{EditRefusal::NotTick};
      return std::nullopt;
    case K::Number:
    case K::Range:
    case K::NotNegative:
    case K::Positive: {
      const auto number = readNumber(text);
      if (!number || !std::isfinite(*number)) return ValueFault{EditRefusal::NotANumber};
      if (rule.kind == K::Range && !(*number >= rule.low && *number <= rule.high))
        return ValueFault{EditRefusal::OutOfRange, rule.low, rule.high};
      if (rule.kind == K::NotNegative && *number < 0) return ValueFault{EditRefusal::Negative};
      if (rule.kind == K::Positive && !(*number > 0)) return ValueFault{EditRefusal::NotPositive};
      return std::nullopt;
    }
    case K::FileName:
      // The text becomes part of a file's name, here and on the server.
      if (trimmed(text).empty()) return ValueFault{EditRefusal::Empty};
      if (text.find_first_of("/\\") != std::string_view::npos)
        return ValueFault{EditRefusal::Slash};
      return std::nullopt;
    case K::Server:
      if (!parseServerAddress(text).address) return ValueFault{EditRefusal::NotServer};
      return std::nullopt;
    case K::RecordFile: {
      // Only a path ending in "csv" moves the record folder (a bare folder is shown but
      // never used), and the folder is never made: it must be there, named in full, so
      // that a service started elsewhere writes where the operator meant.
      const std::string folder = deriveFolder(text);
      if (!text.ends_with("csv") || folder.empty() || !std::filesystem::path(folder).is_absolute())
        return ValueFault{EditRefusal::NotRecordFile};
      std::error_code ec;
      if (!std::filesystem::is_directory(folder, ec))
        return ValueFault{EditRefusal::NoFolder, 0, 0, folder};
      return std::nullopt;
    }
  }
  return std::nullopt;
}

std::optional<bool> tickValue(std::string_view text) {
  if (text == "1") return true;
  if (text == "0") return false;
  return std::nullopt;
}

}  // namespace radmon
