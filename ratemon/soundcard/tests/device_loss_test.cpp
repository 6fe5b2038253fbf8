// The card's input taken away and given back on the real sound server of the rig: the
// loss is told within 5 s, no sound is delivered while it lasts, recording resumes by
// itself within 10 s of the return and every pulse played after it is counted.
#include <QElapsedTimer>
#include <QTest>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "build_paths.h"
#include "file_bytes.h"

#include <QMediaDevices>

#include "audio_rig.h"
#include "day_record.h"
#include "event_log.h"
#include "fakes.h"
#include "local_time.h"
#include "pulse_scan.h"
#include "qt_app.h"
#include "sound_card_input.h"
#include "window_station.h"

namespace radmon {
namespace {
namespace fs = std::filesystem;

constexpr const char* kProbe = "radmon_probe";

using rig::PulseCounter;

enum class Loss {
  InputUnloadedBesideAnother,
  OnlyInputUnloaded,
  StreamMoved,
  ServerRestarted,
  StartedBeforeTheInput
};

struct LossCase {
  Loss loss;
  const char* name;
  const char* device;
};

// A failure names the case, not the struct's bytes.
void PrintTo(const LossCase& c, std::ostream* os) { *os << c.name << " (on " << c.device << ")"; }

class DeviceLoss : public ::testing::TestWithParam<LossCase> {
 protected:
  void SetUp() override {
    testApp();
    ASSERT_TRUE(rig::serverUp()) << "no sound server: source scripts/start-audio.sh first";
    restoreRig();  // a run that was killed part-way may have left it changed
    folder_ = fs::temp_directory_path() / ("radmon_loss_" + std::to_string(::getpid()));
    fs::create_directories(folder_);
    wav_ = (folder_ / "tube.wav").string();
    rig::writeTubeRecording(wav_, 6, 10);  // 40 pulses
  }
  void TearDown() override {
    restoreRig();
    fs::remove_all(folder_);
  }
  // The rig as the start script made it: no probe input, the rig's own inputs there.
  static void restoreRig() {
    rig::run("pactl", {"set-default-source", "radmon_mic"});
    rig::removeInput(kProbe);
    for (const auto& [input, sink] : rig::kRigInputs)
      if (rig::moduleOf(input).empty()) rig::addInput(input, sink);
  }
  fs::path folder_;
  std::string wav_;
};

TEST_P(DeviceLoss, IsToldAndRecordingResumesByItselfWithEveryPulseCounted) {
  const LossCase& c = GetParam();
  if (c.loss != Loss::StartedBeforeTheInput) {
    if (c.loss != Loss::ServerRestarted) rig::addInput(kProbe);
    // Qt learns of a new input a moment after the server has it.
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return !SoundCardInput::findDevice(c.device).isNull(); }, 5000));
  }
  SoundCardInput card(c.device, kSampleRate / 10, 16);
  PulseCounter counter(card);
  ASSERT_TRUE(card.openDevice());
  for (int16_t i = 0; i < 16; ++i) card.addBuffer(i);
  counter.clock.start();
  card.startRecording();
  ASSERT_TRUE(card.isRecording());

  qint64 lostAt = 0;
  if (c.loss == Loss::StartedBeforeTheInput) {
    ASSERT_EQ(counter.failures.size(), 1u);
    EXPECT_EQ(counter.failures[0].fault, DeviceFault::NotFound);
    const auto& inputs = counter.failures[0].inputs;
    EXPECT_NE(std::find(inputs.begin(), inputs.end(), "radmon_mic"), inputs.end());
    QTest::qWait(2000);
  } else {
    ASSERT_TRUE(QTest::qWaitFor([&] { return counter.buffers >= 10; }, 5000));
    ASSERT_TRUE(counter.failures.empty());
    lostAt = counter.clock.elapsed();
    switch (c.loss) {
      case Loss::OnlyInputUnloaded:
        for (const auto& [input, sink] : rig::kRigInputs) rig::removeModule(rig::moduleOf(input));
        [[fallthrough]];
      case Loss::InputUnloadedBesideAnother:
        rig::removeModule(rig::moduleOf(kProbe));
        break;
      case Loss::StreamMoved:
        rig::moveOwnStreams("radmon_mic");
        break;
      case Loss::ServerRestarted:
        rig::killServer();
        break;
      case Loss::StartedBeforeTheInput:
        break;
    }
    ASSERT_TRUE(QTest::qWaitFor([&] { return !counter.failures.empty(); }, 5000))
        << "loss not told";
    std::printf("[ figures  ] %s: loss told after %.1f s\n", c.name,
                (counter.failedAt - lostAt) / 1000.0);
    EXPECT_TRUE(card.deviceLost());
    // Nothing is delivered while the input is away.
    const int64_t heard = counter.buffers;
    QTest::qWait(2000);
    EXPECT_EQ(counter.buffers, heard);
  }

  const qint64 returnedAt = counter.clock.elapsed();
  if (c.loss == Loss::ServerRestarted) {
    rig::startServer();
  } else if (c.loss == Loss::StreamMoved) {
    // The input never went away: the station opens it again by itself.
  } else {
    if (c.loss == Loss::OnlyInputUnloaded)
      for (const auto& [input, sink] : rig::kRigInputs) rig::addInput(input, sink);
    rig::addInput(kProbe);
  }
  ASSERT_TRUE(QTest::qWaitFor([&] { return counter.backs == 1; }, 10000)) << "not resumed";
  std::printf("[ figures  ] %s: resumed %.1f s after the input came back\n", c.name,
              (counter.backAt - returnedAt) / 1000.0);
  EXPECT_EQ(counter.failures.size(), 1u) << "told once per loss";
  EXPECT_FALSE(card.deviceLost());
  ASSERT_TRUE(QTest::qWaitFor([&] { return counter.buffers >= 5; }, 5000));
  const int64_t before = counter.pulses;
  ASSERT_TRUE(rig::play(wav_));
  QTest::qWait(4000);  // the sound server's latency and the quiet tail
  EXPECT_EQ(counter.pulses - before, 40);
  card.stopRecording();
  card.closeDevice();
}

