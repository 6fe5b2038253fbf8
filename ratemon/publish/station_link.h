// A station's link to its broker, as ratemon uses it in the window and headless alike:
// the settings file beside ratemon.ini with the command line over it, the catch-up from
// the day files after the last acknowledged record, and the publisher. The measuring
// thread calls every function here; only finish() waits, and only a few seconds.
#pragma once

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "mqtt_address.h"
#include "mqtt_publisher.h"
#include "mqtt_settings.h"

namespace radmon {

// What the command line says over the settings file.
struct LinkChoice {
  std::optional<std::string> url;            // --mqtt URL
  std::optional<std::string> discovery;      // --mqtt-discovery PREFIX ("off": none)
  std::optional<std::string> password = {};  // RADMON_MQTT_PASSWORD: over the settings file's
  DiscoveryNames names = {};                 // the entities' names in the interface's language
};

struct LinkNotice {
  enum Kind {
    BadAddress,         // address: what is wrong; detail: the text
    Settings,           // settings: what is wrong; detail: the settings file
    CannotStart,        // detail: libmosquitto's words
    AckedNotSaved,      // detail: the error text
    CatchingUp,         // count: records of earlier runs still to publish
    PasswordShown,      // the command line's URL carries a password (others see it in ps)
    BadStationId,       // detail: the station id file, which holds no id; nothing is published
    StationIdNotSaved,  // detail: the station id file; the id lasts this run only
  };
  Kind kind;
  std::string detail;
  MqttAddressError address = MqttAddressError::Scheme;
  LineIssue<SettingsIssue> settings = {};
  size_t count = 0;
};

class StationLink {
 public:
  // At most this long at a clean end for the acknowledgements still due.
  static constexpr auto kEndWait = std::chrono::seconds(5);
  // A little under a second, so that a real-time station's readings, a second apart
  // give or take the sound's timing, are all published.
  static constexpr auto kLiveInterval = std::chrono::milliseconds(950);

  // Starts publishing when the command line or the settings file names a broker;
  // nothing (and maybe notices) when publishing is off or cannot start.
  // `stationFolder` holds ratemon.ini and the state files, `dayFolder` the day files;
  // `today` (yyyymmdd) is where a station that never published starts.
  static std::unique_ptr<StationLink> open(const std::string& stationFolder,
                                           const std::string& dayFolder, const LinkChoice& choice,
                                           const std::string& today,
                                           std::vector<LinkNotice>& notices);

  // A record line (with its line end) just appended to its day file, with the alarm
  // stages as they stand.
  // `health`: the sound path's state when the station knows it; `bounds`: the intervals
  // behind the figures.
  void recordWritten(const std::string& line, bool alarm1, bool alarm2,
                     std::optional<std::string> health = std::nullopt,
                     std::optional<RecordBounds> bounds = std::nullopt);
  // One second's reading, published when the settings ask for live readings, at most
  // one each kLiveInterval of wall time (a fast replay delivers thousands a second).
  void second(const LocalDateTime& when, float doseRate, int64_t cpm);

  std::vector<LinkEvent> takeEvents() { return publisher_.takeEvents(); }
  LinkStatus status() const { return publisher_.status(); }
  const std::string& address() const { return address_; }
  // Waits at most `wait`; the records still unacknowledged (caught up next run).
  size_t finish(std::chrono::milliseconds wait = kEndWait) { return publisher_.finish(wait); }

  StationLink(PublisherOptions options, bool live);

 private:
  MqttPublisher publisher_;
  std::string address_;
  bool live_;
  std::chrono::steady_clock::time_point lastLive_{};
};

}  // namespace radmon
