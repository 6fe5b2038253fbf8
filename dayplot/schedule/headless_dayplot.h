// `dayplot --headless`: the scheduler of the settings window without any window, for
// stations without a screen. The settings come from dayplot.ini once at start and the
// file is never written back; every message goes to a stream with the time in front.
// The event loop (timers, signals) is the caller's: this class only decides and runs.
#pragma once

#include <chrono>
#include <ostream>
#include <string>

#include "day_graph.h"
#include "dayplot_messages.h"
#include "dayplot_settings.h"
#include "local_time.h"
#include "process_launcher.h"
#include "scheduler.h"
#include "settings_sources.h"
#include "upload_watch.h"

namespace radmon {

// Each message as one line: "yyyy/mm/dd hh:mm:ss message".
class TimedMessages final : public MessageSink {
 public:
  TimedMessages(std::ostream& out, const Clock& clock) : out_(out), clock_(clock) {}
  void show(const std::string& message) override;

 private:
  std::ostream& out_;
  const Clock& clock_;
};

class HeadlessDayplot {
 public:
  // `programFolder` ends with the separator. Needs a QGuiApplication for the drawing.
  // The references must outlive the object.
  HeadlessDayplot(std::string programFolder, const Clock& clock, ProcessLauncher& launcher,
                  std::ostream& err);

  // Timer1's tick: the runs that the minutes since the last tick make due, in order.
  void tick();
  // Reports the uploads that have ended since the last call.
  void pollUploads();
  bool uploadsRunning() const { return !uploads_.empty(); }
  // From now to the next tick.
  std::chrono::milliseconds untilNextTick() const;
  // The clean end: the FTP script, which holds the password, is removed.
  void finish();

  const DayplotStart& settings() const { return start_; }

 private:
  void run(const DueRun& due);
  // The yesterday whose graph never reached the server, once the set time has passed.
  void makeUpYesterday(const LocalDateTime& now);

  std::string programFolder_;
  const Clock& clock_;
  ProcessLauncher& launcher_;
  TimedMessages messages_;
  DayplotStart start_;
  SettingsGraphSource graphSource_;
  DayGraph graph_;
  MinuteScheduler scheduler_;
  UploadQueue queue_;
  UploadWatch uploads_;
  bool firstTick_ = true;
};

}  // namespace radmon
