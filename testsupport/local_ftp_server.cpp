#include "local_ftp_server.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <thread>

extern char** environ;

namespace radmon::ftp::testing {
namespace {

using namespace std::chrono_literals;
constexpr const char* kPython = "/usr/bin/python3";

sockaddr_in loopback(unsigned port) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  return address;
}

// Whether binding (or else connecting) a socket to the port on 127.0.0.1 works now.
bool reaches(unsigned port, bool bind) {
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  const sockaddr_in address = loopback(port);
  const auto* a = reinterpret_cast<const sockaddr*>(&address);
  const bool ok = (bind ? ::bind(fd, a, sizeof address) : ::connect(fd, a, sizeof address)) == 0;
  ::close(fd);
  return ok;
}

std::optional<int> exitStatus(pid_t pid, bool wait) {
  int status = 0;
  if (::waitpid(pid, &status, wait ? 0 : WNOHANG) != pid) return std::nullopt;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The exit status once the process ends within `limit`; else it is killed and reaped.
std::optional<int> waitOrKill(pid_t pid, std::chrono::milliseconds limit,
                              std::chrono::milliseconds step) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  std::optional<int> status;
  while (!(status = exitStatus(pid, false)) && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(step);
  }
  if (!status) {
    ::kill(pid, SIGKILL);
    exitStatus(pid, true);
  }
  return status;
}

pid_t spawn(const std::vector<std::string>& argv, const std::string& outputFile) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, outputFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0600);
  posix_spawn_file_actions_adddup2(&actions, 1, 2);
  std::vector<char*> args;
  for (const auto& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);
  pid_t pid = -1;
  if (::posix_spawn(&pid, args[0], &actions, nullptr, args.data(), environ) != 0) pid = -1;
  posix_spawn_file_actions_destroy(&actions);
  return pid;
}

}  // namespace

ProgramRun runProgram(const std::vector<std::string>& argv, std::chrono::seconds limit) {
  const std::string outputFile = (std::filesystem::temp_directory_path() /
                                  ("ftpscript_run_" + std::to_string(::getpid()) + ".txt"))
                                     .string();
  ProgramRun run;
  const pid_t pid = spawn(argv, outputFile);
  if (pid < 0) {
    std::filesystem::remove(outputFile);
    run.output = "cannot start " + argv.front();
    return run;
  }
  const std::optional<int> status = waitOrKill(pid, limit, 5ms);
  run.timedOut = !status;
  run.status = status.value_or(-1);
  run.output = readBytes(outputFile);
  std::filesystem::remove(outputFile);
  return run;
}

bool acceptsOnLoopback(unsigned port) { return reaches(port, false); }

unsigned freePort(unsigned following) {
  // Spread by process id so that two test programs rarely try the same ports first.
  const unsigned start = 21000 + static_cast<unsigned>(::getpid()) % 400 * 20;
  for (unsigned port = start; port < start + 2000; port += following + 1) {
    bool free = true;
    for (unsigned p = port; p <= port + following && free; ++p) free = reaches(p, true);
    if (free) return port;
  }
  return 0;
}

std::optional<std::string> LocalFtpServer::start(const std::filesystem::path& root,
                                                 const std::filesystem::path& logFile) {
  const auto check = runProgram({kPython, "-c", "import pyftpdlib"}, 30s);
  if (check.status != 0) {
    return std::string("FTP サーバを起動できません: ") + kPython +
           " -m pyftpdlib がありません (apt-get install python3-pyftpdlib)\n" + check.output;
  }
  for (int attempt = 0; attempt < 5; ++attempt) {
    port_ = freePort(8);
    if (port_ == 0) return std::string("空いているポートがありません");
    const std::string passive = std::to_string(port_ + 1) + "-" + std::to_string(port_ + 8);
    pid_ = spawn({kPython, "-m", "pyftpdlib", "-i", "127.0.0.1", "-p", std::to_string(port_), "-w",
                  "-d", root.string(), "-u", kUser, "-P", kPassword, "-r", passive},
                 logFile.string());
    if (pid_ < 0) return std::string("python3 を起動できません");
    const auto deadline = std::chrono::steady_clock::now() + 15s;
    while (std::chrono::steady_clock::now() < deadline) {
      if (exitStatus(pid_, false)) {  // lost the port to someone else: try the next
        pid_ = -1;
        break;
      }
      if (acceptsOnLoopback(port_)) return std::nullopt;
      std::this_thread::sleep_for(20ms);
    }
    stop();
  }
  return "FTP サーバが応答しません:\n" + readBytes(logFile);
}

void LocalFtpServer::stop() {
  if (pid_ < 0) return;
  ::kill(pid_, SIGTERM);
  waitOrKill(pid_, 3s, 10ms);
  pid_ = -1;
}

}  // namespace radmon::ftp::testing
