#include "text_files.h"

#include <sys/stat.h>

#include <cerrno>

#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

namespace radmon {

TEST(DecodeFileText, Utf8StaysCp932IsConvertedAndBrokenBytesAreMarked) {
  EXPECT_EQ(decodeFileText("μSVHData"), "μSVHData");
  EXPECT_EQ(decodeFileText("\xEF\xBB\xBF"
                           "abc"),
            "abc");
  // "μSVHData" in CP932.
  EXPECT_EQ(decodeFileText("\x83\xCA"
                           "SVHData"),
            "μSVHData");
  // "大阪府" in CP932.
  EXPECT_EQ(decodeFileText("\x91\xE5\x8D\xE3\x95\x7B"), "大阪府");
  // Broken bytes are marked, not fatal.
  const std::string text = decodeFileText(
      "a\x80\xFF"
      "b");
  EXPECT_EQ(text.front(), 'a');
  EXPECT_EQ(text.back(), 'b');
}

TEST(TextLines, CrLfOrLfAndAnUnendedLastLineAndTheFolderUpToTheLastSeparator) {
  using Lines = std::vector<std::string_view>;
  EXPECT_EQ(textLines(""), Lines{});
  EXPECT_EQ(textLines("a\r\nb\n\nc"), (Lines{"a", "b", "", "c"}));
  EXPECT_EQ(textLines("a\n"), Lines{"a"});
  EXPECT_EQ(textLines("a\r\r\n"), Lines{"a\r"});  // only the CR of the line end goes
  EXPECT_EQ(trimmed(" \t x y\v\f\r\n"), "x y");
  // A folder is up to the last separator.
  EXPECT_EQ(deriveFolder("/home/m/data/μSVHData_nnnntthh.csv"), "/home/m/data/");
  EXPECT_EQ(deriveFolder("/home/m/data/"), "/home/m/data/");
  EXPECT_EQ(deriveFolder("μSVHData_nnnntthh.csv"), "");
  EXPECT_TRUE(endsWith("a.csv", "csv"));
  EXPECT_FALSE(endsWith("a.CSV", "csv"));
}

TEST(KeyValueLines, KeysAndValuesWithoutBlanksCommentsAndBlankLinesPassedOver) {
  const auto settings =
      keyValueLines("# note\r\n\n  url = mqtt://h/p \r\nlive=\nno equals here\n a=b=c\n");
  ASSERT_EQ(settings.size(), 4u);
  using Value = std::optional<std::string_view>;
  EXPECT_EQ(settings[0].line, "url = mqtt://h/p");
  EXPECT_EQ(std::tuple(settings[0].key, settings[0].value, settings[1].key, settings[1].value),
            std::tuple("url", Value("mqtt://h/p"), "live", Value("")));
  EXPECT_EQ(std::tuple(settings[2].key, settings[2].value, settings[3].key, settings[3].value),
            std::tuple("no equals here", Value(), "a", Value("b=c")));
}

TEST(WriteTextFile, ReplacesWholeAndKeepsSecretsPrivate) {
  namespace fs = std::filesystem;
  const auto dir = std::filesystem::temp_directory_path() / "radmon_text_files_test";
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  const std::string path = (dir / "x.ini").string();
  ASSERT_TRUE(writeTextFile(path, "first\r\n").has_value());
  ASSERT_TRUE(writeTextFile(path, "大阪\r\n", true).has_value());
  EXPECT_EQ(readTextFile(path), "大阪\r\n");
  const auto mode = [&] { return std::filesystem::status(path).permissions() & fs::perms::all; };
  EXPECT_EQ(mode(), fs::perms::owner_read | fs::perms::owner_write);
  EXPECT_FALSE(std::filesystem::exists(path + ".new"));

  // A temporary left wider by an earlier crash does not hand its mode to a secret.
  std::ofstream(path + ".new") << "stale";
  ASSERT_EQ(::chmod((path + ".new").c_str(), 0644), 0);
  ASSERT_TRUE(writeTextFile(path, "secret\r\n", true).has_value());
  EXPECT_EQ(mode(), fs::perms::owner_read | fs::perms::owner_write);
  EXPECT_EQ(readTextFile(path), "secret\r\n");

  const auto fault = writeTextFile((dir / "missing" / "x.ini").string(), "x");
  ASSERT_FALSE(fault.has_value());
  EXPECT_EQ(fault.error().step, WriteStep::open);
  EXPECT_EQ(fault.error().error, ENOENT);
  EXPECT_FALSE(readTextFile((dir / "missing" / "x.ini").string()).has_value());
  EXPECT_FALSE(readTextFile(dir.string()).has_value());  // a folder is no file
  std::filesystem::remove_all(dir);
}

}  // namespace radmon
