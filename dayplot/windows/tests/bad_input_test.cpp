// Whatever is typed into any box of the settings window, a manual run neither ends
// dayplot nor fails without a word, and the settings file reads back.
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <filesystem>
#include <iostream>
#include <set>

#include <gtest/gtest.h>

#include "form_station.h"
#include "graph_form.h"

namespace radmon {
namespace {

using testing::ProgramFolder;

std::vector<std::pair<const char*, std::string>> badTexts() {
  return {{"empty", ""},
          {"letters", "abc"},
          {"fullWidthDigits", "１２３"},
          {"hugeExponent", "1e400"},
          {"minusFive", "-5"},
          {"zero", "0"},
          {"tenThousandCharacters", std::string(10000, '9')},
          {"doubleQuote", "1\"2"}};
}

// Images written into the data folder.
int images(const ProgramFolder& folder) {
  int n = 0;
  for (const auto& e : std::filesystem::directory_iterator(folder.data())) {
    const auto ext = e.path().extension();
    if (ext == ".jpg" || ext == ".bmp") ++n;
  }
  return n;
}

}  // namespace

TEST(SettingsFormBadInput, AnyTextInAnyBoxKeepsDayplotGoingAndTheSettingsReadable) {
  testing::testApp();
  std::set<std::string> said;
  for (int box = 1; box <= 15; ++box) {
    const std::string name = "Text" + std::to_string(box);
    for (const auto& [what, bad] : badTexts()) {
      SCOPED_TRACE(name + " = " + what);
      testing::FormStation station;
      const ProgramFolder& folder = station.folder;
      folder.writeDay("20110315");
      auto form = std::make_unique<SettingsForm>(station.parts());
      form->show();

      // A manual run of a day that exists, with the transfer ticked, then the bad text.
      DayplotSettings c = form->controls();
      c.manualYear = "2011", c.manualMonth = "03", c.manualDay = "15", c.upload = 1;
      form->setControls(c);
      form->findChild<QLineEdit*>(QString::fromStdString(name))
          ->setText(QString::fromStdString(bad));
      const DayplotSettings typed = form->controls();
      QTest::mouseClick(form->findChild<QPushButton*>("Command3"), Qt::LeftButton);

      // Either the graph was written or the operator was told why not.
      QMessageBox* message = form->messages().box();
      const bool told = message && message->isVisible() && !message->text().isEmpty();
      EXPECT_TRUE(images(folder) > 0 || told);
      // Boxes that only label the graph or address the upload never stop the drawing.
      if (box == 1 || box == 6 || box >= 10) {
        EXPECT_GT(images(folder), 0);
      }
      if (told) said.insert(message->text().toStdString());
      ASSERT_NE(form->Form1(), nullptr);
      EXPECT_TRUE(form->Form1()->isVisible());

      // A scheduled minute still runs whatever the box holds.
      station.clock.set(LocalDateTime{2011, 3, 16, 10, 20, 0});
      form->onMinuteTick();

      ASSERT_TRUE(form->close());
      DayplotSettings back;
      back.place = "not read";
      const std::string ini = folder.read("dayplot.ini");
      applySettingsText(ini, back);
      // The saved boxes come back as the window holds them, less what the file cannot
      // carry; the date boxes are not saved.
      for (std::string DayplotSettings::*saved :
           {&DayplotSettings::place, &DayplotSettings::dataPath, &DayplotSettings::graphName,
            &DayplotSettings::scaleMaximum, &DayplotSettings::dataPrefix, &DayplotSettings::tube,
            &DayplotSettings::atMinute, &DayplotSettings::atHour, &DayplotSettings::server,
            &DayplotSettings::user, &DayplotSettings::password, &DayplotSettings::subFolder})
        EXPECT_EQ(back.*saved, savableText(typed.*saved));
      EXPECT_EQ(back.upload, 1);
      form.reset();
    }
  }
  for (const auto& m : said) std::cout << "told: " << m.substr(0, 160) << "\n";
}

}  // namespace radmon
