// The windowed station: wires Form1's controls to the station session, shows what the
// session tells, and runs the operator commands and the extra windows. The windows
// only show; the decisions are made in the session and the measuring core.
//
// Threading: the window thread only.
#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <expected>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "graph_window.h"
#include "main_window.h"
#include "pulse_interval_window.h"
#include "pulse_test_window.h"
#include "sound_status.h"
#include "station_session.h"

namespace radmon {

// What the save dialog of Command1 is asked to show.
struct SaveDialogRequest {
  std::string title;     // "収集データ保存フォルダ"
  std::string folder;    // the program's data folder
  std::string fileName;  // "μSVHData_nnnntthh.csv"
  std::vector<std::string> filters;
};
// Shows the dialog; the chosen path, or nothing when cancelled.
using SaveDialog = std::function<std::optional<std::string>(QWidget*, const SaveDialogRequest&)>;

struct StationParts {
  std::string programFolder;  // the station folder, ends with the separator
  std::string lockPath = LockFile::kDefaultPath;
  std::unique_ptr<AudioInput> input;
  // For inputs that do not raise their own events (WAV file, simulated tube): raises the
  // next BufferDone, false at the end. Called once a second while recording.
  std::function<bool()> deliverNext;
  std::unique_ptr<SoundOutput> sound;         // null: AlarmPlayer
  std::unique_ptr<SoundOutput> chime;         // null: AlarmPlayer with the quiet fault chime
  std::unique_ptr<Clock> clock;               // null: SystemClock
  SaveDialog saveDialog;                      // null: Qt's file dialog
  std::string dayplotPath;                    // empty: dayplot beside the program
  std::vector<std::string> dayplotArguments;  // the same station and language
  std::optional<HttpAddress> http;            // --http: the live page's address
};

class WindowStation final : public QObject, public StationView {
 public:
  explicit WindowStation(StationParts parts);
  ~WindowStation() override;

  // Takes the lock file and restores the settings. The message for the operator when
  // ratemon must not start (another ratemon holds the lock).
  std::expected<void, std::string> startup();
  // Saves the settings and finishes the session; what it tells then goes to stderr.
  // Runs once, when Form1 closes (or at destruction when it never did).
  void shutdown();

  MainWindow& window() { return *window_; }
  RecordingCycle& cycle() { return session_->cycle(); }
  GraphWindow* graphWindow() const { return graph_; }
  PulseTestWindow* pulseWindow() const { return pulse_; }
  PulseIntervalWindow* intervalWindow() const { return intervals_; }
  const CountingSettings& counting() const { return session_->counting(); }
  const std::string& saveFolder() const { return session_->cycle().saveFolder(); }

  // StationView
  void told(const Told& told) override;
  void pulseTest(const std::vector<uint8_t>& samples, int threshold, int deadBand) override;
  void redrawGraph() override;
  void recordingStateChanged(bool recording) override;
  void readingsShown() override;
  void soundEvent(const SoundEvent& event, const std::string& text) override;
  void stateShown(const std::vector<LiveBanner>& banners) override;

  // The MQTT link, when ratemon_mqtt.ini names a broker; null otherwise.
  StationLink* link() const { return session_->link(); }
  // Opens the MQTT dialog (the button beside the test box).
  void showMqttDialog();

  SoundStatus& soundStatus() { return *status_; }

 private:
  void chooseRecordFolder();
  void startDayplot();
  void graphTicked(bool on);
  void openIntervals();
  void applyCounting();
  RatemonSettings settingsFromWindow() const;
  void showSettings(const RatemonSettings& s);
  // Once a second: the link's events, and its state beside the MQTT button.
  void tendLink();
  // The readings are greyed while the sound path is at fault: they are not current.
  void showReadingsCurrent(bool current);

  StationParts parts_;
  std::unique_ptr<MainWindow> window_;
  std::unique_ptr<SoundOutput> sound_;
  std::unique_ptr<SoundOutput> chime_;
  SoundStatus* status_ = nullptr;  // a child of the window
  std::unique_ptr<Clock> clock_;
  std::unique_ptr<StationSession> session_;
  QPointer<GraphWindow> graph_;
  QPointer<PulseTestWindow> pulse_;
  QPointer<PulseIntervalWindow> intervals_;
  QTimer pace_;
  QTimer linkTimer_;
  QPointer<QDialog> mqttDialog_;
  std::string linkTrouble_;  // the link's refusal as told, until its state changes
  bool shutDown_ = false;
  bool tubeSaturated_ = false;  // between tube-saturated and tube-saturated-ok
};

}  // namespace radmon
