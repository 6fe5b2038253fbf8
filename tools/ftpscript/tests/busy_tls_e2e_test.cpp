// Fifty TLS uploads to vsftpd while every core is kept busy by other processes: each
// one arrives whole, as a station's does on a loaded machine.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iostream>

#include "build_paths.h"
#include "local_ftp_server.h"
#include "real_servers.h"

extern char** environ;

namespace radmon::ftp::testing {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// Shell loops that spin until the object goes.
class BusyCores {
 public:
  explicit BusyCores(long count) {
    for (long i = 0; i < count; ++i) {
      char sh[] = "/bin/sh", c[] = "-c", loop[] = "while :; do :; done";
      char* argv[] = {sh, c, loop, nullptr};
      pid_t pid = -1;
      if (::posix_spawn(&pid, "/bin/sh", nullptr, nullptr, argv, environ) == 0)
        pids_.push_back(pid);
    }
  }
  ~BusyCores() {
    for (const pid_t pid : pids_) ::kill(pid, SIGKILL);
    for (const pid_t pid : pids_) ::waitpid(pid, nullptr, 0);
  }
  size_t size() const { return pids_.size(); }

 private:
  std::vector<pid_t> pids_;
};

TEST(BusyMachine, FiftyTlsUploadsToVsftpdAllArrive) {
  ServerHome home;
  if (const auto error = home.create("ftpscript_busy")) GTEST_SKIP() << *error;
  home.freshFolders();
  const fs::path work = home.dir / "work";
  fs::create_directories(work / "station");
  RealServer server;
  ASSERT_FALSE(server.start({ServerKind::VsftpdTls}, work, &home.certificate)) << "server";
  const fs::path settings = work / "station" / "dayplot_publish.ini";
  std::ofstream(settings) << "TrustedFingerprints=" << home.certificate.fingerprint << "\n";
  const fs::path graph = work / "μSVHGraph.jpg";
  const fs::path script = work / "oldtemp.sys";
  std::ofstream(script, std::ios::binary)
      << "OPEN " << server.serverText() << "\r\n"
      << TestAccount::user() << "\r\n"
      << TestAccount::kPassword << "\r\ncd pub\\graph\r\nbin\r\nmput \"" << graph.string()
      << "\"\r\nbye\r\n";
  const fs::path online = home.home / "pub" / "graph" / "μSVHGraph.jpg";

  const BusyCores busy(::sysconf(_SC_NPROCESSORS_ONLN) + 1);
  ASSERT_GT(busy.size(), 1u);
  int arrived = 0;
  const auto begin = std::chrono::steady_clock::now();
  for (int i = 0; i < 50; ++i) {
    std::string bytes(100 * 1024, '\0');
    for (size_t b = 0; b < bytes.size(); ++b) bytes[b] = static_cast<char>((b * 31 + i) % 251);
    std::ofstream(graph, std::ios::binary) << bytes;
    const ProgramRun run = runProgram({::radmon::testing::programDir() + "/ftpscript", "-i",
                                       "-s:" + script.string(), "-p:" + settings.string()},
                                      60s);
    if (run.status == 0 && readBytes(online) == bytes)
      ++arrived;
    else
      ADD_FAILURE() << "upload " << i << ":\n" << run.output;
  }
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
  EXPECT_EQ(arrived, 50);
  EXPECT_FALSE(fs::exists(online.string() + ".uploading"));
  std::cout << "vsftpd TLS with " << busy.size() << " busy loops: " << arrived
            << " of 50 uploads of 100 KB, " << seconds / 50 << " s each\n";
  RecordProperty("busy_tls_ok_of_50", arrived);
}

}  // namespace
}  // namespace radmon::ftp::testing
