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
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& raw = args[i];
    const std::string arg = unquote(raw);
    if (arg == "--lang" || hasPrefix(arg, "--lang=")) {
      const bool joined = arg != "--lang";
      if (!joined && i + 1 == args.size()) return {.fault = ArgumentFault::BadLanguage};
      const std::string value = joined ? arg.substr(7) : unquote(args[++i]);
      if (value != "ja" && value != "en")
        return {.fault = ArgumentFault::BadLanguage, .argument = value};
      line.language = value;
      continue;
    }
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
