#include "pull_audio_input.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "recording_receiver.h"
#include "simulated_tube_input.h"

namespace radmon {
namespace {

class FakeSource : public PullAudioInput {
 public:
  explicit FakeSource(size_t samples) : data(samples) {
    for (size_t i = 0; i < samples; ++i) data[i] = static_cast<uint8_t>(i * 7 % 251);
  }
  std::vector<uint8_t> data;
  size_t at = 0;
  int opens = 0;

 protected:
  std::expected<void, DeviceFailure> openSource() override {
    ++opens;
    at = 0;
    return {};
  }
  size_t produce(uint8_t* out, size_t n) override {
    n = std::min(n, data.size() - at);
    std::memcpy(out, data.data() + at, n);
    at += n;
    return n;
  }
};

void drain(PullAudioInput& input) {
  for (int guard = 0; guard < 1000 && input.deliverNext(); ++guard) {
  }
}

TEST(PullAudioInput, DeliversQueuedBuffersInOrderThenTheShortLastOneAndStops) {
  FakeSource source(4 * kBufferSize + kBufferSize / 2);
  RecordingReceiver rx(source);
  ASSERT_TRUE(source.openDevice());
  for (const int16_t i : {5, 2, 9}) source.addBuffer(i);
  source.startRecording();
  drain(source);
  EXPECT_EQ(rx.indices, (std::vector<int16_t>{5, 2, 9, 5, 2}));
  EXPECT_EQ(rx.counts, (std::vector<int32_t>{kBufferSize, kBufferSize, kBufferSize, kBufferSize,
                                             kBufferSize / 2}));
  EXPECT_EQ(rx.bytes, source.data);
  EXPECT_EQ(rx.states, (std::vector<bool>{true, false}));
  EXPECT_FALSE(source.isRecording());
  EXPECT_FALSE(source.deliverNext());
}

TEST(PullAudioInput, SourceEndingOnAFullSecondDeliversNoEmptyBuffer) {
  FakeSource source(2 * kBufferSize);
  RecordingReceiver rx(source);
  rx.start();
  EXPECT_TRUE(source.deliverNext());
  EXPECT_TRUE(source.deliverNext());
  EXPECT_TRUE(source.isRecording());
  EXPECT_FALSE(source.deliverNext());
  EXPECT_EQ(rx.counts, (std::vector<int32_t>{kBufferSize, kBufferSize}));
  EXPECT_EQ(rx.states, (std::vector<bool>{true, false}));
}

TEST(PullAudioInput, NothingIsDeliveredAfterStopRecording) {
  FakeSource source(10 * kBufferSize);
  RecordingReceiver rx(source);
  // A pulse test stops recording from inside the buffer event.
  rx.onBuffer = [&] { source.stopRecording(); };
  rx.start();
  EXPECT_TRUE(source.deliverNext());
  EXPECT_FALSE(source.deliverNext());
  EXPECT_EQ(rx.indices.size(), 1u);
  EXPECT_EQ(rx.states, (std::vector<bool>{true, false}));
  source.stopRecording();  // already stopped: no second event
  EXPECT_EQ(rx.states.size(), 2u);

  // Started again, it goes on from where it stood; stopped from outside, it is quiet.
  rx.onBuffer = nullptr;
  source.startRecording();
  EXPECT_TRUE(source.deliverNext());
  source.stopRecording();
  EXPECT_FALSE(source.deliverNext());
  EXPECT_EQ(rx.counts.size(), 2u);
  EXPECT_EQ(rx.bytes,
            std::vector<uint8_t>(source.data.begin(), source.data.begin() + 2 * kBufferSize));
}

TEST(PullAudioInput, OnlyHandedBackBuffersAreFilled) {
  FakeSource source(40 * kBufferSize);
  RecordingReceiver rx(source);
  rx.handBack = false;
  rx.start();
  drain(source);
  EXPECT_EQ(rx.indices.size(), static_cast<size_t>(kBufferCount));
  EXPECT_TRUE(source.isRecording());
  // Duplicates and unknown indices are ignored.
  for (const int16_t i : {3, 3, -1, kBufferCount, 7}) source.addBuffer(i);
  drain(source);
  EXPECT_EQ(std::vector<int16_t>(rx.indices.end() - 2, rx.indices.end()),
            (std::vector<int16_t>{3, 7}));
}

TEST(PullAudioInput, ClosedOrUnopenedDeviceIsQuietAndSafe) {
  FakeSource source(3 * kBufferSize / 2);
  RecordingReceiver rx(source);
  source.startRecording();
  source.addBuffer(0);
  EXPECT_FALSE(source.deliverNext());
  EXPECT_TRUE(rx.states.empty());
  uint8_t byte = 42;
  source.getBufferData(&byte, 0, 1);
  EXPECT_EQ(byte, 42);

  // The recording cycle closes the device when it sees recording end.
  rx.closeWhenStopped = true;
  rx.start();
  drain(source);
  EXPECT_EQ(rx.counts, (std::vector<int32_t>{kBufferSize, kBufferSize / 2}));
  EXPECT_FALSE(source.deliverNext());
  // Reopening starts the source over.
  rx.start();
  EXPECT_EQ(source.opens, 2);
  EXPECT_TRUE(source.deliverNext());
}

TEST(SimulatedTubeInput, DeliversTheTubesSoundForTheGivenSeconds) {
  const TubeProfile profile{20, 3000, 10, 20};
  SimulatedTubeInput input(profile, 42, 5, 30);
  RecordingReceiver rx(input);
  rx.start();
  drain(input);
  EXPECT_EQ(rx.counts, std::vector<int32_t>(30, kBufferSize));
  EXPECT_EQ(rx.states, (std::vector<bool>{true, false}));

  TubeSimulator same(profile, 42, 5);
  std::vector<uint8_t> expected(30 * static_cast<size_t>(kBufferSize));
  same.fill(expected.data(), expected.size());
  EXPECT_EQ(rx.bytes, expected);
  EXPECT_EQ(input.tube().pulsesProduced(), same.pulsesProduced());
  EXPECT_GT(same.pulsesProduced(), 400);  // the raised stretch is in it
}

}  // namespace
}  // namespace radmon
