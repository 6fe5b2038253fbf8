// `dayplot --headless`: the publishing session without any window, for stations without
// a screen. The settings come from dayplot.ini once at start and the file is never
// written back; everything the session reports goes to a stream with the time in front,
// each day graph's figures too (statisticsLine).
// The event loop (timers, signals) is the caller's.
#pragma once

#include <chrono>
#include <ostream>
#include <string>

#include "publishing_session.h"

namespace radmon {

class HeadlessDayplot final : private SessionReport {
 public:
  // `programFolder` ends with the separator. Needs a QGuiApplication for the drawing.
  // The references must outlive the object.
  HeadlessDayplot(std::string programFolder, const Clock& clock, ProcessLauncher& launcher,
                  std::ostream& err);

  void tick() { session_.tick(); }
  void pollUploads() { session_.pollUploads(); }
  bool uploadsRunning() const { return session_.uploadsRunning(); }
  std::chrono::milliseconds untilNextTick() const { return session_.untilNextTick(); }
  // The clean end: a running client is stopped and kept for the next start, and the FTP
  // script, which holds the password, is removed.
  void finish();

  const DayplotStart& settings() const { return start_; }

 private:
  // Each message with the time in front of each of its lines.
  void show(const std::string& message) override;
  void note(const std::string& message) override { show(message); }
  void uploadEnded(const UploadOutcome& outcome) override { show(uploadOutcomeSentence(outcome)); }
  // The day's figures as a log line of their own, after the run's.
  void statistics(const DailyStats& stats) override { show(statisticsLine(stats)); }

  std::ostream& err_;
  const Clock& clock_;
  DayplotStart start_;
  PublishingSession session_;
};

}  // namespace radmon
