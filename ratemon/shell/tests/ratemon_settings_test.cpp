#include "ratemon_settings.h"

#include <gtest/gtest.h>

namespace radmon {

TEST(RatemonSettings, UnchangedFirstRunWritesTheDesignLine) {
  const auto s = RatemonSettings::defaults("/m/");
  EXPECT_EQ(settingsText(s), "\"50\",\"3\",\"10\",\"\",\"0.27\",\"2.7\",\"/m/data/\",0,0,1,\"0\"\r\n");
}

TEST(RatemonSettings, ReadsBackWhatItWrote) {
  auto s = RatemonSettings::defaults("/m/");
  s.text7 = "18";
  s.text11 = "/m/rec/μSVHData_nnnntthh.csv";
  s.check2 = 1;
  s.check4 = 0;
  s.text12 = "3.5";
  RatemonSettings back = RatemonSettings::defaults("/other/");
  applySettingsText(settingsText(s), back);
  EXPECT_EQ(settingsText(back), settingsText(s));
}

TEST(RatemonSettings, QuotesAndLineBreaksInBoxesAreNotSavedSoTheFileReadsBack) {
  // A quote once ended its field early and a line break split the line, so a box with
  // one of them shifted or lost every later value.
  auto s = RatemonSettings::defaults("/m/");
  s.text3 = "5\"0";
  s.text7 = "1\r\n8";
  s.text11 = "/m/\"rec\"/";
  s.check3 = 1;
  s.text12 = "\"";
  RatemonSettings back = RatemonSettings::defaults("/other/");
  applySettingsText(settingsText(s), back);
  EXPECT_EQ(back.text3, "50");
  EXPECT_EQ(back.text4, "3");
  EXPECT_EQ(back.text7, "18");
  EXPECT_EQ(back.text11, "/m/rec/");
  EXPECT_EQ(back.check3, 1);
  EXPECT_EQ(back.check4, 1);
  EXPECT_EQ(back.text12, "");
}

TEST(RatemonSettings, ShortOrOddFilesKeepWhatTheyDoNotSay) {
  auto s = RatemonSettings::defaults("/m/");
  applySettingsText("\"60\",\"4\"\r\n", s);
  EXPECT_EQ(s.text3, "60");
  EXPECT_EQ(s.text4, "4");
  EXPECT_EQ(s.text5, "10");
  EXPECT_EQ(s.check4, 1);
  applySettingsText("\"50\",\"3\",\"10\",\"\",\"0.27\",\"2.7\",\"/m/data/\",x,,1,\"0\"", s);
  EXPECT_EQ(s.check2, 0);
  EXPECT_EQ(s.check3, 0);
  applySettingsText("", s);
  EXPECT_EQ(s.text3, "50");
}

TEST(SaveFolderFor, OnlyACsvPathChangesTheFolder) {
  EXPECT_EQ(saveFolderFor("/home/m/rec/μSVHData_nnnntthh.csv", "/m/"), "/home/m/rec/");
  EXPECT_EQ(saveFolderFor("/home/m/rec/", "/m/"), "/m/data/");
  EXPECT_EQ(saveFolderFor("/home/m/rec/x.CSV", "/m/"), "/m/data/");
  EXPECT_EQ(saveFolderFor("μSVHData_nnnntthh.csv", "/m/"), "");
}

}  // namespace radmon
