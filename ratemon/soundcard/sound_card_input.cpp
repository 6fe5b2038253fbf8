#include "sound_card_input.h"

#include <QMediaDevices>
#include <algorithm>

#include "sound_server.h"

namespace radmon {
namespace {

QAudioDevice qtInput(const std::string& id) {
  const QByteArray wanted = QByteArray::fromStdString(id);
  for (const QAudioDevice& d : QMediaDevices::audioInputs())
    if (d.id() == wanted) return d;
  return {};
}

}  // namespace

SoundCardInput::SoundCardInput(std::string deviceName, int32_t bufferSize, int16_t bufferCount)
    : deviceName_(std::move(deviceName)), ring_(bufferCount, bufferSize) {
  retry_.setInterval(kRetryMs);
  connect(&retry_, &QTimer::timeout, this, &SoundCardInput::connectInput);
  watch_.setInterval(kWatchMs);
  connect(&watch_, &QTimer::timeout, this, &SoundCardInput::watch);
  take_.setInterval(kTakeMs);
  connect(&take_, &QTimer::timeout, this, &SoundCardInput::takeSound);
}

SoundCardInput::~SoundCardInput() {
  recording_ = false;
  stream_.reset();
}

QAudioDevice SoundCardInput::findDevice(const std::string& name) {
  const auto server = askSoundServer();
  if (name.empty()) {
    // Qt 6.4 marks no input as the default: the server says which one is.
    if (server && !server->defaultInput.empty()) return qtInput(server->defaultInput);
    return QMediaDevices::defaultAudioInput();
  }
  if (server) {
    if (const SoundServerInput* input = server->find(name)) return qtInput(input->name);
  }
  const QString wanted = QString::fromStdString(name);
  for (const QAudioDevice& d : QMediaDevices::audioInputs())
    if (QString::fromUtf8(d.id()) == wanted || d.description() == wanted) return d;
  return {};
}

std::expected<void, DeviceFailure> SoundCardInput::openDevice() {
  releaseSource();
  ring_.clear();
  return {};
}

std::string SoundCardInput::shownName() const {
  return deviceName_.empty() ? defaultAtStart_ : deviceName_;
}

std::expected<std::string, DeviceFailure> SoundCardInput::resolve() {
  const auto server = askSoundServer();
  if (!server) return std::unexpected(DeviceFailure{DeviceFault::ServerGone, shownName(), 0, {}});
  std::string wanted;
  if (!deviceName_.empty()) {
    if (const SoundServerInput* input = server->find(deviceName_)) wanted = input->name;
  } else {
    if (defaultAtStart_.empty()) defaultAtStart_ = server->defaultInput;
    if (server->find(defaultAtStart_)) wanted = defaultAtStart_;
  }
  if (wanted.empty()) {
    DeviceFailure failure{DeviceFault::NotFound, shownName(), 0, {}};
    for (const auto& input : server->inputs) failure.inputs.push_back(input.name);
    return std::unexpected(failure);
  }
  return wanted;
}

void SoundCardInput::connectInput() {
  if (!recording_ || stream_) return;
  auto resolved = resolve();
  if (!resolved) {
    lose(resolved.error());
    return;
  }
  // A new stream on a new connection each time: whatever became of the last one's
  // server does not matter.
  stream_ = std::make_unique<ServerStream>(*resolved);
  take_.start();
  recordedInput_ = *resolved;
  running_ = false;
  streamSeen_ = false;
  ring_.discardPartial();
  sinceSound_.start();
  retry_.stop();
  // The stream is watched from now on: one that never runs is a loss too.
  watch_.start();
  takeSound();
}

void SoundCardInput::lose(const DeviceFailure& failure) {
  releaseSource();
  // The part-filled second may hold sound from wherever the server moved the stream.
  ring_.discardPartial();
  watch_.stop();
  if (recording_ && !retry_.isActive()) retry_.start();
  if (told_) return;
  told_ = true;
  if (events_) events_->deviceFailed(failure);
}

void SoundCardInput::watch() {
  if (!recording_ || !stream_) return;
  if (sinceSound_.hasExpired(kStallMs)) {
    lose({running_ ? DeviceFault::Lost : DeviceFault::OpenFailed, shownName(), 0, {}});
    return;
  }
  if (!running_) return;
  // What the stream's own connection has heard from the server: no question is asked. A
  // server that goes away ends the stream, which takeSound() tells.
  const auto server = stream_->view();
  if (!server) return;
  if (!server->find(recordedInput_)) {
    // The input is gone; the server has moved the stream elsewhere or has none left.
    lose({DeviceFault::Lost, shownName(), 0, {}});
  } else if (server->recordsFrom(recordedInput_)) {
    streamSeen_ = true;
  } else if (streamSeen_) {
    // The input is there but the stream was moved off it (a device plugged in, or by
    // hand): what comes now is another input's sound.
    lose({DeviceFault::Lost, shownName(), 0, {}});
  }
}

void SoundCardInput::startRecording() {
  if (recording_) return;
  recording_ = true;
  told_ = false;
  defaultAtStart_.clear();
  if (events_) events_->stateChanged();
  connectInput();
}

void SoundCardInput::takeSound() {
  if (!recording_ || !stream_) return;
  ServerStream::Taken taken = stream_->take();
  if (taken.state == ServerStream::State::Recording && !running_) {
    running_ = true;
    refusals_ = 0;
    sinceSound_.start();
    if (told_) {
      told_ = false;
      if (events_) events_->deviceBack();
    }
  }
  if (!taken.sound.empty()) sinceSound_.start();
  const uint8_t* data = taken.sound.data();
  const size_t size = taken.sound.size();
  size_t at = 0;
  // The cycle may stop the recording from inside bufferDone: check after each buffer.
  while (recording_ && at < size) {
    at += ring_.write(data + at, size - at);
    if (const auto index = ring_.takeFull()) {
      ++buffersDelivered_;
      if (events_) events_->bufferDone(*index, ring_.size(), 0);
    }
  }
  if (const int64_t dropped = ring_.takeNewlyDropped(); dropped > 0 && events_)
    events_->soundDropped(dropped);
  if (!recording_ || !stream_) return;
  switch (taken.state) {
    case ServerStream::State::Connecting:
    case ServerStream::State::Recording:
      return;
    case ServerStream::State::ServerGone:
      lose({DeviceFault::ServerGone, shownName(), taken.error, {}});
      return;
    case ServerStream::State::Broken:
      broken_ = true;
      lose({DeviceFault::ServerGone, shownName(), taken.error, {}});
      return;
    case ServerStream::State::Failed:
      // Refused while the server answers and has the input, over and over: no retry
      // from this process will mend it.
      if (!running_ && ++refusals_ >= kBrokenAfter) broken_ = true;
      lose({running_ ? DeviceFault::Lost : DeviceFault::OpenFailed, shownName(), taken.error, {}});
      return;
  }
}

void SoundCardInput::stopRecording() {
  recording_ = false;
  retry_.stop();
  watch_.stop();
  ring_.discardPartial();
  releaseSource();
  // Raised also when idle: the buttons then show the idle state again.
  if (events_) events_->stateChanged();
}

void SoundCardInput::closeDevice() {
  releaseSource();
  ring_.clear();
}

void SoundCardInput::releaseSource() {
  recordedInput_.clear();
  running_ = false;
  take_.stop();
  // Waits for the stream's thread, which never calls into this object.
  stream_.reset();
}

}  // namespace radmon
