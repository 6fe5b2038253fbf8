// The whole sound server away for a long time, on the real server of the rig: killed,
// stopped, or not started yet when recording starts. The card tries again on a new
// connection until it is back, resumes within 10 s of its return and counts every pulse
// played after it; the headless program and the window do the same. An alarm raised while
// the server is away is told once and heard once it is back; the wait is reminded once
// per interval; a process that cannot connect at all ends with status 3. Also the
// headless alarm, heard on the default output unless --silent. Prints the figures it
// measures.
#include <sys/resource.h>

#include <QTest>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "alarm_player.h"
#include "audio_rig.h"
#include "build_paths.h"
#include "event_log.h"
#include "fakes.h"
#include "file_bytes.h"
#include "local_time.h"
#include "qt_app.h"
#include "ratemon_messages.h"
#include "sound_card_source.h"
#include "window_station.h"

namespace radmon {
namespace {
namespace fs = std::filesystem;

enum class Away { Killed, Terminated, NotStartedYet };

struct AwayCase {
  Away away;
  int seconds;  // how long the server is away
  const char* name;
  const char* testName;
};

void PrintTo(const AwayCase& c, std::ostream* os) { *os << c.name; }

class ServerAbsence : public ::testing::TestWithParam<AwayCase> {
 protected:
  void SetUp() override {
    testApp();
    if (!rig::serverUp()) rig::startServer();  // a run killed part-way may have left it off
    ASSERT_TRUE(rig::serverUp()) << "no sound server: source scripts/start-audio.sh first";
    folder_ = fs::temp_directory_path() / ("radmon_away_" + std::to_string(::getpid()));
    fs::create_directories(folder_ / "data");
    wav_ = (folder_ / "tube.wav").string();
    rig::writeTubeRecording(wav_, 6, 10);  // 40 pulses
    train_ = (folder_ / "train.wav").string();
    rig::writeTubeRecording(train_, 14, 20, 0);  // pulses from the first moment on
  }
  void TearDown() override {
    if (!rig::serverUp()) rig::startServer();
    fs::remove_all(folder_);
  }
  // A headless ratemon of its own in the test's folder, on the default input, alarms off.
  void startHeadless(QProcess& station, const QStringList& more = {}) {
    fs::copy_file(fs::path(::radmon::testing::programDir()) / "ratemon", folder_ / "ratemon",
                  fs::copy_options::overwrite_existing);
    station.setWorkingDirectory(QString::fromStdString(folder_.string()));
    station.start(QString::fromStdString((folder_ / "ratemon").string()),
                  QStringList{"--headless"} + more);
    ASSERT_TRUE(station.waitForStarted(5000));
  }
  void writeSettings(bool alarm1) {
    std::ofstream(folder_ / "ratemon.ini", std::ios::binary)
        << "\"50\",\"3\",\"10\",\"18\",\"0.27\",\"1000\",\"" << folder_.string() << "/data/\","
        << (alarm1 ? 1 : 0) << ",0,1,\"0\"\r\n";
  }
  size_t logged(const char* kind) const {
    const fs::path events = folder_ / "data" / eventFileName(SystemClock().now().yyyymmdd());
    return rig::countOf(testing::readBytes(events), std::string("\"") + kind + "\"");
  }
  fs::path folder_;
  std::string wav_, train_;
};

// A pulse train is played from the server's return on: the first pulse counted after it
// gives the time the station was deaf. Then a known recording is counted in full. An
// alarm raised in the middle of the absence is told once and plays on the default output
// once the server is back.
TEST_P(ServerAbsence, TheCardAndTheAlarmComeBackWithTheServer) {
  const AwayCase& c = GetParam();
  SoundCardInput card("", kSampleRate / 10, 16);  // the default input as at start
  AlarmPlayer alarm(folder_.string() + "/");
  std::vector<std::string> alarmUnheard, alarmBack;
  alarm.onUnavailable([&](const std::string& output) { alarmUnheard.push_back(output); });
  alarm.onBack([&](const std::string& output) { alarmBack.push_back(output); });
  rig::PulseCounter counter(card);
  ASSERT_TRUE(card.openDevice());
  for (int16_t i = 0; i < 16; ++i) card.addBuffer(i);
  counter.clock.start();
  if (c.away == Away::NotStartedYet) {
    rig::killServer(SIGTERM);
    card.startRecording();
    ASSERT_EQ(counter.failures.size(), 1u);
    EXPECT_EQ(counter.failures[0].fault, DeviceFault::ServerGone);
    // The server never said which input is its default.
    EXPECT_EQ(counter.failures[0].device, "");
    SoundEvent lost;
    lost.kind = EventKind::DeviceLost;
    lost.failure = counter.failures[0];
    EXPECT_NE(messages::soundEvent(lost).find("既定の録音デバイス"), std::string::npos);
  } else {
    card.startRecording();
    ASSERT_TRUE(QTest::qWaitFor([&] { return counter.buffers >= 10; }, 5000));
    const qint64 lostAt = counter.clock.elapsed();
    rig::killServer(c.away == Away::Killed ? SIGKILL : SIGTERM);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !counter.failures.empty(); }, 5000))
        << "loss not told";
    std::printf("[ figures  ] %s: loss told after %.1f s\n", c.name,
                (counter.failedAt - lostAt) / 1000.0);
    // Named, even as the default input.
    EXPECT_EQ(counter.failures[0].device, "radmon_mic");
  }
  EXPECT_TRUE(card.isRecording());
  QTest::qWait(c.seconds * 500);
  alarm.playLoop("daiichi.wav");
  QTest::qWait(c.seconds * 500 - 1000);
  EXPECT_TRUE(card.deviceLost());
  EXPECT_EQ(counter.failures.size(), 1u) << "told once however long the wait";
  EXPECT_EQ(alarmUnheard, std::vector<std::string>{""}) << "the unheard alarm told once";
  EXPECT_EQ(rig::playsOn(::getpid()), "");

  rig::startServer();
  const qint64 returnedAt = counter.clock.elapsed();
  QProcess train;
  train.start("paplay",
              {"--latency-msec=20", "--device=radmon_sink", QString::fromStdString(train_)});
  const std::string speaker = rig::sinkIndex("radmon_speaker");
  ASSERT_TRUE(QTest::qWaitFor([&] { return rig::playsOn(::getpid()) == speaker; }, 10000))
      << "the alarm not heard after the return";
  std::printf("[ figures  ] %s: alarm heard %.1f s after the return\n", c.name,
              (counter.clock.elapsed() - returnedAt) / 1000.0);
  EXPECT_TRUE(alarm.sounding());
  EXPECT_EQ(alarmUnheard.size(), 1u);
  // Its return is told too, naming the output, within a look of the player.
  EXPECT_TRUE(QTest::qWaitFor([&] { return !alarmBack.empty(); }, 2 * AlarmPlayer::kLookMs))
      << "the alarm's return not told";
  EXPECT_EQ(alarmBack, std::vector<std::string>{"radmon_speaker"});
  ASSERT_TRUE(QTest::qWaitFor([&] { return counter.backs == 1; }, 10000)) << "not resumed";
  ASSERT_TRUE(QTest::qWaitFor([&] { return counter.lastPulseAt > returnedAt; }, 10000))
      << "no pulse counted after the return";
  const qint64 firstPulseAt = counter.lastPulseAt;
  std::printf("[ figures  ] %s: resumed %.1f s, first pulse counted %.1f s after the return\n",
              c.name, (counter.backAt - returnedAt) / 1000.0, (firstPulseAt - returnedAt) / 1000.0);
  EXPECT_LE(firstPulseAt - returnedAt, 10000);
  ASSERT_TRUE(QTest::qWaitFor([&] { return train.state() == QProcess::NotRunning; }, 20000));
  QTest::qWait(3000);
  const int64_t before = counter.pulses;
  ASSERT_TRUE(rig::play(wav_));
  QTest::qWait(4000);
  EXPECT_EQ(counter.pulses - before, 40);
  EXPECT_FALSE(card.deviceLost());
  EXPECT_FALSE(card.broken());
  alarm.stop();
  EXPECT_TRUE(QTest::qWaitFor([&] { return rig::playsOn(::getpid()).empty(); }, 2000));
  // Raised again now that the server is back: heard at once.
  alarm.playLoop("daini.wav");
  EXPECT_TRUE(QTest::qWaitFor([&] { return rig::playsOn(::getpid()) == speaker; }, 2000));
  alarm.stop();
  EXPECT_EQ(alarmBack.size(), 1u) << "a return is told once";
  card.stopRecording();
  card.closeDevice();
}

