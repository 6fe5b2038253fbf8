// The audio-input contract of the recording cycle: a device that records 8-bit
// unsigned mono sound into a ring of buffers and hands each full buffer back with
// BufferDone. Sound card, WAV file and simulated tube all honour it.
//
// Threading: every call and both events happen on the one thread that owns the
// recording cycle (the window thread, or the headless loop). Events may be raised from
// inside a call (stopRecording() raises stateChanged()).
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace radmon {

class AudioInput {
 public:
  // Receiver of the device's two events.
  class Events {
   public:
    virtual ~Events() = default;
    // Buffer `index` came back holding `count` bytes; flag 0: hand it back with addBuffer.
    virtual void bufferDone(int16_t index, int32_t count, int16_t flag) = 0;
    // Recording started or stopped: read isRecording().
    virtual void stateChanged() = 0;
  };

  virtual ~AudioInput() = default;
  void setEvents(Events* events) { events_ = events; }

  // Opens the device with its stored settings (mono, 22050 samples/s, 8 bits) and
  // prepares the buffers. An error text for the user when it cannot.
  virtual std::optional<std::string> openDevice() = 0;
  virtual int16_t bufferCount() const = 0;
  virtual int32_t bufferSize() const = 0;
  virtual bool isRecording() const = 0;
  // Hands buffer `index` to the device to be filled.
  virtual void addBuffer(int16_t index) = 0;
  // Copies `count` recorded bytes of buffer `index` to `dest`.
  virtual void getBufferData(uint8_t* dest, int16_t index, int32_t count) = 0;
  virtual void startRecording() = 0;
  virtual void stopRecording() = 0;
  virtual void closeDevice() = 0;

 protected:
  Events* events_ = nullptr;
};

inline constexpr int kSampleRate = 22050;
inline constexpr int kBufferCount = 16;
inline constexpr int kBufferSize = 22050;  // one second of sound

}  // namespace radmon
