#include "alarm_player.h"

#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "alarm_tones.h"
#include "sound_server.h"

namespace radmon {
namespace {

// The file's sound as 16-bit samples scaled by `volume`; null when it cannot be read.
std::shared_ptr<const ServerPlayback::Sound> readSound(const std::string& file, float volume) {
  SF_INFO info{};
  SNDFILE* f = sf_open(file.c_str(), SFM_READ, &info);
  if (!f) return nullptr;
  auto sound = std::make_shared<ServerPlayback::Sound>();
  sound->sampleRate = info.samplerate;
  sound->channels = info.channels;
  if (info.frames > 0 && info.channels > 0) {
    sound->samples.resize(static_cast<size_t>(info.frames) * static_cast<size_t>(info.channels));
    const sf_count_t read = sf_readf_short(f, sound->samples.data(), info.frames);
    sound->samples.resize(static_cast<size_t>(std::max<sf_count_t>(read, 0)) *
                          static_cast<size_t>(info.channels));
  }
  sf_close(f);
  if (sound->samples.empty()) return nullptr;
  if (volume < 1.0f)
    for (int16_t& s : sound->samples) s = static_cast<int16_t>(std::lround(s * volume));
  return sound;
}

}  // namespace

AlarmPlayer::AlarmPlayer(std::string programFolder, AlarmPattern fallback, float volume,
                         std::string shippedFolder)
    : programFolder_(std::move(programFolder)),
      shippedFolder_(std::move(shippedFolder)),
      fallback_(fallback),
      volume_(std::clamp(volume, 0.0f, 1.0f)) {
  look_.setInterval(kLookMs);
  QObject::connect(&look_, &QTimer::timeout, &look_, [this] { look(); });
}

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
    if (toneDir_->isValid() && writeAlarmWav(path, fallback_)) fallbackFile_ = path;
  }
  return fallbackFile_;
}

std::shared_ptr<const ServerPlayback::Sound> AlarmPlayer::soundOf(const std::string& file) {
  auto& slot = sounds_[file];
  if (!slot) slot = readSound(file, volume_);
  return slot;
}

void AlarmPlayer::playLoop(const std::string& name) {
  stop();
  const std::string file = resolve(name);
  if (file.empty()) return;
  playingFile_ = file;
  // A file that cannot be read: the built-in tone rather than nothing.
  playingSound_ = soundOf(file);
  if (!playingSound_ && !fallbackFile_.empty() && file != fallbackFile_)
    playingSound_ = soundOf(fallbackFile_);
  if (!playingSound_) return;
  attempt();
  look_.start();
}

void AlarmPlayer::attempt() {
  sinceAttemptMs_ = 0;
  const auto server = askSoundServer();
  output_ = server ? server->defaultOutput : std::string();
  if (output_.empty()) {
    playback_.reset();
    unavailable();
    return;
  }
  playback_ = std::make_unique<ServerPlayback>(playingSound_, output_);
}

void AlarmPlayer::look() {
  if (!playingSound_) return;
  sinceAttemptMs_ += kLookMs;
  if (playback_ && playback_->alive()) {
    if (told_ && playback_->state() == ServerPlayback::State::Playing) {
      told_ = false;
      if (back_) back_(output_);
    }
    return;
  }
  if (playback_) {
    playback_.reset();
    unavailable();
  }
  if (sinceAttemptMs_ >= kRetryMs) attempt();
}

bool AlarmPlayer::sounding() const {
  return playback_ && playback_->state() == ServerPlayback::State::Playing;
}

void AlarmPlayer::stop() {
  look_.stop();
  playback_.reset();
  playingSound_.reset();
  playingFile_.clear();
}

void AlarmPlayer::unavailable() {
  if (told_) return;
  told_ = true;
  if (tell_) tell_(output_);
}

}  // namespace radmon