INSTANTIATE_TEST_SUITE_P(
    Rig, ServerAbsence,
    ::testing::Values(AwayCase{Away::Killed, 20, "killed for 20 s", "Killed20s"},
                      AwayCase{Away::Terminated, 5, "stopped with SIGTERM for 5 s", "Terminated5s"},
                      AwayCase{Away::NotStartedYet, 10, "started 10 s before the server",
                               "StartedBeforeTheServer"}),
    [](const auto& info) { return std::string(info.param.testName); });

// The real programs through one absence of 20 s: the headless station, started 10 s
// before the server exists, and the window, recording when the server is killed. Both
// come back within 10 s of each return and count the pulses played after it.
TEST_F(ServerAbsence, HeadlessAndWindowComeBackAfterTheServerWasAway) {
  writeSettings(false);
  rig::killServer(SIGTERM);
  QProcess headless;
  startHeadless(headless, {"--input", "default"});
  ASSERT_TRUE(QTest::qWaitFor([&] { return logged("device-lost") == 1; }, 5000)) << "not told";
  QTest::qWait(9000);
  EXPECT_EQ(headless.state(), QProcess::Running);
  QElapsedTimer back;
  rig::startServer();
  back.start();
  ASSERT_TRUE(QTest::qWaitFor([&] { return logged("device-back") == 1; }, 10000))
      << "headless not resumed after a start before the server";
  std::printf("[ figures  ] headless, started before the server: resumed within %.1f s\n",
              back.elapsed() / 1000.0);

  StationParts parts;
  parts.programFolder = (folder_ / "window").string() + "/";
  fs::create_directories(folder_ / "window" / "data");
  parts.lockPath = parts.programFolder + "~Record.tmp";
  parts.input = std::make_unique<SoundCardInput>("");
  parts.chime = std::make_unique<FakeSound>();
  parts.sound = std::make_unique<FakeSound>();
  WindowStation station(std::move(parts));
  ASSERT_TRUE(station.startup());
  MainWindow& w = station.window();
  w.setText(Box::sensitivity, "120");
  w.show();
  QTest::mouseClick(w.cmdRec(), Qt::LeftButton);
  ASSERT_TRUE(QTest::qWaitFor([&] { return station.cycle().elapsedSeconds() >= 3; }, 6000));

  rig::killServer(SIGKILL);
  ASSERT_TRUE(QTest::qWaitFor([&] { return station.cycle().deviceLost(); }, 5000));
  ASSERT_TRUE(QTest::qWaitFor([&] { return logged("device-lost") == 2; }, 5000));
  EXPECT_NE(station.soundStatus().line()->toolTip().toStdString().find("radmon_mic"),
            std::string::npos);
  QTest::qWait(19000);
  rig::startServer();
  back.restart();
  ASSERT_TRUE(QTest::qWaitFor([&] { return !station.cycle().deviceLost(); }, 10000))
      << "window not resumed";
  const qint64 windowBack = back.elapsed();
  ASSERT_TRUE(QTest::qWaitFor([&] { return logged("device-back") == 2; }, 10000))
      << "headless not resumed";
  std::printf("[ figures  ] killed for 20 s: window resumed %.1f s, headless within %.1f s\n",
              windowBack / 1000.0, back.elapsed() / 1000.0);

  const int64_t before = station.cycle().totalCount();
  ASSERT_TRUE(rig::play(wav_));
  QTest::qWait(4000);
  EXPECT_EQ(station.cycle().totalCount() - before, 40);
  // Stopped and started again after the absence, it opens the input at once.
  QTest::mouseClick(w.cmdStop(), Qt::LeftButton);
  QTest::mouseClick(w.cmdRec(), Qt::LeftButton);
  EXPECT_TRUE(QTest::qWaitFor([&] { return station.cycle().elapsedSeconds() >= 2; }, 5000));
  EXPECT_FALSE(station.cycle().deviceLost());
  QTest::mouseClick(w.cmdStop(), Qt::LeftButton);
  w.close();

  ::kill(static_cast<pid_t>(headless.processId()), SIGINT);
  ASSERT_TRUE(headless.waitForFinished(10000));
  EXPECT_EQ(headless.exitCode(), 0);
  const std::string out = headless.readAllStandardOutput().toStdString();
  // Nothing else was played while it listened.
  EXPECT_NE(out.find(" total=40 "), std::string::npos) << out;
  // Each loss names the input: the default one before the server ever said which it is,
  // radmon_mic once it had.
  const std::string err = headless.readAllStandardError().toStdString();
  const size_t second = err.find("録音デバイス「radmon_mic」");
  EXPECT_NE(second, std::string::npos) << err;
  EXPECT_LT(err.find("既定の録音デバイス"), second) << err;
}

