// Whatever is typed into any box of the main window, ratemon keeps measuring, says
// what it cannot use, and leaves a settings file that reads back.
#include <QMessageBox>
#include <string>
#include <vector>

#include "day_record.h"
#include "ratemon_settings.h"
#include "station_fixture.h"

namespace radmon {

namespace {

struct BadText {
  const char* name;
  std::string text;
  bool isNumber;  // a number the boxes could read (maybe out of their range)
};

std::vector<BadText> badTexts() {
  return {{"empty", "", false},
          {"letters", "abc", false},
          {"fullWidthDigits", "１２３", false},
          {"hugeExponent", "1e400", false},
          {"minusFive", "-5", true},
          {"zero", "0", true},
          {"tenThousandCharacters", std::string(10000, '9'), false},
          {"doubleQuote", "1\"2", false}};
}

struct BoxCase {
  Box box;
  const char* name;
  bool numericSetting;  // read by the cycle each second
};

const std::vector<BoxCase> kBoxes = {
    {Box::Text1, "Text1", false},  {Box::Text2, "Text2", false},  {Box::Text3, "Text3", true},
    {Box::Text4, "Text4", true},   {Box::Text5, "Text5", true},   {Box::Text6, "Text6", false},
    {Box::Text7, "Text7", true},   {Box::Text8, "Text8", false},  {Box::Text9, "Text9", true},
    {Box::Text10, "Text10", true}, {Box::Text11, "Text11", false}, {Box::Text12, "Text12", true}};

std::string withoutQuotes(std::string s) {
  std::erase(s, '"');
  return s;
}

}  // namespace

TEST_F(StationTest, AnyTextInAnyBoxKeepsTheStationMeasuringAndTheSettingsReadable) {
  for (const BoxCase& box : kBoxes) {
    for (const BadText& bad : badTexts()) {
      SCOPED_TRACE(std::string(box.name) + " = " + bad.name);
      fs::remove_all(folder_);
      fs::create_directories(folder_ / "data");
      make();
      ASSERT_FALSE(station_->startup());
      w().setText(Box::Text7, "120");
      // Both alarms and the graph on: the limits are read and drawn every second too.
      for (Tick t : {Tick::Check2, Tick::Check3, Tick::Check5})
        if (!w().checked(t)) QTest::mouseClick(w().tick(t), Qt::LeftButton);
      w().setText(box.box, bad.text);
      QTest::mouseClick(w().cmdRec(), Qt::LeftButton);

      // A sensitivity that gives no positive rate refuses the start.
      const bool refused = box.box == Box::Text7;  // none of the texts is a positive rate
      if (refused) {
        EXPECT_FALSE(audio_->recording);
        EXPECT_EQ(message(), "GM菅γ線感度を入力してください");
      } else {
        EXPECT_TRUE(audio_->recording);
        for (int s = 0; s < 61; ++s) audio_->deliver(secondWithPulseCount(5));
        EXPECT_EQ(station_->cycle().elapsedSeconds(), 61);
        // The pulse settings may rightly find nothing (a threshold of 0); the others
        // leave the count alone.
        if (box.box != Box::Text3 && box.box != Box::Text4 && box.box != Box::Text5) {
          EXPECT_EQ(station_->cycle().totalCount(), 305);
        }
        // A setting that is no number at all is told about.
        if (box.numericSetting && !bad.isNumber) {
          EXPECT_NE(message(), "");
        }
        // The minute's line is in the day file (a record path that is no csv path
        // leaves the data folder in use).
        EXPECT_EQ(readAll(folder_ / "data" / dayFileName("20110919")).substr(0, 21),
                  "\"2011/09/19\",\"10:00\",");
        QTest::mouseClick(w().cmdStop(), Qt::LeftButton);
      }

      // What the window holds at the end comes back from the file.
      std::vector<std::string> shown;
      for (Box b : {Box::Text3, Box::Text4, Box::Text5, Box::Text7, Box::Text9, Box::Text10,
                    Box::Text11, Box::Text12})
        shown.push_back(withoutQuotes(w().text(b)));
      w().close();
      RatemonSettings back;
      back.text11 = "not read";
      EXPECT_FALSE(loadSettingsFile(programFolder_ + "ratemon.ini", back));
      EXPECT_EQ((std::vector<std::string>{back.text3, back.text4, back.text5, back.text7,
                                          back.text9, back.text10, back.text11, back.text12}),
                shown);
      EXPECT_EQ(back.check4, 1);
      station_.reset();
    }
  }
}

}  // namespace radmon
