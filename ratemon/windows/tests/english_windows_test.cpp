// ratemon in English: no Japanese character in any window, control or message the
// operator can meet. Its own binary, since the translator changes every window's texts.
#include <QApplication>
#include <QRegularExpression>
#include <QTranslator>
#include <cerrno>
#include <cmath>

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
  QTranslator english_;
};

TEST_F(EnglishStation, EveryWindowAndMessageBoxIsEnglish) {
  start();
  w().show();
  // Start without a sensitivity: the refusal's message box.
  QTest::mouseClick(w().cmdRec(), Qt::LeftButton);
  ASSERT_NE(w().messageBox(), nullptr);
  // The real-time graph and the pulse test window beside it.
  QTest::mouseClick(w().tick(Tick::graph), Qt::LeftButton);
  startRecording();
  QTest::mouseClick(w().tick(Tick::pulseTest), Qt::LeftButton);
  // The pulse-interval window and the MQTT dialog.
  QTest::mouseClick(w().commandButton(MainWindow::Command::pulseIntervals), Qt::LeftButton);
  QTest::mouseClick(w().mqttButton(), Qt::LeftButton);
  ASSERT_NE(w().findChild<QWidget*>("mqttDialog"), nullptr);
  EXPECT_GE(QApplication::topLevelWidgets().size(), 4);
  EXPECT_THAT(testing::japaneseOnScreen(), IsEmpty());
}

// The readings' interval, the widest it gets, fits its place under the test in English.
TEST_F(EnglishStation, TheReadingsIntervalFitsItsPlace) {
  start();
  DoseResult capped;
  capped.cpm = 199999;
  capped.netDoseRate = 1851.842f;
  w().showReadingInterval(messages::readingLowerBound(capped, {199999, 60, 199122.6, HUGE_VAL}),
                          true);
  expectIntervalFits();
  w().showReadingInterval(
      messages::readingInterval({49999, 60, 49561.3, 50439.1, 462.975, 467.016}, 1000), false);
  expectIntervalFits();
}

TEST_F(EnglishStation, TheLinksStateFitsBesideTheReadings) {
  start();
  expectLinkStatesFit(w());
}