// A station started 25 s before the sound server, as a service may be at boot: the first
// minute of sound it hears is written, its line's elapsed 60, a minute after the sound came.
TEST_F(ServerAbsence, HeadlessStartedBeforeTheServerWritesItsFirstMinute) {
  writeSettings(false);
  rig::killServer(SIGTERM);
  QProcess headless;
  startHeadless(headless, {"--input", "default"});
  const std::string tube = (folder_ / "minute.wav").string();
  rig::writeTubeRecording(tube, 80, 2, 0);  // a tube from the first moment: no flat input
  QTest::qWait(25000);
  rig::startServer();
  QProcess player;
  player.start("paplay",
               {"--latency-msec=20", "--device=radmon_sink", QString::fromStdString(tube)});
  ASSERT_TRUE(QTest::qWaitFor([&] { return logged("device-back") == 1; }, 10000));
  QElapsedTimer sound;
  sound.start();
  std::string out;
  auto firstLine = [&] {
    out += headless.readAllStandardOutput().toStdString();
    const size_t at = out.find("\"" + std::to_string(SystemClock().now().year) + "/");
    return at != std::string::npos && out.find('\n', at) != std::string::npos;
  };
  ASSERT_TRUE(QTest::qWaitFor(firstLine, 75000)) << out;
  const qint64 after = sound.elapsed();
  const size_t from = out.find("\"" + std::to_string(SystemClock().now().year) + "/");
  std::string line = out.substr(from, out.find('\n', from) - from);
  while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.pop_back();
  EXPECT_EQ(line.substr(line.rfind(',') + 1), "60") << line;
  EXPECT_GT(after, 55000) << line;
  EXPECT_LT(after, 65000) << line;
  std::printf(
      "[ figures  ] started 25 s before the server: first line %.1f s after the sound "
      "came: %s\n",
      after / 1000.0, line.c_str());
  ::kill(static_cast<pid_t>(headless.processId()), SIGINT);
  ASSERT_TRUE(headless.waitForFinished(10000));
  EXPECT_EQ(headless.exitCode(), 0);
  player.kill();
  player.waitForFinished(2000);
}

