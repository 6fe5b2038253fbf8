// The audio-input contract of the recording cycle: a device that records 8-bit
// unsigned mono sound into a ring of buffers and hands each full buffer back with
// BufferDone. Sound card, WAV file and simulated tube all honour it.
//
// Threading: every call and every event happen on the one thread that owns the
// recording cycle (the window thread, or the headless loop). Events may be raised from
// inside a call (stopRecording() raises stateChanged()).
#pragma once

#include <cstdint>
#include <expected>
#include <string>
#include <utility>
#include <vector>

namespace radmon {

// Why a device stopped giving sound while it was meant to record.
enum class DeviceFault : uint8_t {
  NotFound,        // the chosen input is not among the sound server's inputs
  Lost,            // the input went away (unplugged, unloaded, the stream moved elsewhere)
  ServerGone,      // the sound server cannot be reached
  OpenFailed,      // the input is there but refused to record
  EndedEarly,      // a recording ended before the length its header gives
  FileUnreadable,  // a recording that cannot be opened (detail: the file library's words)
  FileEmpty,       // a recording without a single sample
  FileFormat,      // a recording that is not mono at the sample rate (channels, sampleRate)
  Unavailable,     // the input named cannot be made (detail: why, worded by the program)
};

struct DeviceFailure {
  DeviceFailure(DeviceFault fault = DeviceFault::Lost, std::string device = {}, int code = 0,
                std::vector<std::string> inputs = {})
      : fault(fault), device(std::move(device)), code(code), inputs(std::move(inputs)) {}

  DeviceFault fault;
  std::string device;               // the input's name as chosen ("" for the default)
  int code;                         // the sound layer's error code, when it gave one
  std::vector<std::string> inputs;  // with NotFound: the inputs that do exist
  std::string detail;               // see the fault
  int channels = 0;                 // with FileFormat: what the file holds
  int sampleRate = 0;
};

class AudioInput {
 public:
  // Receiver of the device's events.
  class Events {
   public:
    virtual ~Events() = default;
    // Buffer `index` came back holding `count` bytes; flag 0: hand it back with addBuffer.
    virtual void bufferDone(int16_t index, int32_t count, int16_t flag) = 0;
    // Recording started or stopped: read isRecording().
    virtual void stateChanged() = 0;
    // The device gives no sound for a reason of its own. A device that can come back
    // (the card) stays recording, tries again every few seconds and raises deviceBack()
    // when sound flows again; one that cannot (a file) stops recording after this.
    virtual void deviceFailed(const DeviceFailure& failure) { (void)failure; }
    virtual void deviceBack() {}
    // `bytes` of sound were dropped because no buffer was queued to take them.
    virtual void soundDropped(int64_t bytes) { (void)bytes; }
  };

  virtual ~AudioInput() = default;
  void setEvents(Events* events) { events_ = events; }

  // Opens the device with its stored settings (mono, 22050 samples/s, 8 bits) and
  // prepares the buffers. What failed when it cannot (the device named in it is the
  // input's, the file's path for a recording).
  virtual std::expected<void, DeviceFailure> openDevice() = 0;
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
