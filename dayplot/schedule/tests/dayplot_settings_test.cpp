#include "dayplot_settings.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "settings_sources.h"
#include "temp_station.h"
#include "text_files.h"

namespace radmon {
namespace {

namespace fs = std::filesystem;

class SettingsFileTest : public ::testing::Test {
 protected:
  void writeIni(const std::string& bytes) {
    std::ofstream(program_ + "dayplot.ini", std::ios::binary) << bytes;
  }
  DayplotStart start() { return startSettings(program_, "20110405").value; }

  ftp::testing::TempStation temp_{"dayplot_ini", "program", {}};
  const std::string program_ = temp_.program.string() + "/";
};

TEST_F(SettingsFileTest, FirstStartWithoutFileOrWithAnUnreadableOneKeepsDesignDefaults) {
  const DayplotStart s = start();
  EXPECT_EQ(std::tie(s.controls.dataPath, s.DataFolder, s.RealtimeInterval, s.controls.jpeg),
            std::tuple(program_ + "data/", program_ + "data/", 10, 1));
  EXPECT_EQ(s.controls.bmp + s.controls.todayEvery + s.controls.yesterdayAt + s.controls.upload, 0);
  EXPECT_TRUE(s.controls.option(1));
  EXPECT_EQ(s.controls.manualYear + s.controls.manualMonth + s.controls.manualDay, "20110405");
  EXPECT_FALSE(fs::exists(program_ + "dayplot.ini"));

  // A missing file is a first start; one that is there but cannot be read is the file's
  // fault, and the defaults stand either way.
  EXPECT_TRUE(startSettings(program_, "20110405").clean());
  fs::create_directories(program_ + "dayplot.ini");
  const DayplotStartRead read = startSettings(program_, "20110405");
  using Issue = LineIssue<DayplotIniFault>;
  EXPECT_EQ(read.issues, (std::vector<Issue>{{0, DayplotIniFault::Unreadable, ""}}));
  EXPECT_EQ(read.value.controls.place, DayplotSettings().place);
  EXPECT_EQ(read.value.DataFolder, program_ + "data/");
}

TEST_F(SettingsFileTest, DefaultsAreWrittenAsFourLines) {
  DayplotSettings c;
  c.dataPath = "/prog/data/";
  EXPECT_EQ(settingsFileText(c),
            "\"大阪府大阪市\",\"/prog/data/\",\"μSVHGraph\",\"2\",\"μSVHData\",\"自作GM管\","
            "\"03\",\"00\"\r\n"
            "1,0,0,0\r\n"
            "#TRUE#,#FALSE#,#FALSE#,#FALSE#\r\n"
            "\"ftp.example.com\",\"\",\"\",0,\"\"\r\n");
}

TEST_F(SettingsFileTest, RoundTripKeepsEveryControlAndIsOwnerOnly) {
  DayplotSettings c;
  c.place = "東京都";
  c.dataPath = "/log/μSVHData_x.csv";
  c.graphName = "g";
  c.scaleMaximum = "0.5";
  c.dataPrefix = "p";
  c.tube = "SBM-20";
  c.atMinute = "07";
  c.atHour = "01";
  c.server = "ftp.host";
  c.user = "pulsor01";
  c.password = "pass word";
  c.subFolder = "pub\\graph";
  c.jpeg = 0;
  c.bmp = c.todayEvery = c.yesterdayAt = c.upload = 1;
  c.selectOption(3);
  const std::string path = settingsFilePath(program_);
  ASSERT_TRUE(saveSettingsFile(path, c));
  EXPECT_EQ(fs::status(path).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write);

  const DayplotStart s = start();
  DayplotSettings expected = c;
  expected.manualYear = "2011";
  expected.manualMonth = "04";
  expected.manualDay = "05";
  EXPECT_EQ(s.controls, expected);
  EXPECT_EQ(s.RealtimeInterval, 30);
  EXPECT_EQ(s.DataFolder, "/log/");
  // A path ending in csv names the data folder.
  EXPECT_EQ(dataFolderFromPath("/log/μSVHData_nnnntthh.csv", "/fb/"), "/log/");
  EXPECT_EQ(dataFolderFromPath("/log/", "/fb/"), "/fb/");
  EXPECT_EQ(dataFolderFromPath("/log/x.CSV", "/fb/"), "/fb/");
  EXPECT_EQ(dataFolderFromPath("x.csv", "/fb/"), "");
  EXPECT_EQ(dataFolderFromPath("/a/b/csv", "/fb/"), "/a/b/");
}

TEST_F(SettingsFileTest, QuotesAndLineBreaksAreNeverWrittenSoEveryControlReadsBack) {
  DayplotSettings c;
  c.place = "大阪\"府";
  c.graphName = "g\r\nraph";
  c.password = "pa\"ss";
  c.subFolder = "\n";
  c.upload = 1;
  c.selectOption(4);
  ASSERT_TRUE(saveSettingsFile(settingsFilePath(program_), c));
  const DayplotStart s = start();
  const DayplotSettings& got = s.controls;
  EXPECT_EQ(std::tie(got.place, got.graphName, got.scaleMaximum, got.server, got.password,
                     got.subFolder, got.upload, s.RealtimeInterval),
            std::tuple("大阪府", "graph", c.scaleMaximum, c.server, "pass", "", 1, 60));

  // The file has no escape: what it cannot carry is left out, so every field reads back
  // in its place.
  DayplotSettings d;
  d.place = "say \"hi\"\r\nthere";
  d.password = "pa\"ss";
  d.upload = 1;
  const std::string text = settingsFileText(d);
  size_t lines = 0;
  for (size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at + 2))
    ++lines;
  EXPECT_EQ(lines, 4u);
  DayplotSettings back;
  applySettingsText(text, back);
  EXPECT_EQ(std::tie(back.place, back.password, back.upload, back.subFolder),
            std::tuple("say hithere", "pass", 1, ""));
}

TEST_F(SettingsFileTest, LineLayoutDoesNotMatterForReadingNorDoesCp932) {
  writeIni(
      "\"a\",\"/d/\",\"g\",\"3\",\"p\",\"t\",\"05\",\"06\",0,1,1,0,#FALSE#,#FALSE#,#FALSE#,"
      "#TRUE#\n\"s\",\"u\"\n\"w\",1,\"sub\",\"ignored\"\n");
  const DayplotStart s = start();
  EXPECT_EQ(
      std::tuple(s.controls.atHour, s.controls.bmp, s.controls.option(4), s.controls.option(1),
                 s.RealtimeInterval, s.controls.password, s.controls.upload, s.controls.subFolder),
      std::tuple("06", 1, true, false, 60, "w", 1, "sub"));
  // A CP932 file is read: "μSVHGraph" and "東京" in CP932.
  writeIni("\"\x93\x8C\x8B\x9E\",\"/d/\",\"\x83\xCASVHGraph\"\r\n");
  const DayplotStart cp932 = start();
  EXPECT_EQ(cp932.controls.place, "東京");
  EXPECT_EQ(cp932.controls.graphName, "μSVHGraph");
}

TEST_F(SettingsFileTest, ShortFileAppliesEmptyValuesAndAFieldThatDoesNotConvertLeavesItsControl) {
  writeIni("\"a\",\"/d/\",\"g\",\"3\",\"p\",\"t\",\"05\",\"06\"\r\n");
  const DayplotStart s = start();
  EXPECT_EQ(s.controls.place, "a");
  EXPECT_EQ(s.controls.jpeg, 0);
  EXPECT_FALSE(s.controls.option(1) || s.controls.option(2) || s.controls.option(3) ||
               s.controls.option(4));
  EXPECT_EQ(s.controls.server, "");
  EXPECT_EQ(s.RealtimeInterval, 10);

  writeIni("");
  const DayplotStart empty = start();
  EXPECT_EQ(empty.controls.place, "");
  EXPECT_EQ(empty.controls.dataPath, "");
  EXPECT_EQ(empty.controls.scaleMaximum, "");
  EXPECT_EQ(empty.DataFolder, program_ + "data/");  // "" does not end in csv
  EXPECT_EQ(empty.RealtimeInterval, 10);
  // A field that does not convert leaves its control.
  writeIni(
      "\"a\",\"/d/\",\"g\",\"3\",\"p\",\"t\",\"05\",\"06\"\r\n"
      "abc,7,1,0\r\n#FALSE#,maybe,#TRUE#,#FALSE#\r\n\"s\",\"u\",\"w\",x,\"\"\r\n");
  const DayplotStart odd = start();
  EXPECT_EQ(odd.controls.jpeg, 1);  // "abc": left ticked
  EXPECT_EQ(odd.controls.bmp, 0);   // 7 is no check-box state
  EXPECT_EQ(std::tuple(odd.controls.todayEvery, odd.controls.option(3), odd.controls.option(2),
                       odd.RealtimeInterval, odd.controls.upload),
            std::tuple(1, true, false, 30, 0));
}

TEST_F(SettingsFileTest, LastTrueOptionGivesThePeriod) {
  struct Case {
    const char* options;
    int selected;
  };
  // Two True options after the first: the later one is selected and gives the period.
  for (const Case& c :
       {Case{"#TRUE#,#TRUE#,#FALSE#,#FALSE#", 2}, Case{"#FALSE#,#TRUE#,#TRUE#,#FALSE#", 3},
        Case{"#FALSE#,#TRUE#,#FALSE#,#TRUE#", 4}}) {
    writeIni(std::string(",,,,,,,,1,0,0,0,") + c.options + ",,,,0,");
    const DayplotStart s = start();
    EXPECT_EQ(s.RealtimeInterval, kRealtimePeriods[c.selected - 1]) << c.options;
    for (int n = 1; n <= 4; ++n) EXPECT_EQ(s.controls.option(n), n == c.selected) << c.options;
  }
}

// The built-in account compares the server box against the box's own default text.
TEST(SettingsUploadSource, BuiltInAccountWithTheServerBoxLeftAtItsDefault) {
  DayplotSettings c;
  c.user = "pulsor01";
  c.password = "kobud";
  const SettingsUploadSource source(c);
  EXPECT_EQ(scriptPassword(source), "47584758");
  c.server = "ftp.example.jp";
  EXPECT_EQ(scriptPassword(source), "kobud");
}

}  // namespace
}  // namespace radmon