// The headless card's wait, with a reminder every 3 s instead of 10 minutes: the loss told
// once, one reminder per interval while the server is away (naming the input), and
// nothing more once it is back.
TEST_F(ServerAbsence, TheWaitIsToldOnceAndRemindedOncePerInterval) {
  constexpr int64_t kEveryMs = 3000;
  std::ostringstream log;
  DrivenInput driven = drivenSoundCard("", nullptr, log, std::chrono::milliseconds(kEveryMs));
  auto& card = static_cast<SoundCardInput&>(*driven.input);
  rig::PulseCounter counter(card);
  counter.clock.start();
  ASSERT_TRUE(card.openDevice());
  for (int16_t i = 0; i < card.bufferCount(); ++i) card.addBuffer(i);
  rig::killServer(SIGTERM);
  card.startRecording();
  ASSERT_EQ(counter.failures.size(), 1u);
  QTimer::singleShot(10000, [] { rig::startServer(); });
  ASSERT_TRUE(driven.deliverNext()) << log.str();
  ASSERT_EQ(counter.backs, 1);
  const std::string waiting = "を待っています";
  // The reminders' clock starts a moment after the loss: one fewer at an interval's edge.
  const int64_t intervals = (counter.backAt - counter.failedAt) / kEveryMs;
  const size_t reminders = rig::countOf(log.str(), waiting);
  EXPECT_TRUE(reminders == size_t(intervals) || reminders + 1 == size_t(intervals))
      << reminders << " reminders in " << intervals << " intervals:\n"
      << log.str();
  EXPECT_GE(reminders, 2u);
  // Each names the input: the default one while the server is away; the one it names
  // (radmon_mic) in the moment between its return and the stream's.
  EXPECT_EQ(rig::countOf(log.str(), "既定の録音デバイスを待って") +
                rig::countOf(log.str(), "録音デバイス「radmon_mic」を待って"),
            reminders)
      << log.str();
  EXPECT_GE(rig::countOf(log.str(), "既定の録音デバイスを待って"), reminders - 1) << log.str();
  for (int i = 0; i < 5; ++i) ASSERT_TRUE(driven.deliverNext());
  EXPECT_EQ(rig::countOf(log.str(), waiting), reminders) << "reminded after the return";
  EXPECT_EQ(counter.failures.size(), 1u);
  EXPECT_FALSE(driven.broken());
  card.stopRecording();
  card.closeDevice();
}

