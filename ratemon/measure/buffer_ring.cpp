#include "buffer_ring.h"

#include <algorithm>
#include <cstring>

namespace radmon {

BufferRing::BufferRing(int16_t count, int32_t size)
    : size_(std::max<int32_t>(size, 1)),
      buffers_(static_cast<size_t>(std::max<int16_t>(count, 1)),
               std::vector<uint8_t>(static_cast<size_t>(size_), 0)),
      queued_(buffers_.size(), false) {}

void BufferRing::clear() {
  queue_.clear();
  std::fill(queued_.begin(), queued_.end(), false);
  filled_ = 0;
}

bool BufferRing::hand(int16_t index) {
  if (!valid(index) || queued_[static_cast<size_t>(index)]) return false;
  queued_[static_cast<size_t>(index)] = true;
  queue_.push_back(index);
  return true;
}

bool BufferRing::queued(int16_t index) const {
  return valid(index) && queued_[static_cast<size_t>(index)];
}

size_t BufferRing::write(const uint8_t* data, size_t n) {
  if (queue_.empty()) {
    droppedBytes_ += static_cast<int64_t>(n);
    return n;
  }
  auto& buffer = buffers_[static_cast<size_t>(queue_.front())];
  const size_t take = std::min(n, static_cast<size_t>(size_ - filled_));
  std::memcpy(buffer.data() + filled_, data, take);
  filled_ += static_cast<int32_t>(take);
  return take;
}

std::optional<int16_t> BufferRing::takeFull() {
  if (queue_.empty() || filled_ < size_) return std::nullopt;
  return takeFront(size_);
}

uint8_t* BufferRing::frontSpace() {
  return queue_.empty() ? nullptr : buffers_[static_cast<size_t>(queue_.front())].data();
}

std::optional<int16_t> BufferRing::takeFront(int32_t written) {
  if (queue_.empty() || written <= 0) return std::nullopt;
  const int16_t index = queue_.front();
  queue_.pop_front();
  queued_[static_cast<size_t>(index)] = false;
  filled_ = 0;
  return index;
}

void BufferRing::copy(uint8_t* dest, int16_t index, int32_t count) const {
  if (!dest || !valid(index) || count <= 0) return;
  const auto n = static_cast<size_t>(std::min(count, size_));
  std::memcpy(dest, buffers_[static_cast<size_t>(index)].data(), n);
}

int64_t BufferRing::takeNewlyDropped() {
  const int64_t fresh = droppedBytes_ - reportedDropped_;
  reportedDropped_ = droppedBytes_;
  return fresh;
}

}  // namespace radmon
