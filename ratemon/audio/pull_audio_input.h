// Base of the audio inputs that are pulled rather than clocked by a device: a WAV file
// and the simulated tube. It keeps the ring of 16 one-second buffers and the queue of
// buffers handed to it (a BufferRing), and honours the AudioInput contract; a subclass
// only produces samples.
//
// Driving: the owner calls deliverNext() whenever it is ready for the next second,
// as fast as it likes (a replay) or once a second (real time). Each call fills the
// oldest queued buffer (buffers are filled in the order addBuffer handed them over)
// and raises bufferDone(index, count, 0) from inside the call.
//
// Threading and lifetime: everything, events included, happens on the caller's thread.
// The events receiver may call any member from inside an event, closeDevice()
// included. After stopRecording() nothing is delivered until startRecording().
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "audio_input.h"
#include "buffer_ring.h"

namespace radmon {

class PullAudioInput : public AudioInput {
 public:
  std::expected<void, DeviceFailure> openDevice() override;
  int16_t bufferCount() const override { return kBufferCount; }
  int32_t bufferSize() const override { return kBufferSize; }
  bool isRecording() const override { return recording_; }
  // Queues a buffer to be filled; an unknown index, a closed device or a buffer that is
  // already queued is ignored.
  void addBuffer(int16_t index) override;
  // Copies at most one buffer's bytes; nothing for an unknown index or a closed device.
  void getBufferData(uint8_t* dest, int16_t index, int32_t count) override;
  // Both raise stateChanged when the state really changes.
  void startRecording() override;
  void stopRecording() override;
  // Stops without an event (the owner is tearing down) and releases the source.
  void closeDevice() override;

  // Fills and delivers the next queued buffer. False when nothing was delivered: not
  // recording, no buffer queued, or the source has run dry. A source that runs dry
  // delivers its last partial buffer with the real count, then stops recording by
  // itself and raises stateChanged; a source that ends on a full buffer stops at the
  // next call without delivering an empty one. A source that ended before its own
  // length raises deviceFailed(EndedEarly) before it stops.
  bool deliverNext();

 protected:
  // Prepares the source from its start (or where it stands, for an endless one); an
  // error text for the user when it cannot.
  virtual std::expected<void, DeviceFailure> openSource() = 0;
  // Writes up to `n` samples; fewer than `n` means the source has run dry.
  virtual size_t produce(uint8_t* out, size_t n) = 0;
  virtual void closeSource() {}
  // Asked once the source has run dry: whether it ended before its own length.
  virtual bool endedEarly() const { return false; }

 private:
  void runDry();
  void stopAndNotify();

  bool open_ = false;
  bool recording_ = false;
  bool dry_ = false;
  BufferRing ring_{kBufferCount, kBufferSize};
};

}  // namespace radmon
