#include "sound_card_input.h"

#include <QCoreApplication>
#include <QMediaDevices>
#include <algorithm>
#include <cstring>

namespace radmon {
namespace {

QAudioFormat recordingFormat() {
  QAudioFormat f;
  f.setSampleRate(kSampleRate);
  f.setChannelCount(1);
  f.setSampleFormat(QAudioFormat::UInt8);
  return f;
}

std::string describe(const QAudioDevice& d) {
  return d.description().toStdString() + " (" + d.id().toStdString() + ")";
}

}  // namespace

SoundCardInput::SoundCardInput(std::string deviceName, int32_t bufferSize, int16_t bufferCount)
    : deviceName_(std::move(deviceName)),
      bufferSize_(std::max<int32_t>(bufferSize, 1)),
      bufferCount_(std::max<int16_t>(bufferCount, 1)) {}

SoundCardInput::~SoundCardInput() {
  recording_ = false;
  delete source_.data();
}

QAudioDevice SoundCardInput::findDevice(const std::string& name) {
  // Qt 6.4 marks no input as the default; defaultAudioInput() is the first one.
  if (name.empty()) return QMediaDevices::defaultAudioInput();
  const QString wanted = QString::fromStdString(name);
  for (const QAudioDevice& d : QMediaDevices::audioInputs()) {
    if (QString::fromUtf8(d.id()) == wanted || d.description() == wanted) return d;
  }
  return {};
}

std::optional<std::string> SoundCardInput::openDevice() {
  releaseSource();
  const QAudioDevice device = findDevice(deviceName_);
  if (device.isNull()) {
    if (deviceName_.empty()) {
      return QCoreApplication::translate(
                 "ratemon", "録音デバイスが見つかりません。サウンドカードの入力を確認してください。")
          .toStdString();
    }
    return QCoreApplication::translate("ratemon", "録音デバイス「%1」が見つかりません。")
        .arg(QString::fromStdString(deviceName_))
        .toStdString();
  }
  const QAudioFormat format = recordingFormat();
  if (!device.isFormatSupported(format)) {
    return QCoreApplication::translate("ratemon",
                                       "録音デバイス %1 は 8ビット モノラル 22050Hz で録音できません。")
        .arg(QString::fromStdString(describe(device)))
        .toStdString();
  }
  source_ = new QAudioSource(device, format);
  // About five chunks a second: the buffers are assembled here whatever Qt hands over.
  source_->setBufferSize(kSampleRate / 5);
  connect(source_.data(), &QAudioSource::stateChanged, this, &SoundCardInput::sourceStateChanged);
  buffers_.assign(static_cast<size_t>(bufferCount_), std::vector<uint8_t>(bufferSize_, 0));
  queued_.clear();
  filled_ = 0;
  return std::nullopt;
}

void SoundCardInput::addBuffer(int16_t index) {
  if (index < 0 || index >= static_cast<int16_t>(buffers_.size())) return;
  if (std::find(queued_.begin(), queued_.end(), index) != queued_.end()) return;
  queued_.push_back(index);
}

void SoundCardInput::getBufferData(uint8_t* dest, int16_t index, int32_t count) {
  if (!dest || index < 0 || index >= static_cast<int16_t>(buffers_.size())) return;
  const auto n = std::clamp<int32_t>(count, 0, bufferSize_);
  std::memcpy(dest, buffers_[static_cast<size_t>(index)].data(), static_cast<size_t>(n));
}

void SoundCardInput::startRecording() {
  if (recording_) return;
  if (!source_) {
    fail(QCoreApplication::translate("ratemon", "録音デバイスが開かれていません。").toStdString());
    return;
  }
  io_ = source_->start();
  if (!io_ || source_->error() != QAudio::NoError) {
    const QString name = deviceName_.empty()
                             ? QCoreApplication::translate("ratemon", "既定の録音デバイス")
                             : QString::fromStdString(deviceName_);
    const auto code = int(source_->error());
    releaseSource();
    fail(QCoreApplication::translate("ratemon", "%1 を開けません (エラー %2)。録音は始まりません。")
             .arg(name)
             .arg(code)
             .toStdString());
    return;
  }
  connect(io_.data(), &QIODevice::readyRead, this, &SoundCardInput::takeSound);
  filled_ = 0;
  recording_ = true;
  if (events_) events_->stateChanged();
}

void SoundCardInput::takeSound() {
  if (!recording_ || !io_) return;
  const QByteArray chunk = io_->readAll();
  qsizetype at = 0;
  // The cycle may stop the recording from inside bufferDone: check after each buffer.
  while (recording_ && at < chunk.size()) {
    if (queued_.empty()) {
      overrunBytes_ += chunk.size() - at;
      return;
    }
    auto& buffer = buffers_[static_cast<size_t>(queued_.front())];
    const auto n = std::min<qsizetype>(chunk.size() - at, bufferSize_ - filled_);
    std::memcpy(buffer.data() + filled_, chunk.constData() + at, static_cast<size_t>(n));
    filled_ += static_cast<int32_t>(n);
    at += n;
    if (filled_ == bufferSize_) {
      const int16_t index = queued_.front();
      queued_.pop_front();
      filled_ = 0;
      ++buffersDelivered_;
      if (events_) events_->bufferDone(index, bufferSize_, 0);
    }
  }
}

void SoundCardInput::stopRecording() {
  recording_ = false;
  filled_ = 0;
  if (io_) {
    disconnect(io_.data(), nullptr, this, nullptr);
    io_ = nullptr;
  }
  if (source_) source_->stop();
  // Raised also when idle: the buttons then show the idle state again.
  if (events_) events_->stateChanged();
}

void SoundCardInput::closeDevice() {
  releaseSource();
  queued_.clear();
}

void SoundCardInput::releaseSource() {
  if (!source_) return;
  disconnect(source_.data(), nullptr, this, nullptr);
  source_->stop();
  // Not deleted here: closeDevice() may run inside the source's own readyRead.
  source_->deleteLater();
  source_ = nullptr;
  io_ = nullptr;
}

void SoundCardInput::sourceStateChanged(QAudio::State state) {
  if (!recording_ || !source_) return;
  if (state == QAudio::StoppedState && source_->error() != QAudio::NoError) {
    const auto code = int(source_->error());
    stopRecording();
    fail(QCoreApplication::translate("ratemon", "録音デバイスが止まりました (エラー %1)。")
             .arg(code)
             .toStdString());
  }
}

void SoundCardInput::fail(const std::string& message) {
  if (onError_) onError_(message);
}

}  // namespace radmon
