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
