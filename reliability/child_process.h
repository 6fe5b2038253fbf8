// A program of the program folder started for a reliability test: its pid, and its
// standard output as a stream of lines.
#pragma once

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

extern char** environ;

namespace radmon::reliability {

class ChildProcess {
 public:
  // Starts `argv[0]` with its working folder `folder` and stdout on a pipe.
  ChildProcess(const std::string& folder, const std::vector<std::string>& args) {
    int fds[2];
    if (::pipe(fds) != 0) return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    posix_spawn_file_actions_addclose(&actions, fds[1]);
    posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
    std::vector<char*> argv;
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    if (::posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
    ::close(fds[1]);
    out_ = ::fdopen(fds[0], "r");
  }
  ~ChildProcess() {
    if (pid_ > 0 && status_ < 0) {
      ::kill(pid_, SIGKILL);
      wait();
    }
    if (out_) std::fclose(out_);
  }
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  pid_t pid() const { return pid_; }
  // The next line of stdout without its line end; false at the end.
  bool readLine(std::string& line) {
    line.clear();
    if (!out_) return false;
    int c;
    while ((c = std::fgetc(out_)) != EOF && c != '\n') line += static_cast<char>(c);
    return c != EOF || !line.empty();
  }
  // The wait status once it ended.
  int wait() {
    if (status_ < 0 && pid_ > 0) {
      int status = 0;
      if (::waitpid(pid_, &status, 0) == pid_) status_ = status;
    }
    return status_;
  }

 private:
  pid_t pid_ = -1;
  FILE* out_ = nullptr;
  int status_ = -1;
};

// Resident memory of a running process in KiB, from /proc; -1 when it cannot be read.
inline long residentKiB(pid_t pid) {
  FILE* f = std::fopen(("/proc/" + std::to_string(pid) + "/status").c_str(), "r");
  if (!f) return -1;
  char line[256];
  long kib = -1;
  while (std::fgets(line, sizeof line, f))
    if (std::sscanf(line, "VmRSS: %ld kB", &kib) == 1) break;
  std::fclose(f);
  return kib;
}

}  // namespace radmon::reliability
