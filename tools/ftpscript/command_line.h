// The arguments of ftpscript, in the Windows client's form: ftpscript -i -s:"script".
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace radmon::ftp {

struct CommandLine {
  std::string scriptPath;
  bool verbose = false;   // -d: libcurl's protocol trace on stderr
  bool autoLogin = true;  // -n turns it off: "open" then takes no account lines
  int stallSeconds = 60;  // -t:N, how long a silent server or a stopped transfer is waited for
  // -p:FILE, the station's publishing settings (TLS required, trusted certificates, key
  // file); the servers that offered TLS are remembered beside it. Empty: defaults, and
  // nothing remembered.
  std::string settingsPath;
};

struct CommandLineResult {
  std::optional<CommandLine> line;
  std::string error;  // Japanese, when there is no line
};

// args without the program name. -i and -v are accepted and change nothing: the
// runner never prompts and always reports its steps.
CommandLineResult parseCommandLine(const std::vector<std::string>& args);

inline constexpr const char* kUsage =
    "使い方: ftpscript [-i] [-v] [-d] [-n] [-t:秒] [-p:設定ファイル] -s:\"スクリプトのパス\"";

}  // namespace radmon::ftp