// A process in which no connection to the sound server can be made at all (here no
// thread can be started: every thread would need a stack larger than the address space)
// ends at once with status 3, which the service unit restarts on, and says why.
TEST_F(ServerAbsence, HeadlessEndsWithStatus3WhenItCannotConnectAtAll) {
#if defined(__SANITIZE_THREAD__)
  // So large a stack limit moves the process's memory where ThreadSanitizer's shadow
  // must be: the station dies with "unexpected memory mapping" before main().
  GTEST_SKIP() << "the stack limit that stops every thread breaks ThreadSanitizer's layout";
#endif
  writeSettings(false);
  QProcess station;
  station.setChildProcessModifier([] {
    rlimit stack{};
    ::getrlimit(RLIMIT_STACK, &stack);
    stack.rlim_cur = std::min<rlim_t>(rlim_t(1) << 48, stack.rlim_max);
    ::setrlimit(RLIMIT_STACK, &stack);
  });
  startHeadless(station, {"--input", "default"});
  ASSERT_TRUE(station.waitForFinished(10000)) << "hung instead of ending";
  EXPECT_EQ(station.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(station.exitCode(), kExitSoundBroken);
  const std::string err = station.readAllStandardError().toStdString();
  EXPECT_NE(err.find(messages::soundBroken()), std::string::npos) << err;
}

// Alarm 1 held by 600 CPM of a simulated tube: a playback stream of the headless
// program is on the default output (radmon_speaker) while it holds; with --silent there
// is none, and the alarm is told all the same.
TEST_F(ServerAbsence, HeadlessAlarmSoundsOnTheDefaultOutputUnlessSilent) {
  writeSettings(true);
  const std::string speaker = rig::sinkIndex("radmon_speaker");
  ASSERT_FALSE(speaker.empty());
  for (const bool silent : {false, true}) {
    QProcess station;
    startHeadless(station, silent ? QStringList{"--input", "sim:600", "--silent"}
                                  : QStringList{"--input", "sim:600"});
    std::string err;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
          err += station.readAllStandardError().toStdString();
          return err.find("第一段警報") != std::string::npos;
        },
        10000))
        << err;
    auto playsOn = [&] { return rig::playsOn(station.processId()); };
    if (silent) {
      QTest::qWait(3000);
      EXPECT_EQ(playsOn(), "") << "sounded with --silent";
    } else {
      EXPECT_TRUE(QTest::qWaitFor([&] { return playsOn() == speaker; }, 5000))
          << "no alarm stream on the default output: " << playsOn();
    }
    ::kill(static_cast<pid_t>(station.processId()), SIGINT);
    ASSERT_TRUE(station.waitForFinished(10000));
    EXPECT_EQ(station.exitCode(), 0) << silent;
  }
}

}  // namespace
}  // namespace radmon
