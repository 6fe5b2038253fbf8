// Test helpers around real processes: a pyftpdlib server on 127.0.0.1 in a root
// folder of the test's own, and a program run with its output caught. Every wait is
// bounded, and the server is stopped when its owner goes away.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "file_bytes.h"

namespace radmon::ftp::testing {

struct ProgramRun {
  int status = -1;  // exit status; -1 when killed or not started
  bool timedOut = false;
  std::string output;  // stdout and stderr together
};

// Runs argv[0] with the arguments as given (no shell), kills it after `limit`.
ProgramRun runProgram(const std::vector<std::string>& argv, std::chrono::seconds limit);

class LocalFtpServer {
 public:
  static constexpr const char* kUser = "station";
  static constexpr const char* kPassword = "gm tube 47";

  LocalFtpServer() = default;
  ~LocalFtpServer() { stop(); }
  LocalFtpServer(const LocalFtpServer&) = delete;
  LocalFtpServer& operator=(const LocalFtpServer&) = delete;

  // Serves `root` (writable) on a free port; an error text when it cannot, such as
  // python3-pyftpdlib missing.
  std::optional<std::string> start(const std::filesystem::path& root,
                                   const std::filesystem::path& logFile);
  void stop();
  unsigned port() const { return port_; }

 private:
  pid_t pid_ = -1;
  unsigned port_ = 0;
};

using radmon::testing::readBytes;

// A port on 127.0.0.1 that nothing listens on now, with `following` free ports after it.
unsigned freePort(unsigned following);
// Whether something on 127.0.0.1 takes a connection on `port` now.
bool acceptsOnLoopback(unsigned port);

}  // namespace radmon::ftp::testing
