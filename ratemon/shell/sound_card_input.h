// The sound card as the recording cycle's audio input: Qt's audio source recording
// unsigned 8-bit mono at 22050 samples/s. Qt hands the sound over in chunks of varying
// size; they are assembled here into the one-second buffers of the contract, and
// BufferDone is raised once per full buffer.
//
// Threading: the window thread only. BufferDone and StateChanged are raised on it,
// from Qt's readyRead and from startRecording()/stopRecording(). The cycle may call
// stopRecording() and closeDevice() from inside BufferDone: the Qt objects are then
// released later, never while their own signal runs.
//
// After stopRecording() nothing more is delivered: the partly filled buffer is dropped,
// so a stop never adds a second that was not recorded in full.
#pragma once

#include <QAudioDevice>
#include <QAudioSource>
#include <QObject>
#include <QPointer>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "audio_input.h"

namespace radmon {

class SoundCardInput final : public QObject, public AudioInput {
 public:
  // `deviceName`: an input's id or description; empty for the system's default input.
  explicit SoundCardInput(std::string deviceName = {}, int32_t bufferSize = kBufferSize,
                          int16_t bufferCount = kBufferCount);
  ~SoundCardInput() override;

  // Told when the device fails while recording (then recording stops).
  void setErrorHandler(std::function<void(const std::string&)> handler) {
    onError_ = std::move(handler);
  }

  std::optional<std::string> openDevice() override;
  int16_t bufferCount() const override { return bufferCount_; }
  int32_t bufferSize() const override { return bufferSize_; }
  bool isRecording() const override { return recording_; }
  void addBuffer(int16_t index) override;
  void getBufferData(uint8_t* dest, int16_t index, int32_t count) override;
  void startRecording() override;
  void stopRecording() override;
  void closeDevice() override;

  // The device chosen by name (or the default); a null device when none matches.
  static QAudioDevice findDevice(const std::string& name);
  // What the buffers have dropped because none was queued (bytes).
  int64_t overrunBytes() const { return overrunBytes_; }
  // Full buffers handed back with BufferDone since construction.
  int64_t buffersDelivered() const { return buffersDelivered_; }

 private:
  void takeSound();
  void sourceStateChanged(QAudio::State state);
  void fail(const std::string& message);
  void releaseSource();

  std::string deviceName_;
  int32_t bufferSize_;
  int16_t bufferCount_;
  std::vector<std::vector<uint8_t>> buffers_;
  std::deque<int16_t> queued_;  // handed to the device, oldest first
  int32_t filled_ = 0;          // bytes in the buffer at the front of the queue
  bool recording_ = false;
  int64_t overrunBytes_ = 0;
  int64_t buffersDelivered_ = 0;
  QPointer<QAudioSource> source_;
  QPointer<QIODevice> io_;
  std::function<void(const std::string&)> onError_;
};

}  // namespace radmon
