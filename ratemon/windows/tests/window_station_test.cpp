#include "window_station.h"

#include <QTest>
#include <cmath>
#include <csignal>
#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "day_record.h"
#include "ratemon_messages.h"
#include "station_fixture.h"
#include "text_files.h"
#include "window_app.h"

namespace radmon {
using Command = MainWindow::Command;

TEST_F(StationTest, EveryControlHasItsNameAndCaption) {
  make();
  const std::vector<std::pair<const char*, const char*>> captions = {
      {"Label1", "経過時間(Sec)"}, {"Label2", "総カウント数"},
      {"Label6", "CPM"},           {"Label9", "シーベルト(μSV/h)"},
      {"Label7", "GM菅γ線感度"},   {"Label8", "cps/mR/hr"},
      {"Label12", "BG補正 cpm"},   {"Label3", "しきい値　80～20"},
      {"Label4", "不感帯 0～10"},  {"Label5", "分解能　15～5"},
      {"Label10", "μSV/h"},        {"Label11", "μSV/h"},
      {"cmdRec", "開始"},          {"cmdStop", "停止"},
      {"Command1", "保存先"},      {"Command2", "停止"},
      {"Command3", "停止"},        {"Command4", "データロガー"}};
  for (auto [name, caption] : captions) {
    auto* widget = w().findChild<QWidget*>(name);
    ASSERT_NE(widget, nullptr) << name;
    EXPECT_EQ(widget->property("text").toString().toStdString(), caption) << name;
  }
  // The boxes and check boxes are made from the control table, whose values the
  // settings tests hold: here, that each widget is found by its name and shows them.
  for (const auto& c : kBoxControls) {
    auto* box = w().findChild<QLineEdit*>(c.name);
    ASSERT_EQ(box, w().box(c.id)) << c.name;
    EXPECT_EQ(box->text().toStdString(), c.initial) << c.name;
  }
  for (const auto& c : kTickControls) {
    auto* tick = w().findChild<QCheckBox*>(c.name);
    ASSERT_EQ(tick, w().tick(c.id)) << c.name;
    EXPECT_EQ(tick->text().toStdString(), c.caption) << c.name;
    EXPECT_EQ(tick->isChecked(), c.initial) << c.name;
  }
  EXPECT_NE(w().findChild<QFrame*>("Line1"), nullptr);
  EXPECT_EQ(std::tuple(w().objectName().toStdString(), w().windowTitle().toStdString(), w().size()),
            std::tuple("Form1", "シーベルト計算 V1.7", QSize(452, 344)));
  EXPECT_TRUE(w().box(Box::doseRate)->font().bold());
  EXPECT_EQ(w().box(Box::doseRate)->font().pointSize(), 12);
  EXPECT_TRUE(w().cmdRec()->isEnabled());
  EXPECT_TRUE(w().cmdStop()->isEnabled());
  // Every control lies inside the client area.
  for (auto* child : w().findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    EXPECT_TRUE(QRect(0, 0, 452, 344).contains(child->geometry()))
        << child->objectName().toStdString();
  }
}

TEST_F(StationTest, UnchangedFirstRunSavesTheDesignLineAtClose) {
  start();
  EXPECT_EQ(w().text(Box::recordPath), programFolder_ + "data/");
  EXPECT_EQ(station_->saveFolder(), programFolder_ + "data/");
  EXPECT_TRUE(fs::exists(programFolder_ + "~Record.tmp"));
  w().close();
  EXPECT_EQ(readBytes(folder_ / "ratemon.ini"), "\"50\",\"3\",\"10\",\"\",\"0.27\",\"2.7\",\"" +
                                                    programFolder_ + "data/\",0,0,1,\"0\"\r\n");
  EXPECT_FALSE(fs::exists(programFolder_ + "~Record.tmp"));
  EXPECT_EQ(audio_->calls.back(), "close");
}

// A logout or the service manager's SIGTERM closes the window as the operator would:
// what was typed is saved and the lock released.
TEST_F(StationTest, AStopSignalSavesWhatWasTypedAsACloseDoes) {
  start();
  closeOnStopSignals(w());
  w().setText(Box::sensitivity, "150");
  ::raise(SIGTERM);
  QTRY_VERIFY(fs::exists(folder_ / "ratemon.ini"));
  EXPECT_NE(readBytes(folder_ / "ratemon.ini").find("\"150\""), std::string::npos);
  EXPECT_FALSE(fs::exists(programFolder_ + "~Record.tmp"));
}

// A double quote typed into a saved box is refused and told (the file could not keep
// it); a threshold outside the label's range is used as typed, and told; so is a record
// path the day files cannot follow.
TEST_F(StationTest, TypedValuesTheFileCannotKeepAreRefusedAndUnusualOnesTold) {
  start();
  QLineEdit* threshold = w().box(Box::threshold);
  threshold->clear();
  QTest::keyClicks(threshold, "9\"0");
  EXPECT_EQ(w().text(Box::threshold), "90");
  EXPECT_NE(message().find("しきい値: 入力を取り消しました"), std::string::npos) << message();
  QTest::keyClick(threshold, Qt::Key_Return);
  EXPECT_NE(message().find("しきい値: 普通の範囲の外です"), std::string::npos) << message();
  EXPECT_NE(message().find("20 から 80"), std::string::npos) << message();
  QLineEdit* record = w().box(Box::recordPath);
  record->clear();
  QTest::keyClicks(record, "/srv/elsewhere/");
  QTest::keyClick(record, Qt::Key_Return);
  EXPECT_NE(message().find("保存先: この値は記録先として使えません"), std::string::npos)
      << message();
  EXPECT_NE(message().find("csv で終わる"), std::string::npos) << message();
  w().close();
  EXPECT_EQ(readBytes(folder_ / "ratemon.ini").substr(0, 5), "\"90\",");
}

TEST_F(StationTest, SavedSettingsComeBackAndTheCsvRuleSetsTheRecordFolder) {
  writeTextFile(programFolder_ + "ratemon.ini",
                "\"45\",\"2\",\"8\",\"\",\"0.3\",\"3.5\",\"/srv/rec/x.csv\",1,0,0,\"12\"\r\n");
  start();
  std::vector<std::string> texts;
  for (const Box box : {Box::threshold, Box::deadBand, Box::resolution, Box::sensitivity,
                        Box::limit1, Box::limit2, Box::recordPath, Box::background})
    texts.push_back(w().text(box));
  EXPECT_EQ(texts,
            (std::vector<std::string>{"45", "2", "8", "", "0.3", "3.5", "/srv/rec/x.csv", "12"}));
  std::vector<bool> ticks;
  for (const Tick tick :
       {Tick::alarm1, Tick::alarm2, Tick::recordFile, Tick::pulseTest, Tick::graph})
    ticks.push_back(w().checked(tick));
  EXPECT_EQ(ticks, (std::vector<bool>{true, false, false, false, false}));
  EXPECT_EQ(station_->saveFolder(), "/srv/rec/");
  w().close();
  EXPECT_EQ(readBytes(folder_ / "ratemon.ini"),
            "\"45\",\"2\",\"8\",\"\",\"0.3\",\"3.5\",\"/srv/rec/x.csv\",1,0,0,\"12\"\r\n");
  // A record path not ending in lower-case .csv keeps the data folder.
  station_.reset();
  for (const std::string path : {"/srv/rec/X.CSV", "/srv/rec/"}) {
    writeTextFile(programFolder_ + "ratemon.ini",
                  "\"50\",\"3\",\"10\",\"1\",\"0.27\",\"2.7\",\"" + path + "\",0,0,1,\"0\"\r\n");
    start();
    EXPECT_EQ(w().text(Box::recordPath), path);
    EXPECT_EQ(station_->saveFolder(), programFolder_ + "data/") << path;
    station_.reset();
  }
}

TEST_F(StationTest, SecondStationInTheSameFolderIsRefusedAndSavesNothing) {
  start();
  StationParts parts;
  parts.programFolder = programFolder_;
  parts.lockPath = programFolder_ + "~Record.tmp";
  parts.input = std::make_unique<FakeAudio>();
  parts.sound = std::make_unique<FakeSound>();
  {
    WindowStation second(std::move(parts));
    second.window().setText(Box::threshold, "99");
    const auto started = second.startup();
    ASSERT_FALSE(started);
    EXPECT_NE(started.error().find("既に起動"), std::string::npos);
  }
  EXPECT_FALSE(fs::exists(folder_ / "ratemon.ini"));
  EXPECT_TRUE(fs::exists(programFolder_ + "~Record.tmp"));
}

TEST_F(StationTest, StartWithoutSensitivityTellsWhyYetResetsTheCountersAndButtonsFollowRecording) {
  start();
  w().setText(Box::elapsed, "77");
  w().setText(Box::total, "5");
  QTest::mouseClick(w().cmdRec(), Qt::LeftButton);
  EXPECT_EQ(message(), "GM菅γ線感度を入力してください");
  EXPECT_FALSE(w().messageBox()->isModal());
  EXPECT_EQ(w().text(Box::elapsed), "0");
  EXPECT_EQ(w().text(Box::total), "0");
  EXPECT_FALSE(audio_->recording);
  EXPECT_TRUE(audio_->calls.empty());
  // With a sensitivity the buttons follow the recording state.
  startRecording();
  EXPECT_FALSE(w().cmdRec()->isEnabled());
  EXPECT_TRUE(w().cmdStop()->isEnabled());
  EXPECT_EQ(w().focusWidget(), w().cmdStop());
  const std::vector<std::string> startCalls(audio_->calls.begin(), audio_->calls.end());
  EXPECT_EQ(std::tuple(startCalls.front(), startCalls[1], startCalls[16], startCalls[17]),
            std::tuple("open", "add 0", "add 15", "start"));

  audio_->deliver(secondWithPulseCount(3));
  EXPECT_EQ(w().text(Box::elapsed), "1");
  EXPECT_EQ(w().text(Box::total), "3");

  audio_->calls.clear();
  QTest::mouseClick(w().cmdStop(), Qt::LeftButton);
  EXPECT_TRUE(w().cmdRec()->isEnabled());
  EXPECT_FALSE(w().cmdStop()->isEnabled());
  EXPECT_EQ(audio_->calls, (std::vector<std::string>{"stop", "close"}));
}

TEST_F(StationTest, SilenceButtonsReArmOnlyTheirOwnStage) {
  start();
  w().tick(Tick::alarm1)->setChecked(true);
  w().tick(Tick::alarm2)->setChecked(true);
  w().setText(Box::limit1, "0.01");
  w().setText(Box::limit2, "0.02");
  startRecording();
  audio_->deliver(secondWithPulseCount(20));
  EXPECT_EQ(sound_->playing, "daini.wav");
  const auto& alarms = station_->cycle().alarms();
  EXPECT_EQ(std::tuple(alarms.alarm1Latch(), alarms.alarm2Latch()), std::tuple(1, 1));

  QTest::mouseClick(w().commandButton(Command::silenceStage1), Qt::LeftButton);
  EXPECT_EQ(sound_->playing, "");
  EXPECT_EQ(std::tuple(alarms.alarm1Latch(), alarms.alarm2Latch()), std::tuple(0, 1));
  audio_->deliver(secondWithPulseCount(20));
  EXPECT_EQ(sound_->playing, "daiichi.wav");

  QTest::mouseClick(w().commandButton(Command::silenceStage2), Qt::LeftButton);
  EXPECT_EQ(sound_->playing, "");
  audio_->deliver(secondWithPulseCount(20));
  EXPECT_EQ(sound_->playing, "daini.wav");
}

TEST_F(StationTest, RecordFolderDialogSetsTheFolderOrChangesNothingWhenCancelled) {
  std::optional<std::string> answer = "/srv/rec/μSVHData_nnnntthh.csv";
  SaveDialogRequest asked;
  start([&](QWidget*, const SaveDialogRequest& r) {
    asked = r;
    return answer;
  });
  QTest::mouseClick(w().commandButton(Command::chooseFolder), Qt::LeftButton);
  EXPECT_EQ(asked.title, "収集データ保存フォルダ");
  EXPECT_EQ(asked.fileName, "μSVHData_nnnntthh.csv");
  EXPECT_EQ(asked.folder, programFolder_ + "data/");
  EXPECT_EQ(asked.filters,
            (std::vector<std::string>{"テキスト ファイル (*.txt *.log)", "すべてのファイル (*)"}));
  EXPECT_EQ(w().text(Box::recordPath), "/srv/rec/μSVHData_nnnntthh.csv");
  EXPECT_EQ(station_->saveFolder(), "/srv/rec/");
  EXPECT_EQ(message(), "/srv/rec/");

  answer.reset();
  w().messageBox()->close();
  QTest::mouseClick(w().commandButton(Command::chooseFolder), Qt::LeftButton);
  EXPECT_EQ(w().text(Box::recordPath), "/srv/rec/μSVHData_nnnntthh.csv");
  EXPECT_EQ(station_->saveFolder(), "/srv/rec/");
}

// A missing dayplot is told and ratemon goes on; one there starts in the station with its
// arguments.
TEST_F(StationTest, DayplotStartsInTheStationWithItsArgumentsOrIsToldMissing) {
  start();
  QTest::mouseClick(w().commandButton(Command::startDayplot), Qt::LeftButton);
  EXPECT_NE(message().find("dayplot"), std::string::npos);
  EXPECT_TRUE(w().isEnabled());
  station_.reset();
  // A stand-in that notes where and how it was started.
  dayplotPath_ = programFolder_ + "dayplot";
  writeTextFile(dayplotPath_, "#!/bin/sh\necho \"$PWD|$*\" > started.txt\n");
  fs::permissions(dayplotPath_, fs::perms::owner_all);
  dayplotArguments_ = {"--station", programFolder_, "--lang", "en"};
  start();
  QTest::mouseClick(w().commandButton(Command::startDayplot), Qt::LeftButton);
  EXPECT_TRUE(message().empty()) << message();
  const std::string noted = programFolder_ + "started.txt";
  QTRY_VERIFY_WITH_TIMEOUT(fs::exists(noted) && fs::file_size(noted) > 0, 5000);
  EXPECT_EQ(readTextFile(noted), fs::path(programFolder_).parent_path().string() + "|--station " +
                                     programFolder_ + " --lang en\n");
}

TEST_F(StationTest, GraphWindowFollowsCheck5AndIsRedrawnEachSecond) {
  start();
  QTest::mouseClick(w().tick(Tick::graph), Qt::LeftButton);
  ASSERT_NE(station_->graphWindow(), nullptr);
  GraphWindow* graph = station_->graphWindow();
  EXPECT_TRUE(graph->isVisible());
  EXPECT_EQ(graph->objectName(), "Form3");
  EXPECT_EQ(graph->windowTitle().toStdString(), "放射線量　リアルタイムグラフ");
  EXPECT_EQ(graph->size(), QSize(719, 395));
  const QImage idle = graph->picture();

  startRecording();
  audio_->deliver(secondWithPulseCount(10));
  EXPECT_NE(graph->picture(), idle);

  graph->close();
  EXPECT_FALSE(w().checked(Tick::graph));

  QTest::mouseClick(w().tick(Tick::graph), Qt::LeftButton);
  ASSERT_NE(station_->graphWindow(), nullptr);
  EXPECT_TRUE(station_->graphWindow()->isVisible());
  QTest::mouseClick(w().tick(Tick::graph), Qt::LeftButton);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(station_->graphWindow(), nullptr);
}

// A record folder that is gone for minutes: its fault is shown when it begins, not again
// each minute, and its end once the kept lines are written.
TEST_F(StationTest, AWriteFaultThatLastsIsShownOnceWhenItBeginsAndOnceWhenItEnds) {
  writeTextFile(programFolder_ + "ratemon.ini", "\"50\",\"3\",\"10\",\"120\",\"0.27\",\"2.7\",\"" +
                                                    programFolder_ +
                                                    "gone/x.csv\",0,0,1,\"0\"\r\n");
  start();
  startRecording();
  const auto minutes = [&](int n) {
    for (int s = 0; s < 60 * n; ++s) audio_->deliver(secondWithPulseCount(1, s));
  };
  minutes(1);
  EXPECT_NE(message().find("記録ファイルに書き込めません"), std::string::npos) << message();
  w().messageBox()->close();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  minutes(2);
  EXPECT_EQ(w().messageBox(), nullptr) << message();
  fs::create_directories(programFolder_ + "gone");
  minutes(1);
  EXPECT_NE(message().find("記録ファイルに再び書き込めます"), std::string::npos) << message();
  const std::string day = readBytes(folder_ / "gone" / dayFileName("20110919"));
  EXPECT_EQ(std::count(day.begin(), day.end(), '\n'), 4);
}

TEST_F(StationTest, PulseTestShowsOneBufferAndStops) {
  start();
  w().tick(Tick::pulseTest)->setChecked(true);
  startRecording();
  audio_->deliver(secondWithPulseCount(2));
  ASSERT_NE(station_->pulseWindow(), nullptr);
  EXPECT_TRUE(station_->pulseWindow()->isVisible());
  EXPECT_EQ(station_->pulseWindow()->windowTitle().toStdString(), "パルステストモード");
  EXPECT_EQ(station_->pulseWindow()->size(), QSize(721, 173));
  EXPECT_FALSE(audio_->recording);
  EXPECT_TRUE(w().cmdRec()->isEnabled());
  audio_->deliver(secondWithPulseCount(2));
  EXPECT_EQ(w().text(Box::elapsed), "1");
}

TEST_F(StationTest, ReadingIntervalPulseIntervalsAndTheCountingSettings) {
  start();
  startRecording();
  for (int s = 0; s < 60; ++s) audio_->deliver(secondWithPulseCount(100));
  EXPECT_EQ(w().text(Box::cpm), "6000");
  const std::string shown = w().intervalLabel()->text().toStdString();
  EXPECT_NE(shown.find("95%区間 CPM 5849.1～6153.8<br>8.124～8.547 μSv/h"), std::string::npos)
      << shown;
  EXPECT_EQ(shown.find("不感時間"), std::string::npos) << shown;  // the correction is off

  QTest::mouseClick(w().commandButton(MainWindow::Command::pulseIntervals), Qt::LeftButton);
  PulseIntervalWindow* view = station_->intervalWindow();
  ASSERT_NE(view, nullptr);
  EXPECT_TRUE(view->isVisible());
  EXPECT_EQ(view->analysis().intervals, PulseIntervals::kKept);
  // Evenly spaced pulses tell no resolving time: none is offered, the scan's own at
  // resolution 10 is told as the least.
  EXPECT_EQ(view->deadTimeBox()->text(), "");
  EXPECT_NE(view->findChild<QLabel*>("labelDeadTimeOffer")->text().indexOf("499"), -1);
  EXPECT_FALSE(view->deadTimeTick()->isChecked());

  // A τ that is no number is told and changes nothing.
  view->deadTimeTick()->setChecked(true);
  view->deadTimeBox()->setText("abc");
  emit view->countingEdited();
  EXPECT_NE(message().find("不感時間が正しくありません"), std::string::npos) << message();
  EXPECT_FALSE(fs::exists(folder_ / "ratemon_counting.ini"));

  view->deadTimeBox()->setText("2000");
  QTest::mouseClick(view->bandTick(), Qt::LeftButton);  // saves and applies both
  EXPECT_EQ(readBytes(folder_ / "ratemon_counting.ini"),
            "dead_time_us=2000\r\ngraph_band=1\r\nalarm_on_evidence=0\r\n");
  EXPECT_FALSE(station_->cycle().alarms().onEvidence());
  QTest::mouseClick(view->evidenceTick(), Qt::LeftButton);
  EXPECT_NE(readBytes(folder_ / "ratemon_counting.ini").find("alarm_on_evidence=1"),
            std::string::npos);
  EXPECT_TRUE(station_->cycle().alarms().onEvidence());
  audio_->deliver(secondWithPulseCount(100));
  EXPECT_EQ(w().text(Box::cpm), "7500");  // 6000 / (1 − 100 · 0.002)
  EXPECT_NE(w().intervalLabel()->text().toStdString().find("μSv/h (τ 2000 μs)"), std::string::npos);
  expectIntervalFits();
  // mτ = 0.4: past the cap, the counted figure as a lower bound, in red; a stage-2 alarm
  // latched meanwhile hides neither the lower bound nor itself.
  w().tick(Tick::alarm2)->setChecked(true);
  w().setText(Box::limit2, "10");
  for (int s = 0; s < 60; ++s) audio_->deliver(secondWithPulseCount(200));
  EXPECT_EQ(w().text(Box::cpm), "12857");  // the rate at the cap, above the 12000 counted
  EXPECT_TRUE(station_->cycle().alarms().alarm2Latch());
  EXPECT_EQ(sound_->playing, "daini.wav");
  const std::string capped = w().intervalLabel()->text().toStdString();
  EXPECT_NE(capped.find("#d00000\">≥ 12857 CPM ≥ 17.857 μSv/h</span><br>95%区間 "),
            std::string::npos)
      << capped;
  expectIntervalFits();
  // A saturated tube is told on the same line, until it is over.
  for (const auto& [kind, words] : {std::pair{EventKind::TubeSaturated, "(GM管の飽和)"},
                                    std::pair{EventKind::TubeSaturatedOk, "(τ 上限超え)"}}) {
    SoundEvent event;
    event.kind = kind;
    station_->soundEvent(event, "");
    audio_->deliver(secondWithPulseCount(200));
    const std::string line = w().intervalLabel()->text().toStdString();
    EXPECT_NE(line.find("#d00000\">≥ 12857 CPM"), std::string::npos) << line;
    EXPECT_NE(line.find(words), std::string::npos) << line;
  }
  DoseResult most;  // the widest it gets
  most.cpm = 199999;
  most.netDoseRate = 1851.842f;
  w().showReadingInterval(messages::readingLowerBound(most, {199999, 60, 199122.6, HUGE_VAL}),
                          true);
  expectIntervalFits();

  // The next start reads the file back.
  w().close();
  station_.reset();
  start();
  EXPECT_DOUBLE_EQ(station_->cycle().deadTimeSeconds(), 0.002);
  EXPECT_TRUE(station_->counting().graphBand);
}

}  // namespace radmon