// "default" is the input the sound server calls its default when recording starts,
// wherever Qt lists it, and stays that input when the default changes meanwhile.
TEST_F(DeviceLoss, DefaultIsTheServersDefaultInputWhenItIsNotListedFirst) {
  rig::addInput(kProbe);
  rig::run("pactl", {"set-default-source", kProbe});
  ASSERT_TRUE(QTest::qWaitFor([&] { return !SoundCardInput::findDevice(kProbe).isNull(); }, 5000));
  ASSERT_TRUE(QTest::qWaitFor([] { return QMediaDevices::audioInputs().size() >= 2; }, 3000));
  EXPECT_NE(QMediaDevices::audioInputs().first().id().toStdString(), kProbe);
  SoundCardInput card("", kSampleRate / 10, 16);
  PulseCounter counter(card);
  ASSERT_TRUE(card.openDevice());
  for (int16_t i = 0; i < 16; ++i) card.addBuffer(i);
  card.startRecording();
  EXPECT_EQ(card.recordedInput(), kProbe);
  rig::run("pactl", {"set-default-source", "radmon_mic"});
  ASSERT_TRUE(QTest::qWaitFor([&] { return counter.buffers >= 20; }, 5000));
  EXPECT_EQ(card.recordedInput(), kProbe);
  EXPECT_TRUE(counter.failures.empty());
  card.stopRecording();
}

