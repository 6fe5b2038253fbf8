#include "command_line.h"

#include "number_text.h"

namespace radmon::ftp {
namespace {

// A quoted value may arrive with its quotes when no shell took them off
// (a process started with the Windows command line as it stands).
std::string unquote(std::string value) {
  if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

bool hasPrefix(const std::string& text, const char* prefix) { return text.rfind(prefix, 0) == 0; }

}  // namespace

CommandLineResult parseCommandLine(const std::vector<std::string>& args) {
  CommandLine line;
  for (const auto& raw : args) {
    const std::string arg = unquote(raw);
    if (arg == "-i" || arg == "-v" || arg == "-g") continue;
    if (arg == "-d") {
      line.verbose = true;
    } else if (arg == "-n") {
      line.autoLogin = false;
    } else if (arg == "-k") {
      line.askNewHostKeys = true;
    } else if (hasPrefix(arg, "-s:") || hasPrefix(arg, "-S:")) {
      line.scriptPath = unquote(arg.substr(3));
    } else if (hasPrefix(arg, "-p:")) {
      line.settingsPath = unquote(arg.substr(3));
    } else if (hasPrefix(arg, "-t:")) {
      const auto seconds = readCount(arg.substr(3), 1, 9999);
      if (!seconds) return {.fault = ArgumentFault::BadStallSeconds, .argument = arg};
      line.stallSeconds = *seconds;
    } else {
      return {.fault = ArgumentFault::Unknown, .argument = raw};
    }
  }
  if (line.scriptPath.empty()) return {.fault = ArgumentFault::NoScript};
  return {.line = line};
}

}  // namespace radmon::ftp
