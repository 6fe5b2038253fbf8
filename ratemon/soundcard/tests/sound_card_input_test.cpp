// End to end through the real sound server: a recording with a known number of tube
// pulses is played into the null sink while the station records the sink's monitor
// (remapped as a source) through the sound-card input. Needs the server of
// scripts/start-audio.sh.
#include "sound_card_input.h"

#include "alarm_player.h"
#include "alarm_tones.h"
#include "build_paths.h"
#include "sound_card_source.h"
#include "sound_server.h"

#include <sndfile.h>

#include <QMediaDevices>
#include <QProcess>
#include <QTest>
#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "audio_rig.h"
#include "fakes.h"
#include "qt_app.h"
#include "window_station.h"

namespace radmon {
namespace fs = std::filesystem;

namespace {

std::string deviceName() {
  for (const char* name : {"radmon_mic", "ci_mic"})
    if (!SoundCardInput::findDevice(name).isNull()) return name;
  return {};
}

// Keeps how loud each delivered buffer was (largest distance from the quiet level 128).
class LoudnessMeter final : public AudioInput::Events {
 public:
  explicit LoudnessMeter(SoundCardInput& input) : input_(input) { input_.setEvents(this); }
  ~LoudnessMeter() override { input_.setEvents(nullptr); }
  void bufferDone(int16_t index, int32_t count, int16_t flag) override {
    std::vector<uint8_t> s(static_cast<size_t>(count));
    input_.getBufferData(s.data(), index, count);
    int peak = 0;
    for (uint8_t v : s) peak = std::max(peak, std::abs(int(v) - 128));
    peaks.push_back(peak);
    if (flag == 0) input_.addBuffer(index);
  }
  void stateChanged() override {}
  bool loudSince(size_t from, int level) const {
    for (size_t i = from; i < peaks.size(); ++i)
      if (peaks[i] >= level) return true;
    return false;
  }
  std::vector<int> peaks;

