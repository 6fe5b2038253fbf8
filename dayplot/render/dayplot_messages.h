// dayplot's words to the operator, in one place: the libraries and the shells hand over
// what happened (a result code, a path, an errno) and take the sentence from here, for
// the window, --process and --headless alike. The texts go through Qt's translation
// (context "dayplot"), so an English catalogue can be added with lupdate.
#pragma once

#include <QCoreApplication>
#include <string>
#include <string_view>
#include <vector>

#include "event_log.h"
#include "lock_file.h"
#include "read_result.h"
#include "server_address.h"

#include "text_files.h"

namespace radmon {

// tr() of the translation context that lupdate files every dayplot text under.
struct dayplot {
  Q_DECLARE_TR_FUNCTIONS(dayplot)
};

// Where the messages go: a message box in the window, stderr without one.
class MessageSink {
 public:
  virtual ~MessageSink() = default;
  // Shows one message (UTF-8) and returns when the operator has seen it.
  virtual void show(const std::string& message) = 0;
};

class StderrMessages final : public MessageSink {
 public:
  void show(const std::string& message) override;
};

namespace say {

std::string graphFailed(std::string_view detail);  // detail may be empty
std::string badScale();
std::string noDayFile();
std::string skippedLines(std::string_view dayFile,
                         const std::vector<LineIssue<RecordIssue>>& lines);
// The sound path's faults of a day, from its event log: "03:10-03:40 録音デバイスなし, ...".
std::string faultPeriods(std::string_view day, const std::vector<FaultPeriod>& periods);
std::string imageNotWritten(bool jpeg, std::string_view path, std::string_view reason);
std::string fileNotWritten(std::string_view path, const WriteFault& fault);
std::string scriptNotWritten(std::string_view path, const WriteFault& fault);
// The station's page or its minutes could not be written: nothing of the page is sent.
std::string pageNotWritten(std::string_view path, std::string_view reason);
std::string uploadNotStarted(std::string_view detail);
std::string clientNotStarted(std::string_view program, int error);
std::string badDayArgument(std::string_view text);
std::string processingFailed(std::string_view detail);
// The unattended schedule's log; `todayPeriod` 0: today is not processed.
std::string nothingScheduled(std::string_view settingsFile);
std::string started(int todayPeriod, bool yesterday, std::string_view hour, std::string_view minute,
                    bool upload, std::string_view dataFolder);
std::string processingDay(bool today, std::string_view day);
std::string scriptNotRemoved(std::string_view reason);
std::string finished();
// The month and year graphs, and the mean's interval on the day graph.
std::string noPeriodFile();
std::string badMonthArgument(std::string_view text);
std::string badYearArgument(std::string_view text);
std::string processingPeriod(std::string_view period);
// 0 the daily range, 1 the daily mean, 2 fault days, 3 days with hours missing
std::string periodLegend(int which);
// The place and tube a new station (no dayplot.ini yet) prints on its graphs until the
// operator types their own: the Japanese program's own texts, or in English no place
// and a plain tube name.
std::string newStationPlace();
std::string newStationTube();
std::string daysWithFile(int present, int days);
// "(95%: 0.203～0.207)" after the day's mean.
std::string meanInterval(std::string_view lower, std::string_view upper);
// After a day's mean that is cut at 0: the day's pulses lie below the background.
std::string meanBelowBackground();
// What was wrong in a settings file beside dayplot.ini.
std::string settingsIssue(std::string_view path, const LineIssue<SettingsIssue>& issue);

// Publishing. The outcome of one upload, the same words in the window, the log and
// --process: "FTP転送成功: FILE", or "FTP転送失敗: FILE (REASON)" with " HH:MM に再送します"
// when it waits in the queue (`retryAt` empty: not queued).
std::string uploadOutcome(bool succeeded, std::string_view file, std::string_view reason,
                          std::string_view retryAt = {});
// --process, after a failed upload's outcome: the file stays in the queue, and a later
// run of dayplot (the window or --process) from `retryAt` on sends it.
std::string keptInQueue(std::string_view retryAt);
// The client's part of a failure: its exit status (-1: it crashed) and its own words.
std::string clientReason(int exitStatus, std::string_view said);
// ftpscript's cause of a failure, from its exit status (see its README); empty for a
// status it does not give.
std::string ftpscriptCause(int exitStatus);
// After a refused SSH host key's cause: its fingerprint and the setting that accepts it.
std::string hostKeyToTrust(std::string_view fingerprint);
// An SSH host key seen first and kept: the server and the key's fingerprint, to check.
std::string hostKeyKept(std::string_view server, std::string_view fingerprint);
// ftpscript's transfer line: the local file to send is missing or unreadable.
std::string uploadFileUnreadable();
// A success stored over the old graph directly (a server that refuses to rename).
std::string storedDirectly();
std::string clientTimedOut();
std::string clientOutput(std::string_view output);
std::string uploadStopped();
// The server box, naming it and the forms it takes; `why` says what is wrong.
std::string serverBoxUnusable(AddressError why, std::string_view text);
// A start time that never matches the clock ("3" is not "03").
std::string startTimeNeverMatches(std::string_view hour, std::string_view minute);
std::string yesterdayNotSent(std::string_view day);
std::string queueNotWritten(std::string_view reason);
std::string queueWrittenAgain();
// dayplot.ini exists but cannot be read: the defaults are used.
std::string settingsFileUnreadable(std::string_view path);
// Another dayplot (the service, or a window) keeps this station, or the lock file at
// `path` cannot be opened.
std::string lockRefused(std::string_view path, const LockFile::Refusal& refusal);
std::string certificateQuestion(std::string_view failure, std::string_view fingerprint);
std::string trustNotSaved(std::string_view reason);
// The same for an SSH host key whose fingerprint is "SHA256:…".
std::string hostKeyQuestion(std::string_view failure, std::string_view fingerprint);
std::string hostKeyTrustNotSaved(std::string_view reason);
std::string badFingerprint(std::string_view text);
std::string badHostKeyFingerprint(std::string_view text);
std::string publishSettingsNotSaved(std::string_view reason);

}  // namespace say
}  // namespace radmon
