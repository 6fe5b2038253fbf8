// The real ftpscript program against a real FTP server on 127.0.0.1, on scripts in the
// form dayplot writes them (CR LF, "OPEN host port", account lines, Windows paths).
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "build_paths.h"
#include "local_ftp_server.h"

namespace radmon::ftp::testing {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

std::string programPath() { return ::radmon::testing::programDir() + "/ftpscript"; }

void writeBytes(const fs::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

// Every byte value, CR LF and lone LF among them: a text-mode transfer would change it.
std::string imageBytes(std::size_t size) {
  std::string bytes(size, '\0');
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 7 + i / 251) % 256);
  bytes.replace(100, 4, "\r\n\n\r");
  return bytes;
}

std::vector<fs::path> filesUnder(const fs::path& root) {
  std::vector<fs::path> files;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    if (entry.is_regular_file()) files.push_back(fs::relative(entry.path(), root));
  }
  return files;
}

class FtpscriptRun : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/ftpscript_e2e_XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    dir_ = pattern;
    root_ = dir_ / "root";
    local_ = dir_ / "data folder";  // spaces, as in "C:\Program Files\..."
    fs::create_directories(root_ / "pub" / "graph");
    fs::create_directories(local_);
    graph_ = local_ / "μSVHGraph.jpg";
    writeBytes(graph_, imageBytes(100 * 1024));
    const auto error = server_.start(root_, dir_ / "server.log");
    ASSERT_FALSE(error) << *error;
  }

  void TearDown() override {
    server_.stop();
    fs::remove_all(dir_);
  }

  // The account lines as dayplot writes them after "OPEN".
  std::string openLines(const std::string& password = LocalFtpServer::kPassword) const {
    return "OPEN 127.0.0.1 " + std::to_string(server_.port()) + "\r\n" + LocalFtpServer::kUser +
           "\r\n" + password + "\r\n";
  }

  ProgramRun run(const std::string& script, std::vector<std::string> extra = {}) {
    const fs::path path = dir_ / "old temp.sys";
    writeBytes(path, script);
    // The quotes arrive in argv, as when the Windows command line is passed on as is.
    std::vector<std::string> argv{programPath(), "-i", "-s:\"" + path.string() + "\""};
    argv.insert(argv.end(), extra.begin(), extra.end());
    return runProgram(argv, 60s);
  }

  // The exit status, and each text the output must hold.
  static void expectRun(const ProgramRun& r, int status, const std::vector<std::string>& said) {
    EXPECT_EQ(r.status, status) << r.output;
    for (const auto& s : said)
      EXPECT_NE(r.output.find(s), std::string::npos) << s << "\n" << r.output;
  }

  fs::path dir_, root_, local_, graph_;
  LocalFtpServer server_;
};

