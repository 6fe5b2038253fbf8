// The arguments of ftpscript, in the Windows client's form: ftpscript -i -s:"script".
#pragma once

#include <expected>
#include <optional>
#include <string>
#include <vector>

#include "command_options.h"

namespace radmon::ftp {

// The declaration of ftpscript's options: usage, --help and man page.
const ProgramOptions& ftpscriptOptions();

struct CommandLine {
  std::string scriptPath;
  bool verbose = false;   // -d: libcurl's protocol trace on stderr
  bool autoLogin = true;  // -n turns it off: "open" then takes no account lines
  int stallSeconds = 60;  // -t:N, how long a silent server or a stopped transfer is waited for
  // -p:FILE, the station's publishing settings (TLS required, trusted certificates, key
  // file); the servers that offered TLS are remembered beside it. Empty: defaults, and
  // nothing remembered.
  std::string settingsPath;
  std::optional<std::string> language;  // --lang ja|en; else the locale decides
  // -k: an SSH host key seen for the first time is refused with its fingerprint, so that
  // the caller (dayplot's window) can ask the operator; without it the key is kept.
  bool askNewHostKeys = false;
};

enum class ArgumentFault { BadStallSeconds, Unknown, NoScript, BadLanguage };

struct ArgumentRefusal {
  ArgumentFault fault;
  std::string argument{};  // the one at fault
};

// args without the program name; "--lang X" or "--lang=X" as the other programs take it. -i and -v
// are accepted and change nothing: the runner never prompts and always reports its steps.
std::expected<CommandLine, ArgumentRefusal> parseCommandLine(const std::vector<std::string>& args);

// The arguments with the quotes a Windows command line leaves on them taken off.
std::vector<std::string> unquotedArguments(const std::vector<std::string>& args);
// The value of "--lang ja|en" or "--lang=ja|en" among the arguments, when one is good.
std::optional<std::string> languageArgument(const std::vector<std::string>& args);

}  // namespace radmon::ftp
