// Starting a program as a separate process without waiting for it. An interface, so
// tests can see what would be started without starting anything.
#pragma once

#include <chrono>
#include <expected>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace radmon {

struct ProgramCommand {
  std::string program;                 // path, or a name looked up on PATH
  std::vector<std::string> arguments;  // passed as they stand, no shell between

  // The command as one line: program, then each argument after a space.
  std::string commandLine() const;

  friend bool operator==(const ProgramCommand&, const ProgramCommand&) = default;
};

struct ProcessOutcome {
  bool finished = false;  // false: still running when the wait ran out (it was stopped)
  int exitStatus = -1;    // exit code; -1 when it ended by a signal or did not finish
  std::string output;     // what it wrote to stdout and stderr, interleaved
};

// A started process. Dropping the handle lets the process run on by itself.
class StartedProcess {
 public:
  virtual ~StartedProcess() = default;
  // Waits at most `limit` for the end; a process still running then is killed.
  virtual ProcessOutcome wait(std::chrono::milliseconds limit) = 0;
  // Returns at once: the outcome when the process has ended, nothing while it runs.
  // A window polls this from a timer instead of blocking on `wait`.
  virtual std::optional<ProcessOutcome> poll() = 0;
};

class ProcessLauncher {
 public:
  virtual ~ProcessLauncher() = default;
  // Starts the program and returns at once; on failure the errno of the step that failed.
  virtual std::expected<std::unique_ptr<StartedProcess>, int> start(
      const ProgramCommand& command) = 0;
};

// posix_spawn, the output kept in an unnamed temporary file (never a pipe that could
// fill up while nobody reads it); a process whose handle is dropped is reaped in the
// background, so it leaves no zombie.
class SpawnLauncher final : public ProcessLauncher {
 public:
  std::expected<std::unique_ptr<StartedProcess>, int> start(const ProgramCommand& command) override;
};

}  // namespace radmon