 private:
  SoundCardInput& input_;
};

}  // namespace

TEST(SoundCardInput, CountsThePulsesPlayedIntoTheSinkAndWritesMinuteLines) {
  testApp();
  ASSERT_FALSE(QMediaDevices::audioInputs().isEmpty())
      << "no sound server with an input: source scripts/start-audio.sh first";
  const fs::path folder = fs::temp_directory_path() / ("radmon_card_" + std::to_string(::getpid()));
  fs::remove_all(folder);
  fs::create_directories(folder / "data");
  const std::string wav = (folder / "tube.wav").string();
  rig::writeTubeRecording(wav, 6, 10);  // 40 pulses

  // Buffers of a tenth of a second: a "minute" of the cycle passes in 6 s of sound.
  StationParts parts;
  parts.programFolder = folder.string() + "/";
  parts.lockPath = parts.programFolder + "~Record.tmp";
  auto card = std::make_unique<SoundCardInput>(deviceName(), kSampleRate / 10, 16);
  SoundCardInput* input = card.get();
  parts.input = std::move(card);
  parts.sound = std::make_unique<FakeSound>();
  parts.clock = std::make_unique<ManualClock>(LocalDateTime{2011, 9, 19, 10, 0, 0});
  WindowStation station(std::move(parts));
  ASSERT_TRUE(station.startup());
  MainWindow& w = station.window();
  w.setText(Box::sensitivity, "120");

  QTest::mouseClick(w.cmdRec(), Qt::LeftButton);
  ASSERT_TRUE(input->isRecording());
  ASSERT_FALSE(input->deviceLost());
  EXPECT_FALSE(w.cmdRec()->isEnabled());
  ASSERT_TRUE(QTest::qWaitFor([&] { return station.cycle().elapsedSeconds() >= 3; }, 5000));

  ASSERT_TRUE(rig::play(wav));
  // The sound reaches the source a little later; then let the quiet tail come in.
  ASSERT_TRUE(QTest::qWaitFor([&] { return station.cycle().totalCount() >= 40; }, 5000));
  const int64_t at = station.cycle().elapsedSeconds();
  const int64_t until = std::max<int64_t>(at + 10, 61);
  EXPECT_TRUE(QTest::qWaitFor([&] { return station.cycle().elapsedSeconds() >= until; }, 8000));
  QTest::mouseClick(w.cmdStop(), Qt::LeftButton);
  EXPECT_FALSE(input->isRecording());
  EXPECT_TRUE(w.cmdRec()->isEnabled());

  EXPECT_EQ(station.cycle().totalCount(), 40);
  EXPECT_EQ(w.text(Box::total), "40");
  EXPECT_EQ(input->overrunBytes(), 0);

  // No buffer after the stop.
  const int64_t stoppedAt = station.cycle().elapsedSeconds();
  QTest::qWait(500);
  EXPECT_EQ(station.cycle().elapsedSeconds(), stoppedAt);

  std::ifstream file(folder / "data" / "μSVHData20110919.csv", std::ios::binary);
  ASSERT_TRUE(file) << "no record file";
  std::string line;
  int lines = 0;
  while (std::getline(file, line)) {
    ++lines;
    EXPECT_EQ(line.rfind("\"2011/09/19\",\"10:00\",", 0), 0u) << line;
    std::string elapsed = ",";
    elapsed += std::to_string(60 * lines);
    elapsed += '\r';
    EXPECT_TRUE(line.ends_with(elapsed)) << line;
  }
  EXPECT_EQ(lines, stoppedAt / 60);
  w.close();
  fs::remove_all(folder);
}

// The alarm plays on the system's default output (the rig's radmon_speaker), never
// into the sink the station records, even though that sink is listed first.
TEST(AlarmPlayerSound, LoopsOnTheDefaultOutputReplacesAndStops) {
  testApp();
  ASSERT_FALSE(SoundCardInput::findDevice("radmon_speaker_mic").isNull())
      << "no radmon_speaker_mic input: source scripts/start-audio.sh first";
  const fs::path folder =
      fs::temp_directory_path() / ("radmon_alarm_" + std::to_string(::getpid()));
  fs::remove_all(folder);
  fs::create_directories(folder);
  ASSERT_TRUE(writeAlarmWav((folder / "daiichi.wav").string(), AlarmPattern::Stage1));
  ASSERT_TRUE(writeAlarmWav((folder / "daini.wav").string(), AlarmPattern::Stage2));
  AlarmPlayer player(folder.string() + "/");

  SoundCardInput speaker("radmon_speaker_mic", kSampleRate / 10, 16);
  SoundCardInput recorded(deviceName(), kSampleRate / 10, 16);
  LoudnessMeter meter(speaker);
  LoudnessMeter station(recorded);
  for (SoundCardInput* input : {&speaker, &recorded}) {
    ASSERT_TRUE(input->openDevice());
    for (int16_t i = 0; i < 16; ++i) input->addBuffer(i);
    input->startRecording();
    ASSERT_TRUE(input->isRecording());
  }
  ASSERT_TRUE(
      QTest::qWaitFor([&] { return meter.peaks.size() >= 5 && station.peaks.size() >= 5; }, 5000));
  EXPECT_FALSE(meter.loudSince(0, 20)) << "the output was not quiet before the alarm";

  player.playLoop("daiichi.wav");
  ASSERT_TRUE(QTest::qWaitFor([&] { return meter.loudSince(0, 40); }, 6000));
  // Still sounding after more than one loop of 0.8 s: it loops.
  QTest::qWait(2000);
  size_t from = meter.peaks.size() - 5;
  EXPECT_TRUE(meter.loudSince(from, 40));

  player.playLoop("daini.wav");
  EXPECT_EQ(fs::path(player.playingFile()).filename(), "daini.wav");
  QTest::qWait(1500);
  from = meter.peaks.size() - 5;
  EXPECT_TRUE(meter.loudSince(from, 40));
  EXPECT_FALSE(station.loudSince(0, 20)) << "the alarm reached the recorded input";

  player.stop();
  QTest::qWait(2500);
  from = meter.peaks.size() - 5;
  EXPECT_FALSE(meter.loudSince(from, 20)) << "still sounding after stop";
  for (SoundCardInput* input : {&speaker, &recorded}) {
    input->stopRecording();
    input->closeDevice();
  }
  fs::remove_all(folder);
}

// The headless station records the same monitor through the card: the real program,
// started from a folder of its own, counts what is played while it listens.
TEST(SoundCardInput, HeadlessRatemonCountsThePulsesFromTheCard) {
  testApp();
  const std::string device = deviceName();
  ASSERT_FALSE(device.empty()) << "no radmon_mic source: source scripts/start-audio.sh first";
  const fs::path folder =
      fs::temp_directory_path() / ("radmon_hcard_" + std::to_string(::getpid()));
  fs::remove_all(folder);
  fs::create_directories(folder / "data");
  fs::copy_file(fs::path(::radmon::testing::programDir()) / "ratemon", folder / "ratemon");
  std::ofstream(folder / "ratemon.ini", std::ios::binary)
      << "\"50\",\"3\",\"10\",\"18\",\"0.27\",\"2.7\",\"" << folder.string()
      << "/data/\",0,0,1,\"0\"\r\n";
  const std::string wav = (folder / "tube.wav").string();
  rig::writeTubeRecording(wav, 6, 10);  // 40 pulses

  QProcess station;
  station.setWorkingDirectory(QString::fromStdString(folder.string()));
  station.start(QString::fromStdString((folder / "ratemon").string()),
                {"--headless", "--input", QString::fromStdString(device), "--seconds", "14"});
  ASSERT_TRUE(station.waitForStarted(5000));
  QTest::qWait(3000);  // the device is open and the first buffers are filling
  ASSERT_TRUE(rig::play(wav));
  ASSERT_TRUE(station.waitForFinished(30000)) << "ratemon did not end after 14 s of sound";
  const std::string out = station.readAllStandardOutput().toStdString();
  const std::string err = station.readAllStandardError().toStdString();
  EXPECT_EQ(station.exitCode(), 0) << err;
  EXPECT_NE(out.find("summary elapsed=14 total=40 "), std::string::npos) << out << err;
  fs::remove_all(folder);
}

// An output's monitor is an input like any other: the sink's own monitor, by its name,
// counts what is played into the sink; one that is not there is told among the inputs
// present, named as a monitor.
TEST(SoundCardInput, AnOutputsMonitorIsOfferedAsAnInput) {
  testApp();
  const auto server = askSoundServer();
  ASSERT_TRUE(server) << "no sound server: source scripts/start-audio.sh first";
  const SoundServerInput* monitor = server->find("radmon_sink.monitor");
  ASSERT_TRUE(monitor);
  EXPECT_FALSE(monitor->description.empty());
  EXPECT_EQ(server->find(monitor->description), monitor);

  const fs::path folder = fs::temp_directory_path() / ("radmon_mon_" + std::to_string(::getpid()));
  fs::remove_all(folder);
  fs::create_directories(folder / "data");
  const std::string wav = (folder / "tube.wav").string();
  rig::writeTubeRecording(wav, 6, 10);  // 40 pulses
  SoundCardInput card("radmon_sink.monitor", kSampleRate / 10, 16);
  rig::PulseCounter counter(card);
  counter.clock.start();
  ASSERT_TRUE(card.openDevice());
  for (int16_t i = 0; i < 16; ++i) card.addBuffer(i);
  card.startRecording();
  ASSERT_TRUE(QTest::qWaitFor([&] { return counter.buffers >= 10; }, 5000));
  EXPECT_EQ(card.recordedInput(), "radmon_sink.monitor");
  ASSERT_TRUE(rig::play(wav));
  // The monitor delivers what was played a little later, later still on a busy machine:
  // wait for the fortieth pulse, then long enough for a forty-first to show if one were
  // counted twice.
  EXPECT_TRUE(QTest::qWaitFor([&] { return counter.pulses >= 40; }, 10000))
      << counter.pulses << " pulses, " << counter.dropped << " bytes dropped";
  QTest::qWait(1000);
  EXPECT_EQ(counter.pulses, 40);
  EXPECT_EQ(counter.dropped, 0);
  EXPECT_TRUE(counter.failures.empty());
  card.stopRecording();
  card.closeDevice();

  SoundCardInput missing("no_such_sink.monitor", kSampleRate / 10, 16);
  rig::PulseCounter told(missing);
  ASSERT_TRUE(missing.openDevice());
  missing.startRecording();
  ASSERT_EQ(told.failures.size(), 1u);
  const auto& inputs = told.failures[0].inputs;
  EXPECT_NE(std::find(inputs.begin(), inputs.end(), "radmon_sink.monitor"), inputs.end());
  missing.stopRecording();
  fs::remove_all(folder);
}

TEST(SoundCardSource, NamesTheCardUnlessAFileOrSimulationIsMeant) {
  testApp();
  EXPECT_EQ(soundCardDeviceName("default"), "");
  EXPECT_EQ(soundCardDeviceName("device:radmon_mic"), "radmon_mic");
  EXPECT_EQ(soundCardDeviceName("sim:20"), std::nullopt);
  EXPECT_EQ(soundCardDeviceName("no-such-file.wav"), std::nullopt);
  EXPECT_EQ(soundCardDeviceName("no/such/file"), std::nullopt);
  // A bare name that is no input is still meant as one: it is told with the inputs.
  EXPECT_EQ(soundCardDeviceName("no-such-input"), "no-such-input");
  const std::string device = deviceName();
  ASSERT_FALSE(device.empty());
  EXPECT_EQ(soundCardDeviceName(device), device);
  // A file of the same name as a device is the file.
  const fs::path file = fs::temp_directory_path() / ("radmon_src_" + std::to_string(::getpid()));
  fs::create_directories(file);
  const fs::path same = file / device;
  std::ofstream(same) << "x";
  EXPECT_EQ(soundCardDeviceName(same.string()), std::nullopt);
  fs::current_path(file);
  EXPECT_EQ(soundCardDeviceName(device), std::nullopt);
  fs::current_path(fs::temp_directory_path());
  fs::remove_all(file);
}

}  // namespace radmon
