// The ring of recording buffers an audio input fills: the buffers handed to it wait in
// a queue, oldest first; sound goes into the buffer at the front until it is full, and
// sound that finds no buffer queued is dropped and counted. Used by the sound card
// (chunks of any size, as the sound server hands them over) and by the pulled sources
// (a WAV file, the simulated tube), which fill the front buffer in place.
//
// Threading: none of its own; the owner's thread only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <vector>

namespace radmon {

class BufferRing {
 public:
  BufferRing(int16_t count, int32_t size);

  int16_t count() const { return static_cast<int16_t>(buffers_.size()); }
  int32_t size() const { return size_; }

  // Forgets the queue and the partly filled buffer; the dropped count stays.
  void clear();
  // Queues buffer `index` to be filled. An unknown index or one already queued is
  // ignored (false).
  bool hand(int16_t index);
  bool queued(int16_t index) const;
  bool empty() const { return queue_.empty(); }

  // Appends sound to the front buffer, never past its end; the bytes taken. With no
  // buffer queued every byte is taken and dropped.
  size_t write(const uint8_t* data, size_t n);
  // The front buffer, once it is full: taken off the queue.
  std::optional<int16_t> takeFull();
  // A pulled source fills the front buffer in place: its bytes (null when nothing is
  // queued), then takeFront() with how many it wrote.
  uint8_t* frontSpace();
  std::optional<int16_t> takeFront(int32_t written);
  // Drops the partly filled front buffer's sound (a stop mid-second), uncounted.
  void discardPartial() { filled_ = 0; }

  // Copies at most one buffer's bytes; nothing for an unknown index.
  void copy(uint8_t* dest, int16_t index, int32_t count) const;

  // Sound dropped because no buffer was free, since construction and since the last ask.
  int64_t droppedBytes() const { return droppedBytes_; }
  int64_t takeNewlyDropped();

 private:
  bool valid(int16_t index) const { return index >= 0 && index < count(); }

  int32_t size_;
  std::vector<std::vector<uint8_t>> buffers_;
  std::vector<bool> queued_;
  std::deque<int16_t> queue_;
  int32_t filled_ = 0;  // bytes in the front buffer
  int64_t droppedBytes_ = 0;
  int64_t reportedDropped_ = 0;
};

}  // namespace radmon
