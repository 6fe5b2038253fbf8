// The sound card as the recording cycle's audio input: a stream of the sound server's
// own (ServerStream) recording unsigned 8-bit mono at 22050 samples/s from the chosen
// input and no other. The sound comes in chunks of varying size; a BufferRing assembles
// them into the one-second buffers of the contract, and BufferDone is raised once per
// full buffer.
//
// The chosen input: a name (the sound server's name or the description people see),
// or "" for the system's default input as the sound server gives it at the moment
// recording starts. While recording, the input is watched: if it goes away, the server
// moves the stream elsewhere, the server dies or no sound comes for a few seconds, the
// stream is dropped and deviceFailed raised once; recording stays on, a new stream on a
// new connection is tried every few seconds for as long as it takes (a server away for
// minutes, or not started yet), and deviceBack is raised when the stream runs again.
// The same happens when recording starts and the input is not there yet. broken()
// says that no connection could be made at all inside this process.
//
// Threading: the window thread only (or the headless loop's). All events are raised on
// it, from the timers (the stream's sound is taken every kTakeMs) and
// startRecording()/stopRecording(). The cycle may call stopRecording() and
// closeDevice() from inside BufferDone.
//
// After stopRecording() nothing more is delivered: the partly filled buffer is dropped,
// so a stop never adds a second that was not recorded in full.
#pragma once

#include <QAudioDevice>
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <cstdint>
#include <expected>
#include <memory>
#include <string>

#include "audio_input.h"
#include "buffer_ring.h"
#include "server_stream.h"

namespace radmon {

class SoundCardInput final : public QObject, public AudioInput {
 public:
  static constexpr int kRetryMs = 3000;  // between attempts to open a lost input
  static constexpr int kWatchMs = 1000;  // between looks at what the stream heard of them
  static constexpr int kTakeMs = 50;     // between takes of the stream's sound
  static constexpr int kStallMs = 3000;  // no sound for this long is a lost input
  // Streams refused this many times in a row while the server answers and lists the
  // input: the process is in a state that a new one would not be in.
  static constexpr int kBrokenAfter = 20;

  // `deviceName`: an input's name or description; empty for the system's default input.
  explicit SoundCardInput(std::string deviceName = {}, int32_t bufferSize = kBufferSize,
                          int16_t bufferCount = kBufferCount);
  ~SoundCardInput() override;

  // Prepares the buffers; the input itself is looked for when recording starts.
  std::expected<void, DeviceFailure> openDevice() override;
  int16_t bufferCount() const override { return ring_.count(); }
  int32_t bufferSize() const override { return ring_.size(); }
  bool isRecording() const override { return recording_; }
  void addBuffer(int16_t index) override { ring_.hand(index); }
  void getBufferData(uint8_t* dest, int16_t index, int32_t count) override {
    ring_.copy(dest, index, count);
  }
  void startRecording() override;
  void stopRecording() override;
  void closeDevice() override;

  // Recording, but the input is away (told with deviceFailed) and being tried again.
  bool deviceLost() const { return recording_ && told_; }
  // No connection to the sound server can be made from this process (it stays so).
  bool broken() const { return broken_; }
  // The sound server's name of the input being recorded ("" while none is).
  const std::string& recordedInput() const { return recordedInput_; }
  // The input as losses name it: as chosen, or for the default input the name the
  // server gave it when recording started ("" until it was reached).
  std::string shownName() const;
  // What the buffers have dropped because none was queued (bytes).
  int64_t overrunBytes() const { return ring_.droppedBytes(); }
  // Full buffers handed back with BufferDone since construction.
  int64_t buffersDelivered() const { return buffersDelivered_; }

  // The input a name stands for among those Qt lists ("" for the system's default);
  // a null device when none matches.
  static QAudioDevice findDevice(const std::string& name);

 private:
  // The server's name of the input to open now, or why there is none.
  std::expected<std::string, DeviceFailure> resolve();
  void connectInput();
  void lose(const DeviceFailure& failure);
  void watch();
  void takeSound();
  void releaseSource();

  std::string deviceName_;
  std::string recordedInput_;
  std::string defaultAtStart_;  // the default input as it was when recording started
  BufferRing ring_;
  bool recording_ = false;
  bool told_ = false;        // deviceFailed raised for the present loss
  bool streamSeen_ = false;  // the server has shown our stream on the input
  bool running_ = false;     // the stream runs (sound may flow)
  bool broken_ = false;
  int refusals_ = 0;  // streams refused in a row while the server lists the input
  int64_t buffersDelivered_ = 0;
  std::unique_ptr<ServerStream> stream_;
  QTimer retry_;
  QTimer take_;
  QTimer watch_;
  QElapsedTimer sinceSound_;
};

}  // namespace radmon
