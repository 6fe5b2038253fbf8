// The alarm sound on the sound server's own library: one WAV at a time, looping until
// stopped; a new sound replaces the playing one. A name is looked up in the working folder
// first, then in the station folder, then among an installed program's shipped sounds;
// when none has it, a built-in tone plays instead. It plays on the system's default
// output as the sound server names it when the sound starts (Qt would take the first
// output listed, which may be the one the station records).
//
// Each attempt is a ServerPlayback on a connection of its own: while a sound is wanted
// and its output cannot be reached (the server away, however long), a new one is tried
// every kRetryMs, so the alarm is heard again once the server is back.
//
// Threading: the window thread (or the headless loop's), whose Qt events run the retries.
#pragma once

#include <QTemporaryDir>
#include <QTimer>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "alarm_tones.h"
#include "server_playback.h"
#include "sound_output.h"
#include "station_folder.h"
#include "text_files.h"

namespace radmon {

class AlarmPlayer final : public SoundOutput {
 public:
  static constexpr int kRetryMs = 3000;  // between attempts to reach the output
  static constexpr int kLookMs = 500;    // between looks at the playing stream

  // Sounds are looked for in the station folder, then among the installed program's
  // shipped files. `fallback`: the built-in tone for a missing file; `volume` 0..1 (the
  // fault chime is quieter than the alarms).
  explicit AlarmPlayer(std::string programFolder, AlarmPattern fallback = AlarmPattern::Fallback,
                       float volume = 1.0f,
                       std::string shippedFolder = shippedFilesFolder(radmon::programFolder()));
  ~AlarmPlayer() override;

  void playLoop(const std::string& name) override;
  void stop() override;

  // The file that plays for `name`: working folder, program folder, or the built-in
  // tone (empty when even that could not be written).
  std::string resolve(const std::string& name);
  // The file of the sound wanted now; empty when none.
  const std::string& playingFile() const { return playingFile_; }
  // The wanted sound's stream runs on the output.
  bool sounding() const;
  // Called with the output's name ("" when there is no output at all) when a sound cannot
  // be played, once until it plays again; the alarm then goes on unheard until it can be.
  void onUnavailable(std::function<void(const std::string&)> tell) { tell_ = std::move(tell); }
  // Called with the output's name when a sound plays again after it was told unavailable:
  // an operator who read of the loss learns that the station is heard again.
  void onBack(std::function<void(const std::string&)> tell) { back_ = std::move(tell); }

 private:
  std::shared_ptr<const ServerPlayback::Sound> soundOf(const std::string& file);
  void attempt();
  void look();
  void unavailable();

  std::string programFolder_;
  std::string shippedFolder_;
  AlarmPattern fallback_;
  float volume_;
  std::unique_ptr<QTemporaryDir> toneDir_;
  std::string fallbackFile_;
  std::map<std::string, std::shared_ptr<const ServerPlayback::Sound>> sounds_;
  std::string playingFile_;
  std::shared_ptr<const ServerPlayback::Sound> playingSound_;
  std::unique_ptr<ServerPlayback> playback_;
  std::string output_;  // the output of the last attempt
  QTimer look_;
  int sinceAttemptMs_ = 0;
  std::function<void(const std::string&)> tell_;
  std::function<void(const std::string&)> back_;
  bool told_ = false;  // the present loss was told
};

}  // namespace radmon
