// ratemon in English: no Japanese character in any window, control or message the
// operator can meet. Its own binary, since the translator changes every window's texts.
#include <QApplication>
#include <QTranslator>
#include <cerrno>

#include <gmock/gmock.h>

#include "japanese_texts.h"
#include "ratemon_messages.h"
#include "station_fixture.h"

namespace radmon {
namespace {

using ::testing::IsEmpty;

class EnglishStation : public StationTest {
 protected:
  void SetUp() override {
    StationTest::SetUp();
    ASSERT_TRUE(english_.load(QStringLiteral(":/i18n/radmon_en.qm")));
    QCoreApplication::installTranslator(&english_);
  }
  void TearDown() override {
    QCoreApplication::removeTranslator(&english_);
    StationTest::TearDown();
  }
  std::vector<std::string> japaneseOnScreen() {
    std::vector<std::string> found;
    for (const QWidget* top : QApplication::topLevelWidgets()) {
      if (!top->isVisible()) continue;
      for (auto& text : testing::japaneseTexts(*top)) found.push_back(text);
    }
    return found;
  }
  QTranslator english_;
};

TEST_F(EnglishStation, EveryWindowAndMessageBoxIsEnglish) {
  make();
  ASSERT_FALSE(station_->startup());
  w().show();
  // Start without a sensitivity: the refusal's message box.
  QTest::mouseClick(w().cmdRec(), Qt::LeftButton);
  ASSERT_NE(w().messageBox(), nullptr);
  // The real-time graph and the pulse test window beside it.
  QTest::mouseClick(w().tick(Tick::graph), Qt::LeftButton);
  startRecording();
  QTest::mouseClick(w().tick(Tick::pulseTest), Qt::LeftButton);
  EXPECT_GE(QApplication::topLevelWidgets().size(), 3);
  EXPECT_THAT(japaneseOnScreen(), IsEmpty());
}

TEST_F(EnglishStation, EveryMessageIsEnglish) {
  std::vector<std::string> texts;
  for (const auto& c : kBoxControls) texts.push_back(messages::notice(RefusedBox{c.id, 1.5}));
  texts.push_back(messages::notice(RecordKept{"/d/x.csv", {WriteStep::open, ENOENT}, 3}));
  texts.push_back(messages::notice(NoSensitivity{}));
  using messages::About;
  for (const About what : {About::settingsUnreadable, About::sourceUnopenable,
                           About::dayplotMissing, About::dayplotNotStarted}) {
    texts.push_back(messages::about(what, "/s/x"));
  }
  texts.push_back(messages::alarmStarted(1, 0.5f, 0.27f));
  texts.push_back(messages::alarmStarted(2, 3.5f, 2.7f));
  texts.push_back(messages::hoursDone(3));
  for (const auto& text : texts) {
    EXPECT_FALSE(testing::hasJapanese(QString::fromStdString(text))) << text;
  }
}

}  // namespace
}  // namespace radmon
