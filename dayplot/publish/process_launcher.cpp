#include "process_launcher.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <thread>

extern char** environ;

namespace radmon {

std::string ProgramCommand::commandLine() const {
  std::string line = program;
  for (const std::string& argument : arguments) line += " " + argument;
  return line;
}

namespace {

class SpawnedProcess final : public StartedProcess {
 public:
  SpawnedProcess(pid_t pid, int outputFd) : pid_(pid), outputFd_(outputFd) {}
  SpawnedProcess(const SpawnedProcess&) = delete;
  SpawnedProcess& operator=(const SpawnedProcess&) = delete;

  ~SpawnedProcess() override {
    if (pid_ > 0) {
      // Nobody waits for it: reap it when it ends so it leaves no zombie.
      std::thread([pid = pid_] {
        int status = 0;
        while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
      }).detach();
    }
    ::close(outputFd_);
  }

  std::optional<ProcessOutcome> poll() override {
    if (pid_ <= 0) return std::nullopt;
    int status = 0;
    pid_t done = -1;
    do {
      done = ::waitpid(pid_, &status, WNOHANG);
    } while (done < 0 && errno == EINTR);
    if (done == 0) return std::nullopt;
    ProcessOutcome outcome;
    outcome.finished = done == pid_;
    pid_ = -1;
    if (outcome.finished && WIFEXITED(status)) outcome.exitStatus = WEXITSTATUS(status);
    outcome.output = readOutput();
    return outcome;
  }

  ProcessOutcome wait(std::chrono::milliseconds limit) override {
    ProcessOutcome outcome;
    if (pid_ <= 0) return outcome;
    const auto deadline = std::chrono::steady_clock::now() + limit;
    int status = 0;
    for (;;) {
      const pid_t done = ::waitpid(pid_, &status, WNOHANG);
      if (done == pid_) {
        outcome.finished = true;
        break;
      }
      if (done < 0 && errno != EINTR) break;
      if (std::chrono::steady_clock::now() >= deadline) {
        ::kill(pid_, SIGKILL);
        while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
        }
        break;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    pid_ = -1;
    if (outcome.finished && WIFEXITED(status)) outcome.exitStatus = WEXITSTATUS(status);
    outcome.output = readOutput();
    return outcome;
  }

 private:
  std::string readOutput() const {
    std::string text;
    char buffer[4096];
    off_t offset = 0;
    for (;;) {
      const ssize_t n = ::pread(outputFd_, buffer, sizeof buffer, offset);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) break;
      text.append(buffer, static_cast<size_t>(n));
      offset += n;
    }
    return text;
  }

  pid_t pid_;
  int outputFd_;
};

}  // namespace

std::expected<std::unique_ptr<StartedProcess>, int> SpawnLauncher::start(
    const ProgramCommand& command) {
  // The output file has no name: nothing to clean up, and it never fills up.
  std::string pattern = "/tmp/radmon_client_XXXXXX";
  const int outputFd = ::mkostemp(pattern.data(), O_CLOEXEC);
  if (outputFd < 0) return std::unexpected(errno);
  ::unlink(pattern.c_str());

  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(command.program.c_str()));
  for (const std::string& argument : command.arguments) {
    argv.push_back(const_cast<char*>(argument.c_str()));
  }
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, outputFd, 1);
  posix_spawn_file_actions_adddup2(&actions, outputFd, 2);
  pid_t pid = -1;
  const int rc =
      ::posix_spawnp(&pid, command.program.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) {
    ::close(outputFd);
    return std::unexpected(rc);
  }
  return std::make_unique<SpawnedProcess>(pid, outputFd);
}

}  // namespace radmon