TEST_F(EnglishStation, EveryMessageIsEnglish) {
  std::vector<std::string> texts;
  for (const auto& c : kBoxControls) texts.push_back(messages::notice(RefusedBox{c.id, 1.5}));
  texts.push_back(messages::notice(RecordKept{"/d/x.csv", {WriteStep::open, ENOENT}, 3}));
  texts.push_back(messages::notice(NoSensitivity{}));
  // What is kept for the next start, written then, and a write fault's end.
  for (const Pending what : {Pending::Records, Pending::Events}) {
    texts.push_back(messages::pendingKept(what, 2, "/s/p.csv", {}));
    texts.push_back(messages::pendingKept(what, 2, "/s/p.csv",
                                          std::unexpected(WriteFault{WriteStep::open, ENOSPC})));
    ReadResult<PendingFlush, RecordIssue> flushed;
    flushed.value = {"/s/p.csv", 2, 1, WriteFault{WriteStep::open, ENOENT}, what};
    flushed.issues.push_back({3, RecordIssue::NotRecord, ""});
    texts.push_back(messages::pendingFlushed(flushed));
  }
  for (const Lasting what : {Lasting::RecordsKept, Lasting::EventsKept})
    texts.push_back(
        messages::lasting(what, false, RecordKept{"/d/x.csv", {WriteStep::open, ENOENT}, 3}));
  using messages::About;
  for (const About what :
       {About::sourceUnopenable, About::dayplotMissing, About::dayplotNotStarted})
    texts.push_back(messages::about(what, "/s/x"));
  texts.insert(texts.end(), {messages::alarmStarted(1, 0.5f, 0.27f),
                             messages::alarmStarted(2, 3.5f, 2.7f), messages::hoursDone(3)});
  // MQTT publishing: every address fault, settings notice, link state and the status lines.
  for (const MqttAddressError e : {MqttAddressError::Scheme, MqttAddressError::Host,
                                   MqttAddressError::Port, MqttAddressError::Prefix})
    texts.push_back(messages::mqttAddress(e, "mqtt://h"));
  for (const auto kind : {LinkNotice::Settings, LinkNotice::CannotStart, LinkNotice::AckedNotSaved,
                          LinkNotice::CatchingUp}) {
    LinkNotice notice{kind, "/s/m.ini"};
    notice.count = 2;
    notice.settings = {1, SettingsIssue::UnknownLine, "x"};
    texts.push_back(messages::linkNotice(notice));
  }
  for (const LinkState state :
       {LinkState::Connecting, LinkState::Connected, LinkState::Unreachable, LinkState::BadLogin,
        LinkState::Refused, LinkState::TlsFailed, LinkState::Lost, LinkState::Closed}) {
    texts.push_back(messages::linkEvent({state, "x"}));
    texts.push_back(messages::linkStatus({state, 2, ""}));
    texts.push_back(messages::linkStatusShort({state, 0, "2026-03-01T13:05:00+09:00"}));
  }
  texts.insert(texts.end(), {messages::linkUnsent(4), messages::linkOff()});
  // Every settings file's faults, the names Home Assistant shows; counting: the dead time,
  // the readings' interval, the pulse intervals.
  for (const auto kind : {SettingsIssue::Unreadable, SettingsIssue::UnknownLine,
                          SettingsIssue::BadValue, SettingsIssue::PasswordExposed})
    texts.push_back(messages::settingsIssue("/s/c.ini", {2, kind, "x"}));
  const DiscoveryNames names = messages::discoveryNames();
  for (const std::string* name :
       {&names.device, &names.doseRate, &names.cpm, &names.total, &names.alarm1, &names.alarm2,
        &names.health, &names.doseLow, &names.doseHigh, &names.lowerBound})
    texts.push_back(*name);
  ReadResult<PendingFlush, RecordIssue> flushed;
  flushed.value.written = 2;
  flushed.issues.push_back({3, RecordIssue::NotRecord, ""});
  texts.push_back(messages::pendingFlushed(flushed));
  texts.insert(texts.end(), {messages::badDeadTime("x"), messages::deadTimeOffer({}, 450),
                             messages::deadTimeOffer({1.6e-3, 6e-6, 4096, true}, 450)});
  texts.push_back(messages::readingInterval({100, 60, 90, 110, 0.1, 0.2}, 499));
  DoseResult capped;
  capped.cpm = 63540;
  capped.netDoseRate = 588.333f;
  texts.push_back(messages::readingLowerBound(capped, {63540, 60, 63046.1, HUGE_VAL}));
  texts.push_back(messages::readingLowerBound(capped, {63540, 60, 63046.1, HUGE_VAL}, true));
  for (const EventKind kind : {EventKind::DeadTimeCapped, EventKind::DeadTimeOk}) {
    SoundEvent event;
    event.kind = kind;
    texts.insert(texts.end(), {messages::soundEvent(event), messages::soundState(event)});
  }
  using messages::Counting;
  for (const Counting c : {Counting::intervalsButton, Counting::deadTimeTick,
                           Counting::deadTimeUnit, Counting::bandTick})
    texts.push_back(messages::counting(c));
  using messages::IntervalLabel;
  for (const IntervalLabel l :
       {IntervalLabel::title, IntervalLabel::measured, IntervalLabel::random})
    texts.push_back(messages::intervalLabel(l));
  IntervalAnalysis analysis;
  analysis.intervals = 500;
  analysis.shortest = 2e-4;
  texts.push_back(messages::intervalFigures(analysis));
  for (const IntervalVerdict v :
       {IntervalVerdict::TooFew, IntervalVerdict::LooksRandom, IntervalVerdict::Rings,
        IntervalVerdict::ResolutionEatsPulses, IntervalVerdict::MainsPeaks})
    texts.push_back(messages::intervalAdvice(v, analysis));
  testing::expectNoJapanese(texts);
  // Sentences put together leave a space between them.
  static const QRegularExpression runOn(QStringLiteral("[a-z)]\\.[A-Z0-9]"));
  for (const std::string& text : texts)
    EXPECT_FALSE(QString::fromStdString(text).contains(runOn)) << text;
}

}  // namespace
}  // namespace radmon
