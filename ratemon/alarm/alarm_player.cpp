#include "alarm_player.h"

#include <QAudioDevice>
#include <QMediaDevices>
#include <QUrl>
#include <filesystem>

#include "alarm_tones.h"
#include "sound_server.h"

namespace radmon {

AlarmPlayer::AlarmPlayer(std::string programFolder, AlarmPattern fallback, float volume,
                         std::string shippedFolder)
    : programFolder_(std::move(programFolder)),
      shippedFolder_(std::move(shippedFolder)),
      fallback_(fallback),
      volume_(volume) {}

AlarmPlayer::~AlarmPlayer() { stop(); }

std::string AlarmPlayer::resolve(const std::string& name) {
  std::error_code ec;
  if (!name.empty() && std::filesystem::is_regular_file(name, ec)) {
    return std::filesystem::absolute(name, ec).string();
  }
  const std::string beside = programFolder_ + name;
  if (!name.empty() && std::filesystem::is_regular_file(beside, ec)) return beside;
  const std::string shipped = shippedFolder_ + name;
  if (!name.empty() && !shippedFolder_.empty() && std::filesystem::is_regular_file(shipped, ec)) {
    return shipped;
  }
  if (fallbackFile_.empty()) {
    toneDir_ = std::make_unique<QTemporaryDir>();
    const std::string path = toneDir_->path().toStdString() + "/fallback_alarm.wav";
    if (toneDir_->isValid() && !writeAlarmWav(path, fallback_)) fallbackFile_ = path;
  }
  return fallbackFile_;
}

QSoundEffect& AlarmPlayer::effectFor(const std::string& file) {
  auto& slot = effects_[file];
  if (!slot) {
    slot = std::make_unique<QSoundEffect>();
    slot->setSource(QUrl::fromLocalFile(QString::fromStdString(file)));
    slot->setLoopCount(QSoundEffect::Infinite);
    slot->setVolume(volume_);
    QSoundEffect* effect = slot.get();
    QObject::connect(effect, &QSoundEffect::statusChanged, effect, [this, effect] {
      if (effect->status() == QSoundEffect::Error) unavailable();
    });
  }
  return *slot;
}

namespace {

QAudioDevice defaultOutput() {
  const auto server = askSoundServer();
  const QByteArray wanted =
      server ? QByteArray::fromStdString(server->defaultOutput) : QByteArray();
  for (const QAudioDevice& d : QMediaDevices::audioOutputs())
    if (d.id() == wanted) return d;
  return QMediaDevices::defaultAudioOutput();
}

}  // namespace

void AlarmPlayer::playLoop(const std::string& name) {
  stop();
  const std::string file = resolve(name);
  if (file.empty()) return;
  QSoundEffect& effect = effectFor(file);
  const QAudioDevice output = defaultOutput();
  output_ = output.id().toStdString();
  if (output.isNull()) unavailable();
  effect.setAudioDevice(output);
  effect.play();
  playingFile_ = file;
}

void AlarmPlayer::stop() {
  for (auto& [file, effect] : effects_) effect->stop();
  playingFile_.clear();
}

void AlarmPlayer::unavailable() {
  if (told_ || !tell_) return;
  told_ = true;
  tell_(output_);
}

const QSoundEffect* AlarmPlayer::playingEffect() const {
  auto it = effects_.find(playingFile_);
  return it == effects_.end() ? nullptr : it->second.get();
}

}  // namespace radmon
