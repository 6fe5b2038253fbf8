#include "command_options.h"

#include <gtest/gtest.h>

namespace radmon {
namespace {

// Two forms: the plain one and "--run", with a joined "-t:" and a value only "--run" takes.
const ProgramOptions& sample() {
  static const ProgramOptions p{
      .program = "tool",
      .summary = "s",
      .description = nullptr,
      .modes = {{nullptr, "plain"}, {"--run", "run"}},
      .options = {{.name = "--lang", .value = "ja|en", .help = "l"},
                  {.name = "-t:", .value = "SECONDS", .help = "t"},
                  {.name = "--run",
                   .value = nullptr,
                   .help = "r",
                   .modes = modeBit(1),
                   .requiredIn = modeBit(1)},
                  {.name = "--out",
                   .value = "FILE",
                   .help = "o",
                   .modes = modeBit(1),
                   .requiredIn = modeBit(1),
                   .repeatable = true}},
      .settings = {{"k", {ValueRule::Tick}, false, "a\n.b"}},
  };
  return p;
}

TEST(CheckOptions, FormsValuesAndFaults) {
  struct Case {
    std::vector<std::string> args;
    OptionFault fault;
    std::string argument;
    int mode;
  };
  const std::vector<Case> cases = {
      {{}, OptionFault::None, "", 0},
      {{"--lang", "en", "-t:60"}, OptionFault::None, "", 0},
      {{"--lang=en", "-T:5"}, OptionFault::None, "", 0},
      {{"-t:60", "--run", "--out", "--lang"},
       OptionFault::None,
       "",
       1},                                                 // a value may look like an option
      {{"--out", "x"}, OptionFault::Unknown, "--out", 0},  // not in the plain form
      {{"--run", "--out"}, OptionFault::MissingValue, "--out", 1},
      {{"--lang"}, OptionFault::MissingValue, "--lang", 0},
      {{"stray"}, OptionFault::Unknown, "stray", 0},
      {{"--lan", "en"}, OptionFault::Unknown, "--lan", 0},
      {{"--bogus", "--help"}, OptionFault::None, "", 0},  // --help wins
  };
  for (const auto& c : cases) {
    const OptionCheck check = checkOptions(sample(), c.args);
    const std::string what = c.args.empty() ? "(none)" : c.args.front();
    EXPECT_EQ(check.fault, c.fault) << what;
    EXPECT_EQ(check.argument, c.argument) << what;
    if (c.fault == OptionFault::None && !check.help) {
      EXPECT_EQ(check.mode, c.mode) << what;
    }
  }
  EXPECT_TRUE(checkOptions(sample(), {"--bogus", "--help"}).help);
}

TEST(CheckOptions, GathersEachOptionWithItsValueInOrder) {
  const OptionCheck check =
      checkOptions(sample(), {"--run", "-T:5", "--out", "a", "--lang=en", "--out", "--x"});
  EXPECT_EQ(check.given,
            (std::vector<std::pair<std::string, std::string>>{
                {"--run", ""}, {"-t:", "5"}, {"--out", "a"}, {"--lang", "en"}, {"--out", "--x"}}));
  EXPECT_EQ(check.value("--out"), "--x");  // the last one given
  EXPECT_EQ(check.value("-t:"), "5");
  EXPECT_FALSE(check.value("--missing"));
}

TEST(CommandOptions, SynopsisAndManPageFollowTheDeclaration) {
  EXPECT_EQ(synopsisLines(sample()),
            (std::vector<std::string>{"tool [--lang ja|en] [-t:SECONDS]",
                                      "tool --run [--lang ja|en] [-t:SECONDS] --out FILE..."}));
  const std::string page = manPage(
      sample(), [](const char*, const char* s) { return std::string(s); }, "");
  // A setting's note keeps its lines, a line's leading dot escaped.
  for (const char* part : {".TH TOOL 1", ".SH SYNOPSIS", ".B \\-t:SECONDS", ".B \\-\\-out FILE",
                           ".B \\-\\-help", ".B k\n", "\n.nf\na\n\\&.b\n.fi\n"})
    EXPECT_NE(page.find(part), std::string::npos) << part;
}

}  // namespace
}  // namespace radmon
