// The FTP script and the client's command line, byte for byte, and the launcher that
// starts the client.
#include <algorithm>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <thread>

#include "file_bytes.h"
#include "ftp_upload.h"
#include "temp_station.h"
#include "text_files.h"
#include "ui_translator.h"

namespace radmon {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using testing::readBytes;

struct FakeSettings final : UploadSettings {
  std::string server = "ftp.example.com", user = "U", password = "W", subFolder = "pub\\graph",
              baseName = "μSVHGraph", defaultServer = "ftp.example.com";
  std::string serverText() const override { return server; }
  std::string userText() const override { return user; }
  std::string passwordText() const override { return password; }
  std::string subFolderText() const override { return subFolder; }
  std::string baseNameText() const override { return baseName; }
  std::string defaultServerText() const override { return defaultServer; }
};

struct Recorded final : MessageSink {
  std::vector<std::string> shown;
  void show(const std::string& message) override { shown.push_back(message); }
};

struct NoProcess final : StartedProcess {
  ProcessOutcome wait(std::chrono::milliseconds) override { return {true, 0, ""}; }
  std::optional<ProcessOutcome> poll() override { return ProcessOutcome{true, 0, ""}; }
};

struct RecordingLauncher final : ProcessLauncher {
  std::vector<ProgramCommand> started;
  int failWith = 0;  // errno
  std::expected<std::unique_ptr<StartedProcess>, int> start(
      const ProgramCommand& command) override {
    started.push_back(command);
    if (failWith != 0) return std::unexpected(failWith);
    return std::make_unique<NoProcess>();
  }
};

// All eight lines with the sub-folder passed on unchanged; an empty sub-folder gives seven
// and an empty password line stays.
TEST(FtpScript, EightLinesOrSevenWithoutTheSubFolderAndTheJpegPathByTheImageNameRule) {
  FakeSettings s;
  s.server = "H";
  EXPECT_EQ(ftpScriptText(s, "C:\\mon\\data\\μSVHGraph.jpg"),
            "OPEN H\r\nU\r\nW\r\ncd pub\\graph\r\nbin\r\n"
            "mput \"C:\\mon\\data\\μSVHGraph.jpg\"\r\ndisconnect\r\nbye\r\n");
  s.server = "127.0.0.1 2121";
  s.subFolder = s.password = "";
  EXPECT_EQ(ftpScriptText(s, "/d/g.jpg"),
            "OPEN 127.0.0.1 2121\r\nU\r\n\r\nbin\r\nmput \"/d/g.jpg\"\r\ndisconnect\r\nbye\r\n");
  // The JPEG path follows the image name rule.
  FakeSettings d;
  EXPECT_EQ(dayGraphJpegPath(d, "/mon/data/", "20110405", "20110405"), "/mon/data/μSVHGraph.jpg");
  EXPECT_EQ(dayGraphJpegPath(d, "/mon/data/", "20110404", "20110405"),
            "/mon/data/μSVHGraph_20110404.jpg");
  // A folder with spaces stays whole inside the quotes.
  const std::string script =
      ftpScriptText(d, dayGraphJpegPath(d, "/home/my station/gm data/", "20110404", "20110405"));
  EXPECT_NE(script.find("\r\nmput \"/home/my station/gm data/μSVHGraph_20110404.jpg\"\r\n"),
            std::string::npos);
}

// The script's clients split a line at blanks outside double quotes: a folder with
// blanks is quoted, any other stays as the operator typed it.
TEST(FtpScript, SubFolderWithBlanksIsQuoted) {
  FakeSettings s;
  for (const auto& [folder, line] : {std::pair{"my graphs", "cd \"my graphs\"\r\n"},
                                     {"a\tb/c", "cd \"a\tb/c\"\r\n"},
                                     {"pub/graph", "cd pub/graph\r\n"}}) {
    s.subFolder = folder;
    EXPECT_NE(ftpScriptText(s, "/d/g.jpg").find("\r\n" + std::string(line)), std::string::npos)
        << folder;
  }
}

TEST(FtpScript, BuiltInAccountOnlyWhenAllThreeConditionsHoldExactly) {
  FakeSettings s;
  s.user = "pulsor01";
  s.password = "kobud";
  EXPECT_EQ(scriptPassword(s), "47584758");
  EXPECT_NE(ftpScriptText(s, "x").find("\r\npulsor01\r\n47584758\r\n"), std::string::npos);
  s.user = "pulsor";  // exactly six characters is enough
  EXPECT_EQ(scriptPassword(s), "47584758");

  struct Miss {
    const char* server;
    const char* user;
    const char* password;
  };
  for (const Miss& m :
       {Miss{"ftp.example.com", "pulsor01", ""}, Miss{"ftp.example.com", "pulso", "kobud"},
        Miss{"ftp.example.com", "xpulsor01", "kobud"},  // contains, not starts
        Miss{"ftp.other.jp", "pulsor01", "kobud"}, Miss{"ftp.example.com ", "pulsor01", "kobud"},
        Miss{"FTP.EXAMPLE.COM", "pulsor01", "kobud"}, Miss{"ftp.example.com", "Pulsor01", "kobud"},
        Miss{"ftp.example.com", "pulsor01", "Kobud"},
        Miss{"ftp.example.com", "pulsor01", "kobud "}}) {
    s.server = m.server;
    s.user = m.user;
    s.password = m.password;
    EXPECT_EQ(scriptPassword(s), m.password) << m.server << "/" << m.user << "/" << m.password;
  }
}

TEST(FtpClientCommand, QuotedScriptPathOnBothPlatforms) {
  const ProgramCommand windows =
      ftpClientCommand(ClientPlatform::Windows, "C:\\prog\\", "C:\\prog\\oldtemp.sys");
  EXPECT_EQ(windows.commandLine(), "ftp -i -s:\"C:\\prog\\oldtemp.sys\"");

  const ProgramCommand posix = ftpClientCommand(ClientPlatform::Posix, "/opt/gm station/",
                                                ftpScriptPath("/opt/gm station/"));
  EXPECT_EQ(posix.program, "/opt/gm station/ftpscript");
  EXPECT_EQ(posix.arguments, (std::vector<std::string>{
                                 "-i", "-s:\"/opt/gm station/oldtemp.sys\"",
                                 uiLanguage() == UiLanguage::English ? "--lang=en" : "--lang=ja",
                                 "-p:\"/opt/gm station/dayplot_publish.ini\""}));
  // The window asks about SSH host keys seen first; the Windows client has no such option.
  EXPECT_EQ(ftpClientCommand(ClientPlatform::Posix, "/p/", "/p/oldtemp.sys", true).arguments.back(),
            "-k");
  EXPECT_EQ(ftpClientCommand(ClientPlatform::Windows, "C:\\p\\", "C:\\p\\oldtemp.sys", true)
                .commandLine(),
            "ftp -i -s:\"C:\\p\\oldtemp.sys\"");
}

// ftpscript speaks dayplot's language, whatever the locale says.
TEST(FtpClientCommand, TheClientSpeaksTheInterfacesLanguage) {
  const UiLanguage was = uiLanguage();
  for (const auto& [language, option] : {std::pair{UiLanguage::English, "--lang=en"},
                                         std::pair{UiLanguage::Japanese, "--lang=ja"}}) {
    useUiLanguage(language);
    const auto arguments =
        ftpClientCommand(ClientPlatform::Posix, "/p/", "/p/oldtemp.sys").arguments;
    EXPECT_EQ(std::count(arguments.begin(), arguments.end(), option), 1) << option;
  }
  useUiLanguage(was);
}

class UploadFileTest : public ::testing::Test {
 protected:
  ftp::testing::TempStation temp_{"dayplot_upload", "program", {}};
  const std::string program_ = temp_.program.string() + "/";
  FakeSettings settings_;
  RecordingLauncher launcher_;
  Recorded messages_;
};

TEST_F(UploadFileTest, WritesTheScriptOwnerOnlyThenStartsTheClientOnIt) {
  const std::string script = program_ + "oldtemp.sys";
  // An earlier script readable by everyone is replaced by an owner-only one.
  std::ofstream(script) << "old";
  fs::permissions(script, fs::perms::all);
  settings_.password = "secret";
  const std::string jpeg = dayGraphJpegPath(settings_, "/mon/data/", "20110404", "20110405");
  auto client = uploadFile(settings_, jpeg, program_, launcher_, messages_);
  ASSERT_NE(client, nullptr);
  EXPECT_TRUE(messages_.shown.empty());
  EXPECT_EQ(readBytes(script), ftpScriptText(settings_, "/mon/data/μSVHGraph_20110404.jpg"));
  EXPECT_EQ(testing::fileMode(script), 0600u);
  ASSERT_EQ(launcher_.started.size(), 1u);
  EXPECT_EQ(launcher_.started[0], ftpClientCommand(ClientPlatform::Posix, programFolder(), script));
  // The client beside the program, the settings of the station (which has no client).
  EXPECT_EQ(launcher_.started[0].arguments.back(), "-p:\"" + program_ + "dayplot_publish.ini\"");
}

// An unwritable program folder, or a server box it cannot read (then nothing is written):
// said, and nothing starts.
TEST_F(UploadFileTest, WhatStopsTheUploadIsSaidAndNothingStarts) {
  // A folder that has gone away fails for root too, unlike one without write permission.
  EXPECT_EQ(uploadFile(settings_, "/d/n.jpg", program_ + "gone/", launcher_, messages_), nullptr);
  settings_.server = "ftp.example.com/ 2121";
  EXPECT_EQ(uploadFile(settings_, "/d/n.jpg", program_, launcher_, messages_), nullptr);
  EXPECT_TRUE(launcher_.started.empty());
  EXPECT_FALSE(fs::exists(program_ + "oldtemp.sys"));
  ASSERT_EQ(messages_.shown.size(), 2u);
  EXPECT_NE(messages_.shown[0].find("スクリプトファイルを書き込めません"), std::string::npos);
  EXPECT_NE(messages_.shown[1].find("サーバ名の欄「ftp.example.com/ 2121」"), std::string::npos);
}

TEST_F(UploadFileTest, ClientThatCannotStartIsReportedAndTheNextUploadTriesAgain) {
  launcher_.failWith = ENOENT;
  EXPECT_EQ(uploadFile(settings_, "/d/n.jpg", program_, launcher_, messages_), nullptr);
  EXPECT_EQ(messages_.shown,
            std::vector<std::string>{"FTPクライアントを起動できません: " + programFolder() +
                                     "ftpscript (No such file or directory)"});
  launcher_.failWith = 0;
  EXPECT_NE(uploadFile(settings_, "/d/n.jpg", program_, launcher_, messages_), nullptr);
  EXPECT_EQ(launcher_.started.size(), 2u);
}

TEST(SpawnLauncher, CatchesExitStatusAndBothOutputStreamsOrTheErrorOfAMissingProgram) {
  SpawnLauncher launcher;
  auto process = launcher.start({"/bin/sh", {"-c", "echo \"to out\"; echo 'to err' >&2; exit 4"}})
                     .value_or(nullptr);
  ASSERT_NE(process, nullptr);
  const ProcessOutcome outcome = process->wait(10s);
  EXPECT_TRUE(outcome.finished);
  EXPECT_EQ(outcome.exitStatus, 4);
  EXPECT_EQ(outcome.output, "to out\nto err\n");
  // A missing program is an error, not an end.
  const auto launched = launcher.start({"/nonexistent/ftpscript", {"-i"}});
  EXPECT_FALSE(launched.has_value());
  EXPECT_EQ(launched.error(), ENOENT);
}

TEST(SpawnLauncher, WaitIsBoundedADroppedHandleDoesNotBlockAndPollReportsTheEndOnce) {
  SpawnLauncher launcher;
  auto slow = launcher.start({"sleep", {"30"}}).value_or(nullptr);
  ASSERT_NE(slow, nullptr);
  const auto begin = std::chrono::steady_clock::now();
  const ProcessOutcome outcome = slow->wait(200ms);
  EXPECT_FALSE(outcome.finished);
  EXPECT_EQ(outcome.exitStatus, -1);
  EXPECT_LT(std::chrono::steady_clock::now() - begin, 5s);

  auto dropped = launcher.start({"sleep", {"0.2"}}).value_or(nullptr);
  ASSERT_NE(dropped, nullptr);
  dropped.reset();  // runs on and is reaped by itself
  EXPECT_LT(std::chrono::steady_clock::now() - begin, 5s);
  // Poll returns at once and reports the end once.
  auto polling =
      launcher.start({"/bin/sh", {"-c", "sleep 0.3; echo gone; exit 5"}}).value_or(nullptr);
  ASSERT_NE(polling, nullptr);
  const auto polledAt = std::chrono::steady_clock::now();
  EXPECT_FALSE(polling->poll().has_value());  // still running: no wait
  EXPECT_LT(std::chrono::steady_clock::now() - polledAt, 200ms);
  std::optional<ProcessOutcome> polled;
  while (!polled && std::chrono::steady_clock::now() - polledAt < 10s) {
    std::this_thread::sleep_for(20ms);
    polled = polling->poll();
  }
  ASSERT_TRUE(polled.has_value());
  EXPECT_TRUE(polled->finished);
  EXPECT_EQ(polled->exitStatus, 5);
  EXPECT_EQ(polled->output, "gone\n");
  EXPECT_FALSE(polling->poll().has_value());  // reaped: nothing more to report
}

// The outcome of an upload reads the same in the window, the log and --process.
TEST(UploadWords, OutcomeAndClientReasonInOneForm) {
  struct Case {
    std::string said, want;
  };
  const Case cases[] = {
      {say::uploadOutcome(true, "/d/g.jpg", ""), "FTP転送成功: /d/g.jpg"},
      // A success with the client's notice (a server that cannot replace at once).
      {say::uploadOutcome(true, "/d/g.jpg", "note"), "FTP転送成功: /d/g.jpg (note)"},
      {say::uploadOutcome(false, "/d/g.jpg", "why"), "FTP転送失敗: /d/g.jpg (why)"},
      {say::uploadOutcome(false, "/d/g.jpg", "why", "10:25"),
       "FTP転送失敗: /d/g.jpg (why) 10:25 に再送します"},
      {say::clientReason(1, "失敗: 行 1 OPEN"), "FTPクライアントの終了コード 1: 失敗: 行 1 OPEN"},
      {say::clientReason(3, ""), "FTPクライアントの終了コード 3"},
      {say::clientReason(-1, ""), "FTPクライアントが異常終了しました"},
      // A path holding "%2" stays as it is.
      {say::uploadOutcome(false, "/d/%2.jpg", "x"), "FTP転送失敗: /d/%2.jpg (x)"},
  };
  for (const Case& c : cases) EXPECT_EQ(c.said, c.want);
  for (const auto fault : {AddressError::Empty, AddressError::BadPort, AddressError::BadScheme,
                           AddressError::BadHost, AddressError::TooManyWords})
    EXPECT_NE(say::serverBoxUnusable(fault, "h/").find("サーバ名の欄「h/」: "), std::string::npos);
}

}  // namespace
}  // namespace radmon
