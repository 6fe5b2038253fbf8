#include "pull_audio_input.h"

#include <algorithm>
#include <cstring>

namespace radmon {

std::optional<std::string> PullAudioInput::openDevice() {
  if (open_) closeDevice();
  if (auto error = openSource()) return error;
  buffers_.assign(kBufferCount, std::vector<uint8_t>(kBufferSize, 0));
  queued_.assign(kBufferCount, false);
  queue_.clear();
  open_ = true;
  dry_ = false;
  return std::nullopt;
}

bool PullAudioInput::validIndex(int16_t index) const {
  return open_ && index >= 0 && index < kBufferCount;
}

void PullAudioInput::addBuffer(int16_t index) {
  if (!validIndex(index) || queued_[static_cast<size_t>(index)]) return;
  queued_[static_cast<size_t>(index)] = true;
  queue_.push_back(index);
}

void PullAudioInput::getBufferData(uint8_t* dest, int16_t index, int32_t count) {
  if (!dest || !validIndex(index) || count <= 0) return;
  const auto n = static_cast<size_t>(std::min(count, kBufferSize));
  std::memcpy(dest, buffers_[static_cast<size_t>(index)].data(), n);
}

void PullAudioInput::startRecording() {
  if (!open_ || recording_) return;
  recording_ = true;
  if (events_) events_->stateChanged();
}

void PullAudioInput::stopRecording() {
  if (recording_) stopAndNotify();
}

void PullAudioInput::stopAndNotify() {
  recording_ = false;
  if (events_) events_->stateChanged();
}

void PullAudioInput::closeDevice() {
  recording_ = false;
  if (!open_) return;
  open_ = false;
  queue_.clear();
  buffers_.clear();
  queued_.clear();
  closeSource();
}

bool PullAudioInput::deliverNext() {
  if (!open_ || !recording_ || queue_.empty()) return false;
  if (dry_) {
    stopAndNotify();
    return false;
  }
  const int16_t index = queue_.front();
  auto& buffer = buffers_[static_cast<size_t>(index)];
  const size_t got = produce(buffer.data(), buffer.size());
  if (got < buffer.size()) dry_ = true;
  if (got == 0) {
    // Nothing left: an empty buffer would count as a second that was never recorded,
    // so the buffer stays queued and recording ends here.
    stopAndNotify();
    return false;
  }
  queue_.pop_front();
  queued_[static_cast<size_t>(index)] = false;
  if (events_) events_->bufferDone(index, static_cast<int32_t>(got), 0);
  // The receiver may have stopped or closed the device inside the event.
  if (dry_ && recording_) stopAndNotify();
  return true;
}

}  // namespace radmon
