#include "pull_audio_input.h"

namespace radmon {

std::expected<void, DeviceFailure> PullAudioInput::openDevice() {
  if (open_) closeDevice();
  if (auto opened = openSource(); !opened) return opened;
  ring_.clear();
  open_ = true;
  dry_ = false;
  return {};
}

void PullAudioInput::addBuffer(int16_t index) {
  if (open_) ring_.hand(index);
}

void PullAudioInput::getBufferData(uint8_t* dest, int16_t index, int32_t count) {
  if (open_) ring_.copy(dest, index, count);
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

void PullAudioInput::runDry() {
  if (events_ && endedEarly()) events_->deviceFailed({DeviceFault::EndedEarly, {}, 0, {}});
  if (recording_) stopAndNotify();
}

void PullAudioInput::closeDevice() {
  recording_ = false;
  if (!open_) return;
  open_ = false;
  ring_.clear();
  closeSource();
}

bool PullAudioInput::deliverNext() {
  if (!open_ || !recording_ || ring_.empty()) return false;
  if (dry_) {
    runDry();
    return false;
  }
  const auto size = static_cast<size_t>(ring_.size());
  const size_t got = produce(ring_.frontSpace(), size);
  if (got < size) dry_ = true;
  // Nothing left: an empty buffer would count as a second that was never recorded, so
  // the buffer stays queued and recording ends here.
  const auto index = ring_.takeFront(static_cast<int32_t>(got));
  if (!index) {
    runDry();
    return false;
  }
  if (events_) events_->bufferDone(*index, static_cast<int32_t>(got), 0);
  // The receiver may have stopped or closed the device inside the event.
  if (dry_ && recording_) runDry();
  return true;
}

}  // namespace radmon
