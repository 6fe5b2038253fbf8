#include "wav_file_input.h"

#include <gtest/gtest.h>
#include <sndfile.h>

#include <filesystem>
#include <fstream>

#include "pulse_scan.h"
#include "recording_receiver.h"
#include "tube_simulator.h"

namespace radmon {
namespace {

std::string tempPath(const std::string& name) {
  const auto* test = testing::UnitTest::GetInstance()->current_test_info();
  return testing::TempDir() + test->name() + "_" + name;
}

// Writes `frames` frames through libsndfile with `write` doing the data.
template <typename Write>
std::string writeSound(const std::string& name, int format, int channels, int rate, Write write) {
  const std::string path = tempPath(name);
  SF_INFO info{};
  info.samplerate = rate;
  info.channels = channels;
  info.format = format;
  SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
  EXPECT_NE(file, nullptr) << sf_strerror(nullptr);
  if (file) {
    write(file);
    sf_close(file);
  }
  return path;
}

std::vector<uint8_t> readAll(WavFileInput& input, std::vector<int32_t>* counts = nullptr) {
  RecordingReceiver rx(input);
  rx.start();
  for (int guard = 0; guard < 100000 && input.deliverNext(); ++guard) {
  }
  EXPECT_FALSE(input.isRecording());
  if (counts) *counts = rx.counts;
  return rx.bytes;
}

TEST(WavFileInput, EightBitFileComesBackByteForByteInOneSecondBuffers) {
  std::vector<uint8_t> data(2 * kBufferSize + 777);
  for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(i * 31 % 256);
  const auto path = writeSound(
      "u8.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_U8, 1, kSampleRate,
      [&](SNDFILE* f) { sf_write_raw(f, data.data(), static_cast<sf_count_t>(data.size())); });
  WavFileInput input(path);
  std::vector<int32_t> counts;
  EXPECT_EQ(readAll(input, &counts), data);
  EXPECT_EQ(counts, (std::vector<int32_t>{kBufferSize, kBufferSize, 777}));
  // Opening again plays it from the start.
  EXPECT_EQ(readAll(input), data);
}

TEST(WavFileInput, FinerFormatsAreRoundedToTheNearestEightBitStep) {
  const std::vector<short> pcm16 = {-32768, -32767, -129, -127, 0, 127, 128, 256, 32767};
  const std::vector<uint8_t> from16 = {0, 0, 127, 128, 128, 128, 129, 129, 255};
  const auto path16 = writeSound(
      "s16.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 1, kSampleRate,
      [&](SNDFILE* f) { sf_write_short(f, pcm16.data(), static_cast<sf_count_t>(pcm16.size())); });
  WavFileInput input16(path16);
  EXPECT_EQ(readAll(input16), from16);

  const std::vector<float> floats = {-2.0f, -1.0f, -0.5f, 0.0f, 0.25f, 0.999f, 1.0f, 1.5f};
  const std::vector<uint8_t> fromFloat = {0, 0, 64, 128, 160, 255, 255, 255};
  const auto pathF =
      writeSound("float.wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 1, kSampleRate, [&](SNDFILE* f) {
        sf_write_float(f, floats.data(), static_cast<sf_count_t>(floats.size()));
      });
  WavFileInput inputF(pathF);
  EXPECT_EQ(readAll(inputF), fromFloat);
}

TEST(WavFileInput, RecordedTubeCountsTheSameAsTheTube) {
  TubeSimulator tube(TubeProfile::constant(1200), 3);
  std::vector<uint8_t> sound(10 * kBufferSize);
  tube.fill(sound.data(), sound.size());
  const auto path = writeSound(
      "tube.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_U8, 1, kSampleRate,
      [&](SNDFILE* f) { sf_write_raw(f, sound.data(), static_cast<sf_count_t>(sound.size())); });
  WavFileInput input(path);
  const auto bytes = readAll(input);
  bool armedA = false, armedB = false;
  int fromFile = 0, fromTube = 0;
  for (size_t at = 0; at < sound.size(); at += kBufferSize) {
    fromFile += scanPulses(bytes.data() + at, kBufferSize, ScanSettings{}, armedA);
    fromTube += scanPulses(sound.data() + at, kBufferSize, ScanSettings{}, armedB);
  }
  EXPECT_EQ(fromFile, fromTube);
  EXPECT_GT(fromFile, 150);
}

TEST(WavFileInput, RefusesWhatIsNotMonoAt22050OrEmptySayingWhatItHolds) {
  const std::vector<short> two(200, 0);
  const auto stereo = writeSound("stereo.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 2, kSampleRate,
                                 [&](SNDFILE* f) { sf_write_short(f, two.data(), 200); });
  const auto fast = writeSound("44k.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_U8, 1, 44100,
                               [&](SNDFILE* f) { sf_write_short(f, two.data(), 100); });
  const auto text = tempPath("notes.wav");
  std::ofstream(text) << "これは音ではありません\n";
  const auto missing = tempPath("missing.wav");
  const auto bare =
      writeSound("bare.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_U8, 1, kSampleRate, [](SNDFILE*) {});
  const auto noBytes = tempPath("nobytes.wav");
  std::ofstream(noBytes, std::ios::binary | std::ios::trunc).flush();

  const struct {
    std::string path;
    DeviceFault fault;
    int channels, sampleRate;
  } cases[] = {
      {stereo, DeviceFault::FileFormat, 2, kSampleRate},
      {fast, DeviceFault::FileFormat, 1, 44100},
      {text, DeviceFault::FileUnreadable, 0, 0},
      {missing, DeviceFault::FileUnreadable, 0, 0},
      {bare, DeviceFault::FileEmpty, 0, 0},
      {noBytes, DeviceFault::FileEmpty, 0, 0},
  };
  for (const auto& c : cases) {
    WavFileInput input(c.path);
    RecordingReceiver rx(input);
    const auto opened = input.openDevice();
    ASSERT_FALSE(opened) << c.path;
    const DeviceFailure* failure = &opened.error();
    EXPECT_EQ(failure->fault, c.fault) << c.path;
    EXPECT_EQ(failure->device, c.path);
    EXPECT_EQ(failure->channels, c.channels) << c.path;
    EXPECT_EQ(failure->sampleRate, c.sampleRate) << c.path;
    EXPECT_EQ(failure->detail.empty(), c.fault != DeviceFault::FileUnreadable) << c.path;
    // A refused device stays quiet whatever the caller does next.
    input.addBuffer(0);
    input.startRecording();
    EXPECT_FALSE(input.deliverNext());
    EXPECT_TRUE(rx.states.empty());
  }
}

struct FailureReceiver : RecordingReceiver {
  using RecordingReceiver::RecordingReceiver;
  void deviceFailed(const DeviceFailure& failure) override { faults.push_back(failure.fault); }
  std::vector<DeviceFault> faults;
};

// A file cut off after its header was written says so before it stops; a whole file
// ends without a word.
TEST(WavFileInput, AFileCutShortRaisesDeviceFailedBeforeItStops) {
  std::vector<uint8_t> data(3 * kBufferSize, 128);
  const auto path = writeSound(
      "cut.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_U8, 1, kSampleRate,
      [&](SNDFILE* f) { sf_write_raw(f, data.data(), static_cast<sf_count_t>(data.size())); });
  for (const bool cut : {false, true}) {
    SCOPED_TRACE(cut ? "cut" : "whole");
    if (cut) std::filesystem::resize_file(path, std::filesystem::file_size(path) - kBufferSize);
    WavFileInput input(path);
    FailureReceiver rx(input);
    rx.start();
    for (int guard = 0; guard < 10 && input.deliverNext(); ++guard) {
    }
    EXPECT_EQ(rx.faults,
              cut ? std::vector<DeviceFault>{DeviceFault::EndedEarly} : std::vector<DeviceFault>{});
    EXPECT_EQ(rx.states, (std::vector<bool>{true, false}));
  }
}

}  // namespace
}  // namespace radmon
