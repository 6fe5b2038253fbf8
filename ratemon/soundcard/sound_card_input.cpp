#include "sound_card_input.h"

#include <algorithm>

#include "sound_server.h"

namespace radmon {
namespace {

QAudioFormat recordingFormat() {
  QAudioFormat f;
  f.setSampleRate(kSampleRate);
  f.setChannelCount(1);
  f.setSampleFormat(QAudioFormat::UInt8);
  return f;
}

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
  // A change of the list is looked at at once rather than at the next tick.
  connect(&devices_, &QMediaDevices::audioInputsChanged, this, &SoundCardInput::watch);
}

SoundCardInput::~SoundCardInput() {
  recording_ = false;
  delete source_.data();
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

std::optional<DeviceFailure> SoundCardInput::openDevice() {
  releaseSource();
  ring_.clear();
  return std::nullopt;
}

std::variant<QAudioDevice, DeviceFailure> SoundCardInput::resolve() {
  const auto server = askSoundServer();
  if (!server) return DeviceFailure{DeviceFault::ServerGone, deviceName_, 0, {}};
  std::string wanted;
  if (!deviceName_.empty()) {
    if (const SoundServerInput* input = server->find(deviceName_)) wanted = input->name;
  } else {
    if (defaultAtStart_.empty()) defaultAtStart_ = server->defaultInput;
    if (server->find(defaultAtStart_)) wanted = defaultAtStart_;
  }
  QAudioDevice device = wanted.empty() ? QAudioDevice() : qtInput(wanted);
  if (device.isNull()) {
    DeviceFailure failure{DeviceFault::NotFound, deviceName_, 0, {}};
    for (const auto& input : server->inputs) failure.inputs.push_back(input.name);
    return failure;
  }
  return device;
}

void SoundCardInput::connectInput() {
  if (!recording_ || source_) return;
  auto resolved = resolve();
  if (auto* failure = std::get_if<DeviceFailure>(&resolved)) {
    lose(*failure);
    return;
  }
  const QAudioDevice device = std::get<QAudioDevice>(resolved);
  const QAudioFormat format = recordingFormat();
  if (!device.isFormatSupported(format)) {
    lose({DeviceFault::OpenFailed, deviceName_, 0, {}});
    return;
  }
  // A new source each time: one whose server has died cannot be started again.
  source_ = new QAudioSource(device, format);
  // About five chunks a second: the buffers are assembled here whatever Qt hands over.
  source_->setBufferSize(kSampleRate / 5);
  connect(source_.data(), &QAudioSource::stateChanged, this, &SoundCardInput::sourceStateChanged);
  io_ = source_->start();
  if (!io_ || source_->error() != QAudio::NoError) {
    const int code = int(source_->error());
    releaseSource();
    lose({DeviceFault::OpenFailed, deviceName_, code, {}});
    return;
  }
  connect(io_.data(), &QIODevice::readyRead, this, &SoundCardInput::takeSound);
  recordedInput_ = device.id().toStdString();
  streamSeen_ = false;
  ring_.discardPartial();
  sinceSound_.start();
  retry_.stop();
  watch_.start();
  if (told_) {
    told_ = false;
    if (events_) events_->deviceBack();
  }
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
  if (!recording_ || !source_) return;
  if (sinceSound_.hasExpired(kStallMs)) {
    lose({DeviceFault::Lost, deviceName_, 0, {}});
    return;
  }
  const auto server = askSoundServer();
  if (!server) {
    lose({DeviceFault::ServerGone, deviceName_, 0, {}});
  } else if (!server->find(recordedInput_)) {
    // The input is gone; the server has moved the stream elsewhere or has none left.
    lose({DeviceFault::Lost, deviceName_, 0, {}});
  } else if (server->recordsFrom(recordedInput_)) {
    streamSeen_ = true;
  } else if (streamSeen_) {
    // The input is there but the stream was moved off it (a device plugged in, or by
    // hand): what comes now is another input's sound.
    lose({DeviceFault::Lost, deviceName_, 0, {}});
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
  if (!recording_ || !io_) return;
  const QByteArray chunk = io_->readAll();
  if (!chunk.isEmpty()) sinceSound_.start();
  const auto* data = reinterpret_cast<const uint8_t*>(chunk.constData());
  const auto size = static_cast<size_t>(chunk.size());
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
  io_ = nullptr;
  if (!source_) return;
  disconnect(source_.data(), nullptr, this, nullptr);
  source_->stop();
  // Not deleted here: closeDevice() may run inside the source's own readyRead.
  source_->deleteLater();
  source_ = nullptr;
}

void SoundCardInput::sourceStateChanged(QAudio::State state) {
  if (!recording_ || !source_) return;
  if (state == QAudio::StoppedState && source_->error() != QAudio::NoError)
    lose({DeviceFault::Lost, deviceName_, int(source_->error()), {}});
}

}  // namespace radmon