TEST_F(FtpscriptRun, UploadsTheDayGraphByteForByteIntoTheSubFolderFoldersFollowCdNamesPut) {
  const std::string script = openLines() + "cd pub\\graph\r\nbin\r\nmput \"" + graph_.string() +
                             "\"\r\ndisconnect\r\nbye\r\n";
  const auto started = std::chrono::steady_clock::now();
  const auto result = run(script);
  const auto took =
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started);
  ASSERT_EQ(result.status, 0) << result.output;
  EXPECT_EQ(readBytes(root_ / "pub" / "graph" / "μSVHGraph.jpg"), readBytes(graph_));
  EXPECT_EQ(filesUnder(root_).size(), 1u);
  EXPECT_NE(result.output.find("成功"), std::string::npos) << result.output;
  EXPECT_NE(result.output.find("transfer result=ok cause=none bytes=102400 seconds="),
            std::string::npos)
      << result.output;
  EXPECT_NE(result.output.find(" retries=0 direct=0 name=μSVHGraph.jpg\n"), std::string::npos);
  RecordProperty("upload_100kB_ms", std::to_string(took.count()));
  std::cout << "one run with a 100 KB upload: " << took.count() << " ms\n";
  // Folders follow cd and names follow put.
  writeBytes(local_ / "a.txt", "a\r\n");
  writeBytes(local_ / "b c.txt", "b\n");
  // CP932, as a script saved on Japanese Windows: "μSVHGraph.jpg" is 83 CA 53 56 ...
  const std::string graphCp932 = local_.string() +
                                 "/\x83\xCA"
                                 "SVHGraph.jpg";
  const std::string moves = openLines() +
                            "Cd /pub\r\nCD graph\r\ncd ..\r\nBINARY\r\n"
                            "put \"" +
                            graphCp932 +
                            "\" graph\\renamed.jpg\r\n"
                            "lcd \"" +
                            local_.string() +
                            "\"\r\nascii\r\nmput *.txt\r\n"
                            "close\r\n" +
                            openLines() +
                            "cd pub/graph/\r\nput \"b c.txt\"\r\nquit\r\n"
                            "this line is never read\r\n";
  // -d shows the protocol, so the transfer type can be seen on the wire.
  const auto moved = run(moves, {"-d"});
  ASSERT_EQ(moved.status, 0) << moved.output;
  EXPECT_EQ(readBytes(root_ / "pub" / "graph" / "renamed.jpg"), readBytes(graph_));
  EXPECT_EQ(readBytes(root_ / "pub" / "a.txt"), "a\r\n");
  EXPECT_EQ(readBytes(root_ / "pub" / "b c.txt"), "b\n");
  EXPECT_EQ(readBytes(root_ / "pub" / "graph" / "b c.txt"), "b\n");
  const auto binary = moved.output.find("TYPE I");
  const auto ascii = moved.output.find("TYPE A");
  EXPECT_NE(binary, std::string::npos);
  EXPECT_NE(ascii, std::string::npos);
  EXPECT_LT(binary, ascii);
}

// Each fault fails the run with the exit status of its cause and says where; what it
// stops never lands, the rest still goes.
TEST_F(FtpscriptRun, FaultsFailTheRunWithTheirCauseAndSayWhere) {
  const std::string put = "mput \"" + graph_.string() + "\"\r\n";
  // The status, what is said, and how many files are on the server after the run.
  const auto fails = [&](const std::string& script, int status, std::vector<std::string> said,
                         size_t landed) {
    expectRun(run(script), status, said);
    EXPECT_EQ(filesUnder(root_).size(), landed) << script;
  };
  fails(openLines("wrong") + "bin\r\n" + put + "bye\r\n", 7, {"行 1", "530"}, 0);
  // Nothing may land in the login folder.
  fails(openLines() + "cd pub\\nothing\r\nbin\r\n" + put + "bye\r\n", 8, {"行 4", "550"}, 0);
  fails(openLines() + "bin\r\n" + put + "mget x\r\nbye\r\n", 2, {"行 6"}, 0);  // sends nothing
  fails(openLines() + "quote XYZZY\r\nbye\r\n", 10, {"行 4", "500"}, 0);
  fails(openLines() + "mput \"" + (local_ / "none.jpg").string() + "\" \"" + graph_.string() +
            "\"\r\nbye\r\n",
        1,
        {"none.jpg",
         "transfer result=failed cause=local-file bytes=0 seconds=0.000 retries=0 "
         "direct=0 name=none.jpg\n",
         "transfer result=ok cause=none bytes=102400 seconds="},
        1);
  EXPECT_EQ(readBytes(root_ / "μSVHGraph.jpg"), readBytes(graph_));
  fails("OPEN nowhere.invalid\r\nu\r\np\r\nbye\r\n", 4, {"nowhere.invalid"}, 1);

  const auto missing = runProgram({programPath(), "-i", "-s:" + (dir_ / "none.sys").string()}, 10s);
  EXPECT_EQ(missing.status, 2) << missing.output;
  server_.stop();
  expectRun(run(openLines() + "bin\r\n" + put + "bye\r\n"), 3, {"curl 7"});
}

