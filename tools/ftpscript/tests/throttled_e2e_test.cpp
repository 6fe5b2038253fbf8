// ftpscript against a host that reads 1000 bytes a second: the graph fits into the
// sockets' buffers within seconds, and the server reads it for over a minute before it
// answers. The upload is not called stalled, since the server has not stopped taking it.
#include <signal.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include "build_paths.h"
#include "local_broker.h"
#include "local_ftp_server.h"

namespace radmon::ftp::testing {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

TEST(FtpscriptThrottled, AHostTaking1000BytesASecondGetsTheGraphWithoutAStall) {
  std::string pattern = (fs::temp_directory_path() / "ftpscript_throttled_XXXXXX").string();
  ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
  const fs::path dir = pattern, root = dir / "root";
  fs::create_directories(root);
  std::string graph(80 * 1024, '\0');
  for (size_t i = 0; i < graph.size(); ++i) graph[i] = static_cast<char>(i * 31 % 251);
  std::ofstream(dir / "graph.jpg", std::ios::binary) << graph;
  const pid_t server = ::radmon::testing::spawnIn(
      dir, "/usr/bin/python3 " + ::radmon::testing::sourceDir() +
               "/tools/ftpscript/tests/throttled_ftp.py root port.txt 1000 station 'gm tube 47'");
  for (int i = 0; i < 1000 && !fs::exists(dir / "port.txt"); ++i) std::this_thread::sleep_for(10ms);
  const std::string port = readBytes(dir / "port.txt");
  ASSERT_FALSE(port.empty()) << readBytes(dir / "err.txt");
  std::ofstream(dir / "oldtemp.sys", std::ios::binary)
      << "OPEN 127.0.0.1 " << port << "\r\nstation\r\ngm tube 47\r\nbin\r\nmput \""
      << (dir / "graph.jpg").string() << "\"\r\ndisconnect\r\nbye\r\n";

  const auto begin = std::chrono::steady_clock::now();
  const ProgramRun run = runProgram({::radmon::testing::programDir() + "/ftpscript", "--lang=en",
                                     "-i", "-s:" + (dir / "oldtemp.sys").string()},
                                    400s);
  const double took =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
  ::kill(server, SIGTERM);
  ::radmon::testing::waitExit(server);
  const std::string received = readBytes(dir / "received.txt");
  std::cout << "ftpscript ended after " << took << " s; the server: " << received;
  EXPECT_EQ(run.status, 0) << run.output;
  EXPECT_EQ(run.output.find("stalled"), std::string::npos) << run.output;
  EXPECT_EQ(readBytes(root / "graph.jpg"), graph);
  EXPECT_GT(took, 60.0) << "the host was not slow";
  fs::remove_all(dir);
}

}  // namespace
}  // namespace radmon::ftp::testing
