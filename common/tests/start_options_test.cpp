#include "start_options.h"

#include <gtest/gtest.h>

namespace radmon {
namespace {

TEST(ChooseUiLanguage, OptionThenLocale) {
  using L = UiLanguage;
  struct Case {
    std::optional<std::string> option;
    LocaleVariables locale;
    std::optional<UiLanguage> language;
  };
  const Case cases[] = {
      {std::nullopt, {}, L::Japanese},
      {std::nullopt, {std::nullopt, std::nullopt, std::nullopt, "en_US.UTF-8"}, L::English},
      {std::nullopt, {std::nullopt, std::nullopt, std::nullopt, "ja_JP.UTF-8"}, L::Japanese},
      {std::nullopt, {std::nullopt, std::nullopt, std::nullopt, "C.UTF-8"}, L::Japanese},
      {std::nullopt, {std::nullopt, std::nullopt, std::nullopt, "de_DE@euro"}, L::English},
      {std::nullopt, {std::nullopt, std::nullopt, std::nullopt, "fr_FR.UTF-8"}, L::English},
      {std::nullopt, {"ja", std::nullopt, std::nullopt, "de_DE.UTF-8"}, L::Japanese},
      {std::nullopt, {std::nullopt, std::nullopt, std::nullopt, "en"}, L::English},
      // LC_ALL over LC_MESSAGES over LANG; an empty one counts as unset.
      {std::nullopt, {std::nullopt, "ja_JP.UTF-8", "en_GB.UTF-8", "en_US.UTF-8"}, L::Japanese},
      {std::nullopt, {std::nullopt, "", "en_GB.UTF-8", "ja_JP.UTF-8"}, L::English},
      // LANGUAGE leads, except under the C locale.
      {std::nullopt, {"en_GB:ja", std::nullopt, std::nullopt, "ja_JP.UTF-8"}, L::English},
      {std::nullopt, {"en", "C", std::nullopt, std::nullopt}, L::Japanese},
      {std::nullopt, {"", std::nullopt, std::nullopt, "en_US.UTF-8"}, L::English},
      {"ja", {std::nullopt, std::nullopt, std::nullopt, "en_US.UTF-8"}, L::Japanese},
      {"en", {std::nullopt, std::nullopt, std::nullopt, "ja_JP.UTF-8"}, L::English},
      {"fr", {}, std::nullopt},
      {"", {}, std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(chooseUiLanguage(c.option, c.locale), c.language)
        << c.option.value_or("-") << " " << c.locale.lang.value_or("-");
  }
}

TEST(StartOptions, TakesItsOptionsAndLeavesTheRestForTheProgram) {
  char* argv[] = {const_cast<char*>("dayplot"),  const_cast<char*>("--lang"),
                  const_cast<char*>("en"),       const_cast<char*>("--process"),
                  const_cast<char*>("20260101"), const_cast<char*>("--station=/s/"),
                  const_cast<char*>("--create")};
  StartOptions options(7, argv);
  EXPECT_EQ(options.problem(), StartOptions::Problem::None);
  EXPECT_EQ(options.language(), UiLanguage::English);
  EXPECT_EQ(options.station(), "/s/");
  EXPECT_TRUE(options.createStation());
  ASSERT_EQ(options.argc(), 3);
  EXPECT_STREQ(options.argv()[1], "--process");
  EXPECT_STREQ(options.argv()[2], "20260101");
  EXPECT_EQ(options.argv()[3], nullptr);

  using P = StartOptions::Problem;
  for (const auto& [option, problem] :
       {std::pair{"--lang", P::UnknownLanguage}, std::pair{"--lang=de", P::UnknownLanguage},
        std::pair{"--station", P::StationWithoutFolder},
        std::pair{"--station=", P::StationWithoutFolder}}) {
    char* wrong[] = {const_cast<char*>("ratemon"), const_cast<char*>("--headless"),
                     const_cast<char*>(option)};
    StartOptions refused(3, wrong);
    EXPECT_EQ(refused.problem(), problem) << option;
    EXPECT_EQ(refused.argc(), 2);
  }
}

TEST(StartOptions, TakesTheSettingsCommandWithValuesThatHoldEqualsOrNothing) {
  std::vector<std::string> args = {"ratemon", "--set",   "a=1", "--show-settings", "--set",
                                   "b=",      "--input", "x=y", "--set",           "c=d=e"};
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  StartOptions options(static_cast<int>(argv.size()), argv.data());
  const SettingsCommand& command = options.settingsCommand();
  EXPECT_TRUE(command.show);
  EXPECT_FALSE(command.malformed);
  ASSERT_EQ(command.edits.size(), 3u);
  EXPECT_EQ(command.edits[1].key, "b");
  EXPECT_EQ(command.edits[1].value, "");
  EXPECT_EQ(command.edits[2].value, "d=e");
  ASSERT_EQ(options.argc(), 3);
  EXPECT_STREQ(options.argv()[2], "x=y");

  for (std::vector<std::string> bad : {std::vector<std::string>{"dayplot", "--set"},
                                       std::vector<std::string>{"dayplot", "--set", "=1"},
                                       std::vector<std::string>{"dayplot", "--set", "key"}}) {
    std::vector<char*> v;
    for (auto& a : bad) v.push_back(a.data());
    StartOptions refused(static_cast<int>(v.size()), v.data());
    EXPECT_TRUE(refused.settingsCommand().malformed) << bad.back();
    EXPECT_TRUE(refused.settingsCommand().given());
  }
}

}  // namespace
}  // namespace radmon
