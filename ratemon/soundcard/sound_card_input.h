// The sound card as the recording cycle's audio input: Qt's audio source recording
// unsigned 8-bit mono at 22050 samples/s from the chosen input and no other. Qt hands
// the sound over in chunks of varying size; a BufferRing assembles them into the
// one-second buffers of the contract, and BufferDone is raised once per full buffer.
//
// The chosen input: a name (the sound server's name or the description people see),
// or "" for the system's default input as the sound server gives it at the moment
// recording starts. While recording, the input is watched: if it goes away, the server
// moves the stream elsewhere, the server dies or no sound comes for a few seconds, the
// source is dropped and deviceFailed raised once; recording stays on, a new Qt audio
// source is tried every few seconds, and deviceBack is raised when sound flows again.
// The same happens when recording starts and the input is not there yet.
//
// Threading: the window thread only (or the headless loop's). All events are raised on
// it, from Qt's signals, the timers and startRecording()/stopRecording(). The cycle may
// call stopRecording() and closeDevice() from inside BufferDone: the Qt objects are
// then released later, never while their own signal runs.
//
// After stopRecording() nothing more is delivered: the partly filled buffer is dropped,
// so a stop never adds a second that was not recorded in full.
#pragma once

#include <QAudioDevice>
#include <QAudioSource>
#include <QElapsedTimer>
#include <QMediaDevices>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <variant>

#include "audio_input.h"
#include "buffer_ring.h"

namespace radmon {

class SoundCardInput final : public QObject, public AudioInput {
 public:
  static constexpr int kRetryMs = 3000;  // between attempts to open a lost input
  static constexpr int kWatchMs = 1000;  // between looks at the server's inputs
  static constexpr int kStallMs = 3000;  // no sound for this long is a lost input

  // `deviceName`: an input's name or description; empty for the system's default input.
  explicit SoundCardInput(std::string deviceName = {}, int32_t bufferSize = kBufferSize,
                          int16_t bufferCount = kBufferCount);
  ~SoundCardInput() override;

  // Prepares the buffers; the input itself is looked for when recording starts.
  std::optional<DeviceFailure> openDevice() override;
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

  // Recording, but the input is away and being tried again.
  bool deviceLost() const { return recording_ && !source_; }
  // The sound server's name of the input being recorded ("" while none is).
  const std::string& recordedInput() const { return recordedInput_; }
  // What the buffers have dropped because none was queued (bytes).
  int64_t overrunBytes() const { return ring_.droppedBytes(); }
  // Full buffers handed back with BufferDone since construction.
  int64_t buffersDelivered() const { return buffersDelivered_; }

  // The input a name stands for among those Qt lists ("" for the system's default);
  // a null device when none matches.
  static QAudioDevice findDevice(const std::string& name);

 private:
  // The input to open now, or why there is none.
  std::variant<QAudioDevice, DeviceFailure> resolve();
  void connectInput();
  void lose(const DeviceFailure& failure);
  void watch();
  void takeSound();
  void sourceStateChanged(QAudio::State state);
  void releaseSource();

  std::string deviceName_;
  std::string recordedInput_;
  std::string defaultAtStart_;  // the default input as it was when recording started
  BufferRing ring_;
  bool recording_ = false;
  bool told_ = false;        // deviceFailed raised for the present loss
  bool streamSeen_ = false;  // the server has shown our stream on the input
  int64_t buffersDelivered_ = 0;
  QPointer<QAudioSource> source_;
  QPointer<QIODevice> io_;
  QMediaDevices devices_;
  QTimer retry_;
  QTimer watch_;
  QElapsedTimer sinceSound_;
};

}  // namespace radmon
