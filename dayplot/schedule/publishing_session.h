// One publishing session of dayplot: the schedule, the drawing, the upload queue and the
// memory of the certificates the operator was asked about. The settings window,
// `--headless` and `--process` drive it (timers or a wait loop are theirs) and show what
// it reports; none of them decides, draws or uploads on its own. No widgets.
#pragma once

#include <chrono>
#include <expected>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "day_graph.h"
#include "dayplot_settings.h"
#include "period_graph.h"
#include "scheduler.h"
#include "settings_sources.h"
#include "upload_watch.h"

namespace radmon {

enum class CertificateAnswer { TrustOnce, TrustAlways, Refuse };

// What a session tells its driver. `show` (from MessageSink) is for what the operator
// must see: faults, and a lasting fault's end.
class SessionReport : public MessageSink {
 public:
  // How the unattended runs go ("yesterday's graph is drawn now"): a log writes it, the
  // window keeps quiet.
  virtual void note(const std::string& /*message*/) {}
  // A graph was drawn (or tried: the picture as it stands); `byHand`: the operator asked
  // for it and looks at it.
  virtual void drawn(const QImage& /*picture*/, bool /*byHand*/) {}
  // The figures of a day graph drawn from its day file (statisticsLine gives their line).
  virtual void statistics(const DailyStats& /*stats*/) {}
  virtual void uploadEnded(const UploadOutcome& /*outcome*/) {}
  // A server showed a certificate nobody trusts, or an SSH host key other than the one
  // kept ("SHA256:…" fingerprint); asked once a session per fingerprint.
  virtual CertificateAnswer trustCertificate(const std::string& /*failure*/,
                                             const std::string& /*fingerprint*/) {
    return CertificateAnswer::Refuse;
  }
};

struct SessionParts {
  std::string programFolder;  // ends with the separator
  const Clock* clock = nullptr;
  ProcessLauncher* launcher = nullptr;
  SessionReport* report = nullptr;
  // The settings as they are now, asked for at each run: the window's controls, or
  // dayplot.ini as it was read at start.
  std::function<DayplotStart()> settings;
  // Failed uploads wait in the queue file for their retry; a single run keeps none.
  bool keepQueue = true;
  // An operator answers questions (the window): an SSH host key seen for the first time
  // is asked about like a changed one, not kept unasked.
  bool asksOperator = false;
};

// The start time's fault, for the window and the log, when it can never match.
std::expected<void, std::string> startTimeCheck(const DayplotSettings& settings);

// The month (YYYYMM) or year (YYYY) of `text`; a text that is none is told.
std::optional<Period> periodOf(PeriodKind kind, std::string_view text, MessageSink& report);

// The start sequence's settings, with the faults of dayplot.ini and dayplot_readings.ini
// told through `report`.
DayplotStart readStartSettings(const std::string& programFolder, const Clock& clock,
                               MessageSink& report);

class PublishingSession {
 public:
  // The parts must outlive the session. Needs a QGuiApplication for the drawing.
  explicit PublishingSession(SessionParts parts);

  // Tells a start time that can never match; said again only after it has changed.
  void checkStartTime();
  // The minute tick: the runs that the minutes since the last tick make due, in order,
  // the yesterday that never reached the server (first tick only), the retries due.
  void tick();
  // Draws a day (yyyymmdd) or a period and sends its JPEG when upload is ticked, also
  // when the day file was missing (the JPEG of an earlier run, if any, is sent). With the
  // station's page asked for, a day's run sends the page too: at once by hand, after the
  // tick's last graph on the schedule.
  DayGraphResult runDay(const std::string& day, bool byHand);
  DayGraphResult runPeriod(const Period& period, bool byHand);
  // The out-of-service notice beside the program, sent whether or not upload is ticked.
  void sendNotice();
  // Reports the uploads that have ended, and a lasting fault's start or end.
  void pollUploads();
  bool uploadsRunning() const { return !uploads_.empty(); }
  std::chrono::milliseconds untilNextTick() const {
    return MinuteScheduler::untilNextMinute(clock_.now());
  }

  // The running client is stopped; what was running or waiting is kept in the queue
  // (when there is one) and returned.
  std::vector<std::string> stopUploads() { return uploads_.stop(clock_.now()); }
  // The FTP script holds the password in clear: it goes at the end. Told when it cannot.
  void removeScript();

  const std::string& TargetDay() const { return TargetDay_; }

 private:
  void refresh();
  void run(const DueRun& due);
  // The yesterday to run at the first tick because its graph never reached the server
  // (the station was off at the set time): with yesterday's run and upload ticked, that
  // time passed today, and the graph neither sent nor waiting in the queue.
  std::optional<DueRun> missedYesterday(const LocalDateTime& now) const;
  // With the graph, the station's page and its minutes, and the graphs it shows that the
  // server has not had yet.
  void publishPage();
  // Sent with the settings of now, even if it has to wait for another upload.
  void upload(const std::string& file);
  UploadWatch::Starter starter(const std::string& file, const DayplotSettings& settings);
  void askAboutCertificate(const UploadOutcome& outcome);
  void watchQueueFault();

  SessionParts parts_;
  const Clock& clock_;
  SessionReport& report_;
  DayplotStart now_;
  SettingsGraphSource graphSource_{now_.controls};
  DayGraph dayGraph_;
  PeriodGraph periodGraph_;
  MinuteScheduler scheduler_;
  UploadQueue queue_;
  UploadWatch uploads_;
  bool firstTick_ = true;
  bool pageDue_ = false;  // a run of this tick asks for the station's page
  std::string TargetDay_;
  std::string startTimeSaid_;  // the start time fault told last, empty for none
  bool queueFaultSaid_ = false;
  std::set<std::string> certificatesAsked_;  // fingerprints asked about
};

}  // namespace radmon
