#include "ratemon_settings.h"

#include <gtest/gtest.h>

namespace radmon {

TEST(RatemonSettings, UnchangedFirstRunWritesTheDesignLine) {
  const auto s = RatemonSettings::defaults("/m/");
  EXPECT_EQ(settingsText(s),
            "\"50\",\"3\",\"10\",\"\",\"0.27\",\"2.7\",\"/m/data/\",0,0,1,\"0\"\r\n");
}

TEST(RatemonSettings, ReadsBackWhatItWrote) {
  auto s = RatemonSettings::defaults("/m/");
  s.texts[Box::sensitivity] = "18";
  s.texts[Box::recordPath] = "/m/rec/μSVHData_nnnntthh.csv";
  s.ticks[Tick::alarm1] = true;
  s.ticks[Tick::recordFile] = false;
  s.texts[Box::background] = "3.5";
  RatemonSettings back = RatemonSettings::defaults("/other/");
  applySettingsText(settingsText(s), back);
  EXPECT_EQ(settingsText(back), settingsText(s));
}

TEST(RatemonSettings, QuotesAndLineBreaksInBoxesAreNotSavedSoTheFileReadsBack) {
  // A quote once ended its field early and a line break split the line, so a box with
  // one of them shifted or lost every later value.
  auto s = RatemonSettings::defaults("/m/");
  s.texts[Box::threshold] = "5\"0";
  s.texts[Box::sensitivity] = "1\r\n8";
  s.texts[Box::recordPath] = "/m/\"rec\"/";
  s.ticks[Tick::alarm2] = true;
  s.texts[Box::background] = std::string(1, '"');
  RatemonSettings back = RatemonSettings::defaults("/other/");
  applySettingsText(settingsText(s), back);
  EXPECT_EQ(back.texts[Box::threshold], "50");
  EXPECT_EQ(back.texts[Box::deadBand], "3");
  EXPECT_EQ(back.texts[Box::sensitivity], "18");
  EXPECT_EQ(back.texts[Box::recordPath], "/m/rec/");
  EXPECT_TRUE(back.ticks[Tick::alarm2]);
  EXPECT_TRUE(back.ticks[Tick::recordFile]);
  EXPECT_EQ(back.texts[Box::background], "");
}

TEST(RatemonSettings, ShortOrOddFilesKeepWhatTheyDoNotSay) {
  auto s = RatemonSettings::defaults("/m/");
  applySettingsText("\"60\",\"4\"\r\n", s);
  EXPECT_EQ(s.texts[Box::threshold], "60");
  EXPECT_EQ(s.texts[Box::deadBand], "4");
  EXPECT_EQ(s.texts[Box::resolution], "10");
  EXPECT_TRUE(s.ticks[Tick::recordFile]);
  applySettingsText("\"50\",\"3\",\"10\",\"\",\"0.27\",\"2.7\",\"/m/data/\",x,,1,\"0\"", s);
  EXPECT_FALSE(s.ticks[Tick::alarm1]);
  EXPECT_FALSE(s.ticks[Tick::alarm2]);
  applySettingsText("", s);
  EXPECT_EQ(s.texts[Box::threshold], "50");
}

TEST(SaveFolderFor, OnlyACsvPathChangesTheFolder) {
  EXPECT_EQ(saveFolderFor("/home/m/rec/μSVHData_nnnntthh.csv", "/m/"), "/home/m/rec/");
  EXPECT_EQ(saveFolderFor("/home/m/rec/", "/m/"), "/m/data/");
  EXPECT_EQ(saveFolderFor("/home/m/rec/x.CSV", "/m/"), "/m/data/");
  EXPECT_EQ(saveFolderFor("/home/m/rec/datacsv", "/m/"), "/home/m/rec/");  // no dot needed
  EXPECT_EQ(saveFolderFor("μSVHData_nnnntthh.csv", "/m/"), "");
}

}  // namespace radmon