// A cycle that keeps every buffer leaves the card nowhere to put the sound: what it
// drops is reported as it happens, and nothing is delivered meanwhile.
TEST_F(DeviceLoss, SoundWithNoFreeBufferIsReportedAsDropped) {
  SoundCardInput card("radmon_mic", kSampleRate / 10, 4);
  PulseCounter counter(card);
  counter.handBack = false;
  ASSERT_TRUE(card.openDevice());
  for (int16_t i = 0; i < 4; ++i) card.addBuffer(i);
  card.startRecording();
  ASSERT_TRUE(QTest::qWaitFor([&] { return counter.dropped >= kSampleRate; }, 5000));
  EXPECT_EQ(counter.buffers, 4);
  EXPECT_EQ(card.overrunBytes(), counter.dropped);
  EXPECT_TRUE(counter.failures.empty()) << "dropped sound is no lost input";
  card.stopRecording();
}

INSTANTIATE_TEST_SUITE_P(
    Rig, DeviceLoss,
    ::testing::Values(LossCase{Loss::InputUnloadedBesideAnother, "input unloaded, another present",
                               kProbe},
                      LossCase{Loss::OnlyInputUnloaded, "the only input unloaded", kProbe},
                      LossCase{Loss::StreamMoved, "stream moved to another input", kProbe},
                      LossCase{Loss::ServerRestarted, "server killed and restarted", "radmon_mic"},
                      LossCase{Loss::StartedBeforeTheInput, "started before the input", kProbe}),
    [](const auto& info) {
      switch (info.param.loss) {
        case Loss::InputUnloadedBesideAnother:
          return std::string("InputUnloadedBesideAnother");
        case Loss::OnlyInputUnloaded:
          return std::string("OnlyInputUnloaded");
        case Loss::StreamMoved:
          return std::string("StreamMoved");
        case Loss::ServerRestarted:
          return std::string("ServerRestarted");
        case Loss::StartedBeforeTheInput:
          return std::string("StartedBeforeTheInput");
      }
      return std::string();
    });

}  // namespace
}  // namespace radmon

