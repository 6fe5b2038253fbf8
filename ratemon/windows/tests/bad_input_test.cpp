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
    {Box::elapsed, "Text1", false},     {Box::total, "Text2", false},
    {Box::threshold, "Text3", true},    {Box::deadBand, "Text4", true},
    {Box::resolution, "Text5", true},   {Box::cpm, "Text6", false},
    {Box::sensitivity, "Text7", true},  {Box::doseRate, "Text8", false},
    {Box::limit1, "Text9", true},       {Box::limit2, "Text10", true},
    {Box::recordPath, "Text11", false}, {Box::background, "Text12", true}};

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
      start();
      w().setText(Box::sensitivity, "120");
      // Both alarms and the graph on: the limits are read and drawn every second too.
      for (Tick t : {Tick::alarm1, Tick::alarm2, Tick::graph})
        if (!w().checked(t)) QTest::mouseClick(w().tick(t), Qt::LeftButton);
      w().setText(box.box, bad.text);
      QTest::mouseClick(w().cmdRec(), Qt::LeftButton);

      // A sensitivity that gives no positive rate refuses the start.
      const bool refused = box.box == Box::sensitivity;  // none of the texts is a positive rate
      if (refused) {
        EXPECT_FALSE(audio_->recording);
        EXPECT_EQ(message(), "GM菅γ線感度を入力してください");
      } else {
        EXPECT_TRUE(audio_->recording);
        for (int s = 0; s < 61; ++s) audio_->deliver(secondWithPulseCount(5, s));
        EXPECT_EQ(station_->cycle().elapsedSeconds(), 61);
        // The pulse settings may rightly find nothing (a threshold of 0); the others
        // leave the count alone.
        if (box.box != Box::threshold && box.box != Box::deadBand && box.box != Box::resolution) {
          EXPECT_EQ(station_->cycle().totalCount(), 305);
        }
        // A setting that is no number at all is told about.
        if (box.numericSetting && !bad.isNumber) {
          EXPECT_NE(message(), "");
        }
        // The minute's line is in the day file (a record path that is no csv path
        // leaves the data folder in use).
        EXPECT_EQ(readBytes(folder_ / "data" / dayFileName("20110919")).substr(0, 21),
                  "\"2011/09/19\",\"10:00\",");
        QTest::mouseClick(w().cmdStop(), Qt::LeftButton);
      }

      // What the window holds at the end comes back from the file.
      std::map<Box, std::string> shown;
      for (const auto& c : kBoxControls)
        if (c.iniField != kNotSaved) shown[c.id] = withoutQuotes(w().text(c.id));
      w().close();
      const auto read = loadSettingsFile(programFolder_ + "ratemon.ini", {});
      EXPECT_TRUE(read.clean());
      RatemonSettings back = read.value;
      for (const auto& [box, text] : shown) EXPECT_EQ(back.texts[box], text);
      EXPECT_TRUE(back.ticks[Tick::recordFile]);
      station_.reset();
    }
  }
}

}  // namespace radmon
