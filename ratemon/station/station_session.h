// One run of the station, for the window and the headless loop alike: the lock file,
// ratemon.ini and the counting settings, the recording cycle on the audio input (with
// its signal watch and event log), the last run's kept lines and events, the MQTT link,
// and an end that leaves nothing unwritten. All it tells goes to one StationView.
//
// Threading: the thread that raises the audio input's events.
#pragma once

#include <chrono>
#include <expected>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "counting_settings.h"
#include "live_server.h"
#include "lock_file.h"
#include "map_sender.h"
#include "ratemon_settings.h"
#include "recording_cycle.h"
#include "station_link.h"

namespace radmon {

// A state that lasts: told once when it begins and once when it ends, and named in the
// health of every record published meanwhile ("records-kept", "events-kept").
enum class Lasting { RecordsKept, EventsKept };

// A sentence for the operator at its moment. The headless log prints every one; the
// window shows those `forOperator` and the rest in its own way, or not at all.
struct Told {
  LocalDateTime when;
  std::string text;
  bool forOperator = true;
  bool link = false;  // about the MQTT link: the window keeps it on the link's status line
};

// The window or the headless log: the sentences, and the cycle's moments after the
// session has done its part.
class StationView : public CycleHooks {
 public:
  virtual void told(const Told& told) = 0;
  // The states that stand out changed (alarm, stopped, fault, lower bound, saturated):
  // the banners to show now, most urgent first; none while all is normal.
  virtual void stateShown(const std::vector<LiveBanner>& /*banners*/) {}
};

// The live reading's state in the words of the published page, so that both pages say it
// alike: stopped, then an alarm stage, a lost input, a signal fault, a lower bound. The
// lower bound is told beside an alarm or a fault (stateWords), never instead of it.
web::StationState liveStationState(const LiveReading& reading);
// Why the live reading is a lower bound: a saturated tube before a count past the
// dead-time cap, as the published page tells it.
web::LowerBound liveLowerBound(const LiveReading& reading);

class StationSession final : public CycleHooks, public StationPanel {
 public:
  // Every reference must outlive the session; `controls` hold the settings and readings.
  StationSession(std::string programFolder, std::string lockPath, std::unique_ptr<AudioInput> input,
                 StationControls& controls, SoundOutput& sound, const Clock& clock,
                 StationView& view);
  ~StationSession() override { finish(); }

  // Takes the lock, reads ratemon.ini over `settings` and the counting settings, writes
  // the last run's kept lines and events, opens the MQTT link. The refusal when another
  // ratemon holds the lock.
  std::expected<void, std::string> open(RatemonSettings& settings, const LinkChoice& choice = {});
  bool start();  // false, and told why, when recording cannot start
  // Stops, finishes the link, keeps what could not be written for the next start and
  // releases the lock. Runs once.
  void finish();
  void save(const RatemonSettings& settings);  // only while the lock is held
  void setCounting(const CountingSettings& counting);
  // (Re)opens the MQTT link with ratemon_mqtt.ini as it is now, under `choice`.
  void openLink(const LinkChoice& choice);
  void tendLink();  // tells what happened on the link since the last call
  // Serves the live page at `address` until the end (--http); false, and told why, when
  // it cannot listen there yet: it is tried again every kListenRetry while recording.
  bool serve(const HttpAddress& address);
  static constexpr std::chrono::seconds kListenRetry{5};
  // Tells what became of the minutes sent to the public maps since the last call.
  void tendMaps();
  // The last outcome of each map that is on, a line each; empty when none is.
  std::string mapsStatusText() const;

  RecordingCycle& cycle() { return cycle_; }
  StationLink* link() const { return link_.get(); }
  const CountingSettings& counting() const { return counting_; }
  // The health of the record written last (the faults that reach into its minute) and
  // the lasting states, as published with it.
  std::string healthText() const;

  // The controls', but the notices are told.
  std::string text(Box box) const override { return controls_.text(box); }
  void setText(Box box, const std::string& text) override { controls_.setText(box, text); }
  bool checked(Tick tick) const override { return controls_.checked(tick); }
  void report(const Notice& notice) override;

  void pulseTest(const std::vector<uint8_t>& s, int threshold, int band) override {
    view_.pulseTest(s, threshold, band);
  }
  void redrawGraph() override { view_.redrawGraph(); }
  void recordingStateChanged(bool recording) override;
  void readingsShown() override;
  void alarmStarted(int stage, float grossDoseRate, float limit) override;
  void recordWritten(const std::string& line) override;
  void soundEvent(const SoundEvent& event, const std::string& text) override;

 private:
  void tell(std::string text, bool forOperator = true) {
    view_.told({clock_.now(), std::move(text), forOperator});
  }
  // Every lasting state, looked at after each second and each write.
  void look();
  void hold(Lasting what, bool on, const std::optional<Notice>& cause = std::nullopt);
  // The second's reading and the state's banners, for the live page and the view.
  LiveReading liveReading();
  std::vector<LiveBanner> banners(const LiveReading& reading, web::LowerBound bound);
  void showState();  // to the view when its banners change, to the live page each time

  std::string programFolder_, lockPath_;
  std::unique_ptr<AudioInput> input_;
  StationControls& controls_;
  const Clock& clock_;
  StationView& view_;
  LockFile lock_;
  RecordingCycle cycle_;
  CountingSettings counting_;
  std::unique_ptr<StationLink> link_;
  std::optional<LinkEvent> linkTold_;  // the link's event told last
  std::unique_ptr<MapSender> maps_;
  std::map<MapService, bool> mapFailing_;          // told as failing, until a minute goes again
  std::map<MapService, MapAnswer> mapToldAnswer_;  // the refusal told last, while failing
  std::map<Lasting, bool> lasting_;
  std::optional<Notice> recordsKept_, eventsKept_;  // the last write faults, for the words
  bool finished_ = false;
  bool recording_ = false;
  bool tubeSaturated_ = false;  // between tube-saturated and tube-saturated-ok
  std::unique_ptr<LiveServer> live_;
  // The state and the lower bound last shown (web's enums) and since when, and the banners.
  int shownState_ = -1, shownBound_ = -1;
  std::string stateSince_, boundSince_;
  std::vector<LiveBanner> bannersShown_;
  int64_t records_ = 0;                     // record lines written
  std::optional<HttpAddress> httpAddress_;  // the live page's, once asked for
  std::chrono::steady_clock::time_point lastListenTry_;
  bool listenRefused_ = false;  // told, and not listening since
  bool listenLive();
};

}  // namespace radmon
