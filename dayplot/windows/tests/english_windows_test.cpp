// dayplot in English: no Japanese character in its windows, message boxes or messages,
// and the settings file it writes is the Japanese one byte for byte. Its own binary,
// since the translator changes every window's texts.
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTranslator>

#include <gmock/gmock.h>

#include "certificate_question.h"
#include "dayplot_settings.h"
#include "form_station.h"
#include "graph_form.h"
#include "japanese_texts.h"
#include "publish_dialog.h"
#include "publish_settings.h"
#include "ui_translator.h"

namespace radmon {
namespace {

using ::testing::IsEmpty;

class EnglishForm : public ::testing::Test, protected testing::FormStation {
 protected:
  void SetUp() override {
    testing::testApp();
    ASSERT_TRUE(english_.load(QStringLiteral(":/i18n/radmon_en.qm")));
    QCoreApplication::installTranslator(&english_);
  }
  void TearDown() override {
    QCoreApplication::removeTranslator(&english_);
    useUiLanguage(UiLanguage::Japanese);
  }

  SettingsForm& open() {
    clock.set({2011, 3, 16, 10, 19, 50});
    form_ = std::make_unique<SettingsForm>(parts());
    form_->show();
    return *form_;
  }

  QTranslator english_;
  std::unique_ptr<SettingsForm> form_;
};

TEST_F(EnglishForm, EveryWindowAndMessageBoxIsEnglish) {
  SettingsForm& w = open();
  // A day without its file: the graph window and the message about it.
  w.findChild<QLineEdit*>("Text7")->setText("2011");
  w.findChild<QLineEdit*>("Text8")->setText("03");
  w.findChild<QLineEdit*>("Text9")->setText("14");
  QTest::mouseClick(w.findChild<QAbstractButton*>("Command3"), Qt::LeftButton);
  ASSERT_NE(w.Form1(), nullptr);
  ASSERT_NE(w.messages().box(), nullptr);
  // The month graph of that month, and the publishing dialog beside the form.
  QTest::mouseClick(w.findChild<QAbstractButton*>("cmdMonth"), Qt::LeftButton);
  PublishDialog publishing(publishSettingsPath(folder.path()));
  publishing.show();
  EXPECT_THAT(testing::japaneseOnScreen(), IsEmpty());
  // The certificate and host key questions are modal: read each while it waits, then refuse.
  for (const char* fingerprint : {"AB:CD", "SHA256:x"}) {
    std::vector<std::string> question;
    QTimer::singleShot(0, [&] {
      if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
        question = testing::japaneseTexts(*box);
        box->defaultButton()->click();
      }
    });
    EXPECT_EQ(askAboutCertificate(nullptr, "x", fingerprint), CertificateAnswer::Refuse);
    EXPECT_THAT(question, IsEmpty()) << fingerprint;
  }
}

TEST_F(EnglishForm, EveryMessageIsEnglish) {
  const std::vector<LineIssue<RecordIssue>> torn{{2, RecordIssue::NotRecord, ""}};
  using Issue = LineIssue<SettingsIssue>;
  testing::expectNoJapanese(
      {say::graphFailed(""), say::graphFailed("x"), say::badScale(), say::noDayFile(),
       say::skippedLines("/d/f.csv", torn), say::imageNotWritten(true, "/d/a.jpg", "r"),
       say::imageNotWritten(false, "/d/a.bmp", ""),
       say::scriptNotWritten("/d/oldtemp.sys", WriteFault(WriteStep::open, 13)),
       say::uploadNotStarted("e"), say::clientNotStarted("ftpscript", 2), say::badDayArgument("x"),
       say::processingFailed("e"), say::nothingScheduled("/s/d.ini"),
       say::started(10, true, "00", "03", true, "/d/"), say::processingDay(true, "20110316"),
       say::processingDay(false, "20110315"), say::scriptNotRemoved("e"), say::finished()});
  // ftpscript's causes, read from its exit status.
  std::vector<std::string> causes{say::storedDirectly(), say::uploadFileUnreadable()};
  for (int status = 2; status <= 15; ++status) causes.push_back(say::ftpscriptCause(status));
  testing::expectNoJapanese(causes);
  testing::expectNoJapanese(
      {say::uploadOutcome(true, "/d/a.jpg", ""), say::uploadOutcome(false, "/d/a.jpg", "r"),
       say::clientReason(-1, ""), say::clientReason(1, "x"), say::clientTimedOut(),
       say::clientOutput("out"), say::noPeriodFile(), say::badMonthArgument("x"),
       say::badYearArgument("x"), say::processingPeriod("201103"), say::periodLegend(0),
       say::periodLegend(1), say::periodLegend(2), say::daysWithFile(3, 31),
       say::meanInterval("0.1", "0.2"),
       say::settingsIssue("/s/r.ini", Issue(2, SettingsIssue::UnknownLine, "x")),
       say::settingsIssue("/s/p.ini", Issue(0, SettingsIssue::Unreadable, "")),
       say::settingsIssue("/s/p.ini", Issue(2, SettingsIssue::UnknownLine, "x"))});
  testing::expectNoJapanese(
      {say::settingsIssue("/s/p.ini", Issue(3, SettingsIssue::BadValue, "RetryMinutes")),
       say::uploadOutcome(false, "/d/a.jpg", "r", "10:05"),
       say::uploadStopped(),
       say::serverBoxUnusable(AddressError::Empty, ""),
       say::serverBoxUnusable(AddressError::BadPort, "h 0"),
       say::serverBoxUnusable(AddressError::BadScheme, "http://h"),
       say::serverBoxUnusable(AddressError::BadHost, "h/"),
       say::serverBoxUnusable(AddressError::TooManyWords, "h 21 x"),
       say::startTimeNeverMatches("3", "0"),
       say::yesterdayNotSent("20110315"),
       say::queueNotWritten("e"),
       say::queueWrittenAgain(),
       say::settingsFileUnreadable("/s/d.ini"),
       say::certificateQuestion("x", "AB:CD"),
       say::trustNotSaved("e"),
       say::badFingerprint("x"),
       say::hostKeyQuestion("x", "SHA256:x"),
       say::hostKeyTrustNotSaved("e"),
       say::badHostKeyFingerprint("x"),
       say::publishSettingsNotSaved("e")});
}

TEST_F(EnglishForm, SettingsFileIsTheJapaneseOneByteForByte) {
  ASSERT_TRUE(open().close());
  const std::string english = folder.read("dayplot.ini");
  ASSERT_FALSE(english.empty());
  QCoreApplication::removeTranslator(&english_);
  std::filesystem::remove(folder.path() + "dayplot.ini");
  ASSERT_TRUE(open().close());
  EXPECT_EQ(folder.read("dayplot.ini"), english);
}

// A new station in English names no place and a plain tube; a station's own file keeps
// what it holds, whatever the language.
TEST_F(EnglishForm, ANewStationStartsWithANeutralPlaceAndTube) {
  useUiLanguage(UiLanguage::English);
  const DayplotSettings fresh = open().controls();
  EXPECT_EQ(std::pair(fresh.place, fresh.tube), std::pair(std::string(), std::string("GM tube")));
  form_.reset();
  const DayplotSettings japanese;
  ASSERT_TRUE(saveSettingsFile(settingsFilePath(folder.path()), japanese).has_value());
  const DayplotSettings kept = open().controls();
  EXPECT_EQ(std::pair(kept.place, kept.tube), std::pair(japanese.place, japanese.tube));
}

}  // namespace
}  // namespace radmon