namespace radmon {
namespace {

// The headless program on the card, started before its input exists, the input then
// taken away for twenty seconds and given back: it never ends by itself, logs each loss
// and return, writes no line for the minute that missed sound, a line for the next
// whole minute, and counts every pulse played after the return.
TEST_F(DeviceLoss, HeadlessRatemonWaitsForItsInputSurvivesItsLossAndSkipsTheBrokenMinute) {
  fs::create_directories(folder_ / "data");
  fs::copy_file(fs::path(::radmon::testing::programDir()) / "ratemon", folder_ / "ratemon");
  std::ofstream(folder_ / "ratemon.ini", std::ios::binary)
      << "\"50\",\"3\",\"10\",\"18\",\"0.27\",\"2.7\",\"" << folder_.string()
      << "/data/\",0,0,1,\"0\"\r\n";
  QProcess station;
  station.setWorkingDirectory(QString::fromStdString(folder_.string()));
  station.start(QString::fromStdString((folder_ / "ratemon").string()),
                {"--headless", "--input", kProbe});
  ASSERT_TRUE(station.waitForStarted(5000));
  const std::string day = SystemClock().now().yyyymmdd();
  const fs::path events = folder_ / "data" / eventFileName(day);
  auto logged = [&](const char* kind) {
    return rig::countOf(testing::readBytes(events), std::string("\"") + kind + "\"");
  };

  ASSERT_TRUE(QTest::qWaitFor([&] { return logged("device-lost") == 1; }, 5000))
      << "no input: not told";
  EXPECT_EQ(station.state(), QProcess::Running);
  rig::addInput(kProbe);
  ASSERT_TRUE(QTest::qWaitFor([&] { return logged("device-back") == 1; }, 10000)) << "not resumed";
  QTest::qWait(8000);
  rig::removeModule(rig::moduleOf(kProbe));
  ASSERT_TRUE(QTest::qWaitFor([&] { return logged("device-lost") == 2; }, 5000)) << "loss not told";
  // Three attempts to reopen it fail (one each SoundCardInput::kRetryMs) before it returns.
  QTest::qWait(3 * SoundCardInput::kRetryMs + 1000);
  EXPECT_EQ(station.state(), QProcess::Running) << "ended by itself";
  rig::addInput(kProbe);
  ASSERT_TRUE(QTest::qWaitFor([&] { return logged("device-back") == 2; }, 10000)) << "not resumed";
  // 40 pulses spread over the next two minutes, as a slow tube's: a tube that fell
  // silent for long after a busy start would be told as no signal, its minutes no lines.
  const std::string slow = (folder_ / "slow.wav").string();
  rig::writeSpreadPulses(slow, 115, 40);
  QProcess player;
  player.start("paplay", {"--device=radmon_sink", QString::fromStdString(slow)});
  ASSERT_TRUE(player.waitForStarted(5000));
  // Past the end of the second minute of sound heard.
  const fs::path dayFile = folder_ / "data" / dayFileName(day);
  ASSERT_TRUE(QTest::qWaitFor([&] { return fs::exists(dayFile); }, 130000))
      << "no whole minute: " << station.readAllStandardError().toStdString()
      << testing::readBytes(events);
  ASSERT_TRUE(QTest::qWaitFor([&] { return player.state() == QProcess::NotRunning; }, 20000));
  QTest::qWait(1000);
  ::kill(static_cast<pid_t>(station.processId()), SIGINT);
  ASSERT_TRUE(station.waitForFinished(10000));
  EXPECT_EQ(station.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(station.exitCode(), 0);
  const std::string out = station.readAllStandardOutput().toStdString();
  const std::string file = testing::readBytes(dayFile);
  // One line, the second minute's: elapsed 120 seconds heard.
  EXPECT_EQ(rig::countOf(file, "\r\n"), 1u) << file;
  EXPECT_TRUE(file.ends_with(",120\r\n")) << file;
  EXPECT_NE(out.find(" total=40 "), std::string::npos) << out;
}

}  // namespace
}  // namespace radmon

namespace radmon {
namespace {

// Stopped while its input is lost (a service stop, a logout), the headless program
// closes the loss in the event log; a run on a good input later that day has its
// minutes counted by dayplot, not set aside for the loss.
TEST_F(DeviceLoss, AStopDuringALossClosesItAndALaterRunsMinutesCount) {
  const LocalDateTime now = SystemClock().now();
  if (now.hour == 23 && now.minute >= 45) GTEST_SKIP() << "too near midnight for one day";
  fs::create_directories(folder_ / "data");
  for (const char* program : {"ratemon", "dayplot"})
    fs::copy_file(fs::path(::radmon::testing::programDir()) / program, folder_ / program);
  std::ofstream(folder_ / "ratemon.ini", std::ios::binary)
      << "\"50\",\"3\",\"10\",\"18\",\"0.27\",\"2.7\",\"" << folder_.string()
      << "/data/\",0,0,1,\"0\"\r\n";
  auto run = [&](const QStringList& args) {
    QProcess p;
    p.setWorkingDirectory(QString::fromStdString(folder_.string()));
    p.start(QString::fromStdString((folder_ / args.front().toStdString()).string()), args.mid(1));
    EXPECT_TRUE(p.waitForFinished(60000));
    return std::pair{p.exitCode(), p.readAllStandardOutput().toStdString() +
                                       p.readAllStandardError().toStdString()};
  };
  const fs::path events = folder_ / "data" / eventFileName(now.yyyymmdd());
  auto logged = [&](const char* kind) {
    return rig::countOf(testing::readBytes(events), std::string("\"") + kind + "\"");
  };

  QProcess station;
  station.setWorkingDirectory(QString::fromStdString(folder_.string()));
  station.start(QString::fromStdString((folder_ / "ratemon").string()),
                {"--headless", "--input", kProbe});
  ASSERT_TRUE(station.waitForStarted(5000));
  ASSERT_TRUE(QTest::qWaitFor([&] { return logged("device-lost") == 1; }, 5000));
  ::kill(static_cast<pid_t>(station.processId()), SIGTERM);
  ASSERT_TRUE(station.waitForFinished(10000));
  EXPECT_EQ(station.exitCode(), 0);
  EXPECT_EQ(logged("device-back"), 1) << testing::readBytes(events);

  // Five minutes of a good tube from over two minutes on, at full speed: its first minute
  // may hold sound from a minute before its stamp, by the readers' rule, and still none
  // from the loss.
  const LocalDateTime later = now.plusSeconds(180 - now.second);
  const auto [status, said] =
      run({"ratemon", "--headless", "--input", "sim:20", "--fast", "--seconds", "300", "--start",
           QString::fromStdString(later.isoText())});
  ASSERT_EQ(status, 0) << said;
  const auto [drawn, statistics] =
      run({"dayplot", "--process", QString::fromStdString(now.yyyymmdd())});
  EXPECT_EQ(drawn, 0) << statistics;
  EXPECT_NE(statistics.find("minutes=5 suspect=0"), std::string::npos) << statistics;
}

// The same through the real window: the loss is shown at once (a status line, the
// readings greyed, the chime), recording stays on and resumes by itself, and the pulses
// played after the return are counted. RADMON_SHOT_DIR keeps pictures of the window.
TEST_F(DeviceLoss, TheWindowShowsTheLossAndResumesByItself) {
  rig::addInput(kProbe);
  ASSERT_TRUE(QTest::qWaitFor([&] { return !SoundCardInput::findDevice(kProbe).isNull(); }, 5000));
  fs::create_directories(folder_ / "data");
  StationParts parts;
  parts.programFolder = folder_.string() + "/";
  parts.lockPath = parts.programFolder + "~Record.tmp";
  parts.input = std::make_unique<SoundCardInput>(kProbe);
  auto chime = std::make_unique<FakeSound>();
  FakeSound* chimed = chime.get();
  parts.chime = std::move(chime);
  parts.sound = std::make_unique<FakeSound>();
  WindowStation station(std::move(parts));
  ASSERT_TRUE(station.startup());
  MainWindow& w = station.window();
  w.setText(Box::sensitivity, "120");
  w.show();
  auto shot = [&](const char* name) {
    if (const char* dir = std::getenv("RADMON_SHOT_DIR"))
      w.grab().save(QString::fromStdString(std::string(dir) + "/" + name + ".png"));
  };
  QTest::mouseClick(w.cmdRec(), Qt::LeftButton);
  ASSERT_TRUE(QTest::qWaitFor([&] { return station.cycle().elapsedSeconds() >= 3; }, 6000));
  QLabel* status = station.soundStatus().line();

  rig::removeModule(rig::moduleOf(kProbe));
  ASSERT_TRUE(QTest::qWaitFor([&] { return station.cycle().deviceLost(); }, 5000))
      << "loss not shown";
  EXPECT_FALSE(status->text().isEmpty());
  EXPECT_NE(status->toolTip().toStdString().find(kProbe), std::string::npos)
      << status->toolTip().toStdString();
  EXPECT_FALSE(w.box(Box::cpm)->isEnabled());
  EXPECT_FALSE(w.cmdRec()->isEnabled());
  EXPECT_EQ(chimed->playing, SoundStatus::kChimeFile);
  shot("ratemon-device-lost");
  const int64_t heard = station.cycle().elapsedSeconds();
  QTest::qWait(3000);
  EXPECT_EQ(station.cycle().elapsedSeconds(), heard);

  rig::addInput(kProbe);
  ASSERT_TRUE(QTest::qWaitFor([&] { return !station.cycle().deviceLost(); }, 10000))
      << "not resumed";
  const int64_t before = station.cycle().totalCount();
  ASSERT_TRUE(rig::play(wav_));
  QTest::qWait(4000);
  EXPECT_EQ(station.cycle().totalCount() - before, 40);
  shot("ratemon-device-back");
  EXPECT_TRUE(w.cmdStop()->isEnabled());
  QTest::mouseClick(w.cmdStop(), Qt::LeftButton);
  EXPECT_TRUE(status->text().isEmpty());
  EXPECT_TRUE(w.box(Box::cpm)->isEnabled());
  w.close();
}

}  // namespace
}  // namespace radmon
