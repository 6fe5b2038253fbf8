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

std::expected<void, ValueFault> checkValue(const ValueRule& rule, std::string_view text) {
  using K = ValueRule::Kind;
  switch (rule.kind) {
    case K::Any:
      return {};
    case K::Tick:
      if (!tickValue(text)) return std::unexpected(ValueFault{EditRefusal::NotTick});
      return {};
    case K::Number:
    case K::Range:
    case K::NotNegative:
    case K::Positive: {
      const auto number = readNumber(text);
      if (!number || !std::isfinite(*number))
        return std::unexpected(ValueFault{EditRefusal::NotANumber});
      if (rule.kind == K::Range && !(*number >= rule.low && *number <= rule.high))
        return std::unexpected(ValueFault{EditRefusal::OutOfRange, rule.low, rule.high});
      if (rule.kind == K::NotNegative && *number < 0)
        return std::unexpected(ValueFault{EditRefusal::Negative});
      if (rule.kind == K::Positive && !(*number > 0))
        return std::unexpected(ValueFault{EditRefusal::NotPositive});
      return {};
    }
    case K::FileName:
      // The text becomes part of a file's name, here and on the server.
      if (trimmed(text).empty()) return std::unexpected(ValueFault{EditRefusal::Empty});
      if (text.find_first_of("/\\") != std::string_view::npos)
        return std::unexpected(ValueFault{EditRefusal::Slash});
      return {};
    case K::Server:
      if (!parseServerAddress(text)) return std::unexpected(ValueFault{EditRefusal::NotServer});
      return {};
    case K::RecordFile: {
      // Only a path ending in "csv" moves the record folder (a bare folder is shown but
      // never used), and the folder is never made: it must be there, named in full, so
      // that a service started elsewhere writes where the operator meant.
      const std::string folder = deriveFolder(text);
      if (!text.ends_with("csv") || folder.empty() || !std::filesystem::path(folder).is_absolute())
        return std::unexpected(ValueFault{EditRefusal::NotRecordFile});
      std::error_code ec;
      if (!std::filesystem::is_directory(folder, ec))
        return std::unexpected(ValueFault{EditRefusal::NoFolder, 0, 0, folder});
      return {};
    }
  }
  return {};
}

std::optional<bool> tickValue(std::string_view text) {
  if (text == "1") return true;
  if (text == "0") return false;
  return std::nullopt;
}

}  // namespace radmon