// The words follow --lang, else the locale as the other programs read it; the
// exit status and the transfer lines are the same in both.
TEST_F(FtpscriptRun, WordsInTheInterfacesLanguage) {
  const fs::path script = dir_ / "refused.sys";
  writeBytes(script, openLines("wrong") + "bye\r\n");
  const struct {
    std::vector<std::string> start;
    const char* says;
  } cases[] = {
      {{"LC_ALL=en_US.UTF-8", programPath()}, "The user name or the password is wrong"},
      {{"LANG=ja_JP.UTF-8", programPath(), "--lang", "en"}, "Failed: line 1 OPEN: Connecting"},
      {{"LC_ALL=ja_JP.UTF-8", programPath()}, "ユーザ名かパスワードが違います"},
      {{"LC_ALL=en_GB.UTF-8", programPath(), "--lang=ja"}, "失敗: 行 1 OPEN: 接続とログイン"},
  };
  for (const auto& c : cases) {
    std::vector<std::string> argv{"/usr/bin/env", "-u",   "LANGUAGE", "-u",    "LC_MESSAGES",
                                  "-u",           "LANG", "-u",       "LC_ALL"};
    argv.insert(argv.end(), c.start.begin(), c.start.end());
    argv.push_back("-s:" + script.string());
    expectRun(runProgram(argv, 30s), 7, {c.says});
  }
}

// A script as people write them for the Windows client, every command it may hold.
TEST_F(FtpscriptRun, HandWrittenScriptWithCommentsAndServerCommands) {
  const std::string script =
      "# the station's own script\r\n" + openLines() +
      "rem make sure the folder is there\r\nquote PASV\r\npassive\r\nmkdir pub\r\n"
      "mkdir pub\\new\r\ncd pub\\new\r\npwd\r\nbin\r\nput \"" +
      graph_.string() + "\" g.jpg\r\nrename g.jpg \"h h.jpg\"\r\nlcd \"" + local_.string() +
      "\"\r\nget \"h h.jpg\" back.jpg\r\nput back.jpg\r\ndelete back.jpg\r\n"
      "literal NOOP\r\nls\r\ndir ..\r\nstatus\r\nbye\r\n";
  const auto result = run(script);
  ASSERT_EQ(result.status, 0) << result.output;
  EXPECT_EQ(readBytes(root_ / "pub" / "new" / "h h.jpg"), readBytes(graph_));
  EXPECT_EQ(readBytes(local_ / "back.jpg"), readBytes(graph_));
  EXPECT_FALSE(fs::exists(root_ / "pub" / "new" / "back.jpg"));
  EXPECT_FALSE(fs::exists(root_ / "pub" / "new" / "g.jpg"));
  expectRun(
      result, 0,
      {"mkdir ... 成功: 257", "失敗: 行 8 mkdir: サーバのコマンド (続行します)",
       "フォルダ: pub/new", "literal ... 成功: 200", "\nh h.jpg\n", "graph", "状態: 127.0.0.1:"});
}

// A server that takes the connection and never says a word.
TEST(FtpscriptStall, SilentServerIsGivenUp) {
  const unsigned port = freePort(0);
  ASSERT_NE(port, 0u);
  const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  ASSERT_EQ(::listen(listener, 4), 0);
  const fs::path script =
      fs::temp_directory_path() / ("ftpscript_stall_" + std::to_string(::getpid()) + ".sys");
  writeBytes(script, "open 127.0.0.1 " + std::to_string(port) + "\r\nu\r\np\r\nbye\r\n");
  const auto started = std::chrono::steady_clock::now();
  const auto result = runProgram({programPath(), "-i", "-t:2", "-s:" + script.string()}, 20s);
  EXPECT_FALSE(result.timedOut);
  EXPECT_EQ(result.status, 11) << result.output;
  EXPECT_LT(std::chrono::steady_clock::now() - started, 10s);
  ::close(listener);
  fs::remove(script);
}

}  // namespace
}  // namespace radmon::ftp::testing
