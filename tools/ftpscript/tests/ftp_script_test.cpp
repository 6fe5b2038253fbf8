#include "ftp_script.h"

#include <gtest/gtest.h>

#include <random>

namespace radmon::ftp {
namespace {

std::vector<CommandKind> kinds(const ParsedScript& script) {
  std::vector<CommandKind> out;
  for (const auto& command : script.value) out.push_back(command.kind);
  return out;
}

std::vector<int> issueLines(const ParsedScript& script) {
  std::vector<int> out;
  for (const auto& issue : script.issues) out.push_back(issue.line);
  return out;
}

TEST(ParseFtpScript, ReadsTheUploadScriptAsWrittenOnWindowsAndPutAndMputArguments) {
  const auto script = parseFtpScript(
      "OPEN ftp.example.com\r\npulsor01\r\n47584758\r\ncd pub\\graph\r\nbin\r\n"
      "mput \"C:\\mon\\da ta\\μSVHGraph.jpg\"\r\ndisconnect\r\nbye\r\n");
  ASSERT_TRUE(script.issues.empty());
  using K = CommandKind;
  EXPECT_EQ(kinds(script), (std::vector{K::Open, K::Cd, K::Binary, K::Put, K::Disconnect, K::Bye}));
  const auto& open = script.value[0];
  EXPECT_EQ(open.args, std::vector<std::string>{"ftp.example.com"});
  EXPECT_EQ(open.port, 21u);
  ASSERT_TRUE(open.login);
  EXPECT_EQ(std::tie(open.login->user, open.login->password), std::tuple("pulsor01", "47584758"));
  EXPECT_EQ(script.value[1].args, std::vector<std::string>{"pub/graph"});
  EXPECT_EQ(script.value[1].line, 4);
  EXPECT_EQ(script.value[3].args, std::vector<std::string>{"C:\\mon\\da ta\\μSVHGraph.jpg"});
  EXPECT_EQ(uploadName(script.value[3].args[0]), "μSVHGraph.jpg");
  // The upload name: after the last separator of either kind.
  EXPECT_EQ(uploadName("C:\\mon\\data\\μSVHGraph_20240101.jpg"), "μSVHGraph_20240101.jpg");
  EXPECT_EQ(uploadName("/home/m/a b/x.jpg"), "x.jpg");
  EXPECT_EQ(uploadName("x.jpg"), "x.jpg");
  EXPECT_EQ(uploadName("dir/"), "");
  // Put and mput arguments.
  const auto putScript = parseFtpScript(
      "put a.jpg\nput \"x y.jpg\" sub\\z.jpg\nsend a\nmput a \"b c\" d*.jpg\n"
      "mput \"/tmp/a b/\"c.jpg\n");
  ASSERT_TRUE(putScript.issues.empty());
  EXPECT_EQ(putScript.value[0].remoteName, "");
  EXPECT_EQ(putScript.value[1].args, std::vector<std::string>{"x y.jpg"});
  EXPECT_EQ(putScript.value[1].remoteName, "sub/z.jpg");
  EXPECT_EQ(putScript.value[3].args, (std::vector<std::string>{"a", "b c", "d*.jpg"}));
  EXPECT_EQ(putScript.value[4].args, std::vector<std::string>{"/tmp/a b/c.jpg"});
}

TEST(ParseFtpScript, AccountLinesAreNeverCommands) {
  // Empty password line, a user called "bin", a password with spaces kept whole.
  auto script = parseFtpScript("open h 2121\nbin\n\nlist\n");
  EXPECT_EQ(issueLines(script), std::vector{4});  // only "list" after the account lines
  ASSERT_EQ(script.value.size(), 1u);
  EXPECT_EQ(script.value[0].port, 2121u);
  EXPECT_EQ(script.value[0].login->user, "bin");
  EXPECT_EQ(script.value[0].login->password, "");

  script = parseFtpScript("open h\n  u  \n p w \nbye");
  EXPECT_EQ(script.value[0].login->user, "u");
  EXPECT_EQ(script.value[0].login->password, " p w ");

  // Without auto-login (-n) the account comes with "user"; its password may follow.
  script = parseFtpScript("open h\nuser u\nsecret\nuser v w\n", ParseOptions{false});
  ASSERT_TRUE(script.issues.empty());
  ASSERT_EQ(script.value.size(), 3u);
  EXPECT_FALSE(script.value[0].login);
  EXPECT_EQ(script.value[1].login->password, "secret");
  EXPECT_EQ(script.value[2].login->user, "v");
  EXPECT_EQ(script.value[2].login->password, "w");
}

TEST(ParseFtpScript, MissingAccountLinesBadPortsAndEveryFaultyLineAreErrors) {
  EXPECT_EQ(parseFtpScript("open h\r\n").issues.at(0).line, 1);
  EXPECT_EQ(parseFtpScript("open h\r\nuser\r\n").issues.size(), 1u);
  EXPECT_EQ(parseFtpScript("open h\r\n\r\npw\r\n").issues.size(), 1u);  // empty user
  for (const char* port : {"0", "65536", "21a", "-1", "999999"}) {
    const auto script = parseFtpScript(std::string("\nopen h ") + port + "\nu\np\n");
    EXPECT_EQ(issueLines(script), std::vector{2}) << port;
  }
  EXPECT_TRUE(parseFtpScript("open h 65535\nu\np\n").issues.empty());
  // Faulty lines are all reported with their numbers.
  const auto faulty = parseFtpScript(
      "bin\r\nmget x\r\n\r\nmput \"open\r\ncd\r\ncd a b\r\nput\r\nbin x\r\ntype ebcdic\r\n");
  EXPECT_EQ(issueLines(faulty), (std::vector{2, 4, 5, 6, 7, 8, 9}));
  EXPECT_EQ(faulty.issues[0], (LineIssue<ScriptIssue>{2, ScriptIssue::UnknownCommand, "mget"}));
}

TEST(ParseFtpScript, CommandsInAnyCaseAndEitherLineEndAndNothingAfterBye) {
  const auto script =
      parseFtpScript("\r\n  \t\r\nBINARY\nAscii\r\nTYPE I\ntype a\nPROMPT\nClose\nQUIT\n");
  ASSERT_TRUE(script.issues.empty());
  using K = CommandKind;
  EXPECT_EQ(kinds(script), (std::vector{K::Binary, K::Ascii, K::Binary, K::Ascii, K::NoEffect,
                                        K::Disconnect, K::Bye}));
  EXPECT_EQ(script.value[0].line, 3);
  // Nothing after bye is read.
  const auto bye = parseFtpScript("bye\nnonsense\n");
  EXPECT_TRUE(bye.issues.empty());
  EXPECT_EQ(bye.value.size(), 1u);
  EXPECT_TRUE(parseFtpScript("\xEF\xBB\xBF"
                             "bin\n")
                  .issues.empty());
  EXPECT_TRUE(parseFtpScript("").value.empty());
}

TEST(ParseFtpScript, TheCommandsPeopleWriteForTheWindowsClient) {
  using K = CommandKind;
  const auto script = parseFtpScript(
      "# upload of the day graph\r\nREM \"unclosed quote in a comment\r\nrem\r\n"
      "open ftp://h:2121\r\nu\r\np\r\nquote PASV\r\nliteral SITE CHMOD 644 g.jpg\r\n"
      "passive\r\nmkdir graph\\old\r\ndelete old.jpg\r\nrename a.jpg \"b c.jpg\"\r\n"
      "get graph\\g.jpg\r\nrecv g.jpg local.jpg\r\npwd\r\nls\r\ndir graph\r\nstatus\r\n"
      "remove x\r\n");
  EXPECT_EQ(issueLines(script), std::vector{19});  // "remove" is no comment and no command
  EXPECT_EQ(kinds(script),
            (std::vector{K::Open, K::NoEffect, K::Quote, K::NoEffect, K::Mkdir, K::Delete,
                         K::Rename, K::Get, K::Get, K::Pwd, K::List, K::List, K::Status}));
  EXPECT_EQ(script.value[0].port, 2121u);
  EXPECT_EQ(script.value[2].args, std::vector<std::string>{"SITE CHMOD 644 g.jpg"});
  EXPECT_EQ(script.value[4].args, std::vector<std::string>{"graph/old"});
  EXPECT_EQ(script.value[6].args, (std::vector<std::string>{"a.jpg", "b c.jpg"}));
  EXPECT_EQ(script.value[7].args, std::vector<std::string>{"graph/g.jpg"});
}

TEST(ParseFtpScript, ServerForms) {
  struct Case {
    const char* open;
    Transport transport;
    const char* host;
    unsigned port;
  };
  for (const Case& c : {Case{"open h:2121", Transport::Ftp, "h", 2121},
                        Case{"open [::1] 2121", Transport::Ftp, "::1", 2121},
                        Case{"open ftps://h", Transport::Ftps, "h", 21},
                        Case{"open sftp://h:2222", Transport::Sftp, "h", 2222}}) {
    const auto script = parseFtpScript(std::string(c.open) + "\nu\np\n");
    ASSERT_TRUE(script.issues.empty()) << c.open;
    EXPECT_EQ(script.value[0].transport, c.transport);
    EXPECT_EQ(script.value[0].args, std::vector<std::string>{c.host});
    EXPECT_EQ(script.value[0].port, c.port);
  }
  const auto bad = parseFtpScript("open h/ 2121\nu\np\nopen http://h\nu\np\n");
  ASSERT_EQ(bad.issues.size(), 2u);
  EXPECT_EQ(bad.issues[0], (LineIssue<ScriptIssue>{1, ScriptIssue::BadServer, "h/ 2121"}));
  EXPECT_EQ(bad.issues[1], (LineIssue<ScriptIssue>{4, ScriptIssue::BadServer, "http://h"}));
}

TEST(ParseFtpScript, SurvivesGarbage) {
  std::mt19937 random(5);
  const std::string alphabet = "open user cd put mput bye\"\\/\r\n\t 0123456789\x00\xFF\x83";
  for (int round = 0; round < 3000; ++round) {
    std::string text(random() % 200, ' ');
    for (char& c : text)
      c = random() % 4 ? alphabet[random() % alphabet.size()] : static_cast<char>(random());
    const auto script = parseFtpScript(text);
    for (const auto& error : script.issues) EXPECT_GE(error.line, 1);
  }
  EXPECT_EQ(parseFtpScript(std::string(1 << 20, 'x')).issues.size(), 1u);
  EXPECT_EQ(parseFtpScript(std::string(100000, '\n')).value.size(), 0u);
}

}  // namespace
}  // namespace radmon::ftp
