#include "server_folder.h"

#include <gtest/gtest.h>

#include "command_line.h"

namespace radmon::ftp {
namespace {

TEST(ServerFolder, RelativeAbsoluteAndUpAndPercentEncodingKeepsOnlyUnreserved) {
  const ServerFolder login;
  EXPECT_EQ(login.urlPath("a.jpg"), "/a.jpg");
  EXPECT_EQ(login.display(), ".");
  const auto graph = login.changedTo("pub/graph/");
  EXPECT_EQ(graph.urlPath(), "/pub/graph/");
  EXPECT_EQ(graph.changedTo("../text").display(), "pub/text");
  EXPECT_EQ(graph.changedTo("./x//y").display(), "pub/graph/x/y");
  EXPECT_EQ(graph.changedTo("/www").urlPath("a.jpg"), "/%2F/www/a.jpg");
  EXPECT_EQ(graph.changedTo("/").urlPath(), "/%2F/");
  EXPECT_EQ(graph.changedTo("/").changedTo("..").display(), "/");
  // Above the login folder the server decides; the dots must reach it undropped.
  EXPECT_EQ(login.changedTo("../../x").urlPath(), "/%2E%2E/%2E%2E/x/");
  EXPECT_EQ(login.changedTo("a/..").changedTo(""), login);
  // Percent-encoding keeps only the unreserved characters.
  EXPECT_EQ(percentEncode("aZ09-._~"), "aZ09-._~");
  EXPECT_EQ(percentEncode("a b#?%;/"), "a%20b%23%3F%25%3B%2F");
  EXPECT_EQ(percentEncode("μSVH"), "%CE%BCSVH");
  EXPECT_EQ(percentEncode("x..y"), "x..y");
}

TEST(ParseCommandLine, WindowsFormWithOrWithoutQuotes) {
  auto result = parseCommandLine({"-i", "-s:\"/p/old temp.sys\""});
  ASSERT_TRUE(result);
  EXPECT_EQ(result->scriptPath, "/p/old temp.sys");
  EXPECT_TRUE(result->autoLogin);
  EXPECT_FALSE(result->askNewHostKeys);
  result = parseCommandLine({"-s:/p/a.sys", "-v", "-d", "-n", "-t:5", "-k"});
  ASSERT_TRUE(result);
  EXPECT_TRUE(result->askNewHostKeys);
  EXPECT_EQ(result->scriptPath, "/p/a.sys");
  EXPECT_TRUE(result->verbose);
  EXPECT_FALSE(result->autoLogin);
  EXPECT_EQ(result->stallSeconds, 5);
  EXPECT_TRUE(parseCommandLine({"\"-s:/p/a.sys\""}).has_value());

  EXPECT_FALSE(parseCommandLine({"-i"}).has_value());
  EXPECT_FALSE(parseCommandLine({"-s:"}).has_value());
  EXPECT_FALSE(parseCommandLine({"-s:a", "host"}).has_value());
  EXPECT_FALSE(parseCommandLine({"-s:a", "-t:0"}).has_value());
  EXPECT_FALSE(parseCommandLine({"-s:a", "-t:x"}).has_value());
  // --lang as the other programs take it; a missing or unknown value is a fault.
  EXPECT_EQ(parseCommandLine({"--lang", "en", "-s:a"})->language, "en");
  EXPECT_EQ(parseCommandLine({"-s:a", "--lang=ja"})->language, "ja");
  EXPECT_FALSE(parseCommandLine({"-s:a"})->language);
  for (const auto& args : {std::vector<std::string>{"-s:a", "--lang"},
                           {"-s:a", "--lang", "de"},
                           {"--lang=", "-s:a"}}) {
    const auto parsed = parseCommandLine(args);
    ASSERT_FALSE(parsed) << args.back();
    EXPECT_EQ(parsed.error().fault, ArgumentFault::BadLanguage) << args.back();
  }
}

}  // namespace
}  // namespace radmon::ftp
