#include "dayplot_settings.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "settings_sources.h"
#include "text_files.h"

namespace radmon {
namespace {

namespace fs = std::filesystem;

class SettingsFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("dayplot_ini_" +
            std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    program_ = dir_.string() + "/";
  }
  void TearDown() override { fs::remove_all(dir_); }

  void writeIni(const std::string& bytes) {
    std::ofstream(program_ + "dayplot.ini", std::ios::binary) << bytes;
  }
  DayplotStart start() { return startSettings(program_, "20110405"); }

  fs::path dir_;
  std::string program_;
};

TEST_F(SettingsFileTest, FirstStartWithoutFileKeepsDesignDefaults) {
  const DayplotStart s = start();
  EXPECT_EQ(s.controls.Text2, program_ + "data/");
  EXPECT_EQ(s.DataFolder, program_ + "data/");
  EXPECT_EQ(s.RealtimeInterval, 10);
  EXPECT_EQ(s.controls.Check1, 1);
  EXPECT_EQ(s.controls.Check2 + s.controls.Check3 + s.controls.Check4 + s.controls.Check5, 0);
  EXPECT_TRUE(s.controls.Option1);
  EXPECT_EQ(s.controls.Text7 + s.controls.Text8 + s.controls.Text9, "20110405");
  EXPECT_FALSE(fs::exists(program_ + "dayplot.ini"));
}

TEST_F(SettingsFileTest, DefaultsAreWrittenAsFourLines) {
  DayplotSettings c;
  c.Text2 = "/prog/data/";
  EXPECT_EQ(settingsFileText(c),
            "\"大阪府大阪市\",\"/prog/data/\",\"μSVHGraph\",\"2\",\"μSVHData\",\"自作GM管\","
            "\"03\",\"00\"\r\n"
            "1,0,0,0\r\n"
            "#TRUE#,#FALSE#,#FALSE#,#FALSE#\r\n"
            "\"ftp.example.com\",\"\",\"\",0,\"\"\r\n");
}

TEST_F(SettingsFileTest, RoundTripKeepsEveryControlAndIsOwnerOnly) {
  DayplotSettings c;
  c.Text1 = "東京都";
  c.Text2 = "/log/μSVHData_x.csv";
  c.Text3 = "g";
  c.Text4 = "0.5";
  c.Text5 = "p";
  c.Text6 = "SBM-20";
  c.Text10 = "07";
  c.Text11 = "01";
  c.Text12 = "ftp.host";
  c.Text13 = "pulsor01";
  c.Text14 = "pass word";
  c.Text15 = "pub\\graph";
  c.Check1 = 0;
  c.Check2 = c.Check3 = c.Check4 = c.Check5 = 1;
  c.selectOption(3);
  const std::string path = settingsFilePath(program_);
  ASSERT_FALSE(saveSettingsFile(path, c));
  EXPECT_EQ(fs::status(path).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write);

  const DayplotStart s = start();
  DayplotSettings expected = c;
  expected.Text7 = "2011";
  expected.Text8 = "04";
  expected.Text9 = "05";
  EXPECT_EQ(s.controls, expected);
  EXPECT_EQ(s.RealtimeInterval, 30);
  EXPECT_EQ(s.DataFolder, "/log/");
}

TEST_F(SettingsFileTest, QuotesAndLineBreaksAreNeverWrittenSoEveryControlReadsBack) {
  DayplotSettings c;
  c.Text1 = "大阪\"府";
  c.Text3 = "g\r\nraph";
  c.Text14 = "pa\"ss";
  c.Text15 = "\n";
  c.Check5 = 1;
  c.selectOption(4);
  ASSERT_FALSE(saveSettingsFile(settingsFilePath(program_), c));
  const DayplotStart s = start();
  EXPECT_EQ(s.controls.Text1, "大阪府");
  EXPECT_EQ(s.controls.Text3, "graph");
  EXPECT_EQ(s.controls.Text4, c.Text4);
  EXPECT_EQ(s.controls.Text12, c.Text12);
  EXPECT_EQ(s.controls.Text14, "pass");
  EXPECT_EQ(s.controls.Text15, "");
  EXPECT_EQ(s.controls.Check5, 1);
  EXPECT_EQ(s.RealtimeInterval, 60);
}

TEST_F(SettingsFileTest, LineLayoutDoesNotMatterForReading) {
  writeIni("\"a\",\"/d/\",\"g\",\"3\",\"p\",\"t\",\"05\",\"06\",0,1,1,0,#FALSE#,#FALSE#,#FALSE#,"
           "#TRUE#\n\"s\",\"u\"\n\"w\",1,\"sub\",\"ignored\"\n");
  const DayplotStart s = start();
  EXPECT_EQ(s.controls.Text11, "06");
  EXPECT_EQ(s.controls.Check2, 1);
  EXPECT_TRUE(s.controls.Option4);
  EXPECT_FALSE(s.controls.Option1);
  EXPECT_EQ(s.RealtimeInterval, 60);
  EXPECT_EQ(s.controls.Text14, "w");
  EXPECT_EQ(s.controls.Check5, 1);
  EXPECT_EQ(s.controls.Text15, "sub");
}

TEST_F(SettingsFileTest, ShortFileAppliesEmptyValues) {
  writeIni("\"a\",\"/d/\",\"g\",\"3\",\"p\",\"t\",\"05\",\"06\"\r\n");
  const DayplotStart s = start();
  EXPECT_EQ(s.controls.Text1, "a");
  EXPECT_EQ(s.controls.Check1, 0);
  EXPECT_FALSE(s.controls.Option1 || s.controls.Option2 || s.controls.Option3 ||
               s.controls.Option4);
  EXPECT_EQ(s.controls.Text12, "");
  EXPECT_EQ(s.RealtimeInterval, 10);

  writeIni("");
  const DayplotStart empty = start();
  EXPECT_EQ(empty.controls.Text1, "");
  EXPECT_EQ(empty.controls.Text2, "");
  EXPECT_EQ(empty.controls.Text4, "");
  EXPECT_EQ(empty.DataFolder, program_ + "data/");  // "" does not end in csv
  EXPECT_EQ(empty.RealtimeInterval, 10);
}

TEST_F(SettingsFileTest, FieldThatDoesNotConvertLeavesItsControl) {
  writeIni("\"a\",\"/d/\",\"g\",\"3\",\"p\",\"t\",\"05\",\"06\"\r\n"
           "abc,7,1,0\r\n#FALSE#,maybe,#TRUE#,#FALSE#\r\n\"s\",\"u\",\"w\",x,\"\"\r\n");
  const DayplotStart s = start();
  EXPECT_EQ(s.controls.Check1, 1);  // "abc": left ticked
  EXPECT_EQ(s.controls.Check2, 0);  // 7 is no check-box state
  EXPECT_EQ(s.controls.Check3, 1);
  EXPECT_TRUE(s.controls.Option3);
  EXPECT_FALSE(s.controls.Option2);
  EXPECT_EQ(s.RealtimeInterval, 30);
  EXPECT_EQ(s.controls.Check5, 0);
}

TEST_F(SettingsFileTest, LastTrueOptionGivesThePeriod) {
  struct Case {
    const char* options;
    int selected;
  };
  // Two True options after the first: the later one is selected and gives the period.
  for (const Case& c : {Case{"#TRUE#,#TRUE#,#FALSE#,#FALSE#", 2},
                        Case{"#FALSE#,#TRUE#,#TRUE#,#FALSE#", 3},
                        Case{"#FALSE#,#TRUE#,#FALSE#,#TRUE#", 4}}) {
    writeIni(std::string(",,,,,,,,1,0,0,0,") + c.options + ",,,,0,");
    const DayplotStart s = start();
    EXPECT_EQ(s.RealtimeInterval, kRealtimePeriods[c.selected - 1]) << c.options;
    for (int n = 1; n <= 4; ++n) EXPECT_EQ(s.controls.option(n), n == c.selected) << c.options;
  }
}

TEST_F(SettingsFileTest, Cp932FileIsRead) {
  // "μSVHGraph" and "東京" in CP932.
  writeIni("\"\x93\x8C\x8B\x9E\",\"/d/\",\"\x83\xCASVHGraph\"\r\n");
  const DayplotStart s = start();
  EXPECT_EQ(s.controls.Text1, "東京");
  EXPECT_EQ(s.controls.Text3, "μSVHGraph");
}

TEST(DataFolderFromPath, CsvEndingNamesTheFolder) {
  EXPECT_EQ(dataFolderFromPath("/log/μSVHData_nnnntthh.csv", "/fb/"), "/log/");
  EXPECT_EQ(dataFolderFromPath("/log/", "/fb/"), "/fb/");
  EXPECT_EQ(dataFolderFromPath("/log/x.CSV", "/fb/"), "/fb/");
  EXPECT_EQ(dataFolderFromPath("x.csv", "/fb/"), "");
  EXPECT_EQ(dataFolderFromPath("/a/b/csv", "/fb/"), "/a/b/");
}

// The file has no escape: what it cannot carry is left out, so every field reads back
// in its place.
TEST(SettingsFileText, QuotesAndLineBreaksAreNeverWritten) {
  DayplotSettings c;
  c.Text1 = "say \"hi\"\r\nthere";
  c.Text14 = "pa\"ss";
  c.Check5 = 1;
  const std::string text = settingsFileText(c);
  size_t lines = 0;
  for (size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at + 2)) {
    ++lines;
  }
  EXPECT_EQ(lines, 4u);
  DayplotSettings back;
  applySettingsText(text, back);
  EXPECT_EQ(back.Text1, "say hithere");
  EXPECT_EQ(back.Text14, "pass");
  EXPECT_EQ(back.Check5, 1);
  EXPECT_EQ(back.Text15, "");
}

// The built-in account compares the server box against the box's own default text.
TEST(SettingsUploadSource, BuiltInAccountWithTheServerBoxLeftAtItsDefault) {
  DayplotSettings c;
  c.Text13 = "pulsor01";
  c.Text14 = "kobud";
  const SettingsUploadSource source(c);
  EXPECT_EQ(scriptPassword(source), "47584758");
  c.Text12 = "ftp.example.jp";
  EXPECT_EQ(scriptPassword(source), "kobud");
}

}  // namespace
}  // namespace radmon
