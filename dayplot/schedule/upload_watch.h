// The FTP clients that dayplot has started and not yet heard back from. Nobody waits
// for a client: a timer asks now and then which have ended, and their outcome (the
// time, success or the client's own reason) is shown to the operator. Every upload
// writes the same script file, so one client runs at a time: an upload asked for while
// another runs is started when that one has ended. With a queue, a failed upload is
// kept and started again when its wait is over (see UploadQueue).
#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "dayplot_messages.h"
#include "ftp_upload.h"
#include "local_time.h"
#include "process_launcher.h"
#include "upload_queue.h"

namespace radmon {

struct UploadOutcome {
  LocalDateTime endedAt;
  std::string file;  // the local file that was to be sent
  bool succeeded = false;
  std::string reason;  // the client's exit status and its words, when it failed; its notice else
  std::optional<LocalDateTime> retryAt;  // failed and queued: when it is tried again
  std::string output;                    // all the client wrote
  int exitStatus = 0;                    // the client's
  // A refused certificate's SHA-256 (hex) or SSH host key's ("SHA256:…"), when the
  // client said.
  std::string fingerprint;
};

// The outcome in the words of the log and --process, e.g. "FTP転送成功: /…/g.jpg".
std::string uploadOutcomeSentence(const UploadOutcome& outcome);
// The same with the time in front, for the window's foot line.
std::string uploadOutcomeText(const UploadOutcome& outcome);

// The client's reason for a failure: its exit status and what that status means
// (ftpscript), or the last line it wrote (the Windows client).
std::string clientReason(const ProcessOutcome& outcome, ClientPlatform platform = kThisPlatform);
// What the client tells on a success that the operator should know: ftpscript's transfer
// lines saying a graph was stored directly, its line saying an SSH host key seen first
// was kept.
std::string clientNotice(std::string_view output);
// The fingerprint of ftpscript's "certificate sha256=HEX" line (the hex) or its
// "host-key fingerprint=SHA256:…" line ("SHA256:…"); empty without either.
std::string refusedFingerprint(std::string_view output);

class UploadWatch {
 public:
  // Writes the script and starts the client; no process when it could not (the reason
  // has been shown).
  using Starter = std::function<std::unique_ptr<StartedProcess>()>;

  // Starts the upload of `file` now when no client runs, else once the running one has
  // ended. A file already waiting is not asked for twice.
  void request(Starter start, std::string file);
  // The outcome of the client that has ended since the last call, stamped with `now`,
  // after which the next upload in line is started. Never blocks.
  std::vector<UploadOutcome> collect(const LocalDateTime& now);
  // Keeps every failed upload in `queue` and starts it again with `restart(file)` when
  // `retryDue` finds its wait over, or at once, oldest first, as soon as an upload
  // succeeds (the server is back); `firstWaitMinutes` is read at each failure.
  void keepQueue(UploadQueue& queue, std::function<Starter(const std::string&)> restart,
                 std::function<int()> firstWaitMinutes);
  // Requests the upload of `file` again now (the operator has trusted its server).
  void retry(const std::string& file);
  // Requests the queued uploads whose wait is over at `now`.
  void retryDue(const LocalDateTime& now);
  // The program ends: the running client is stopped, and what was running or waiting
  // goes into the queue for the next start; returns those files.
  std::vector<std::string> stop(const LocalDateTime& now);

  // Whether `file` is being sent or waits to be.
  bool holds(const std::string& file) const;
  // Whether the last upload of `file` in this session failed.
  bool failed(const std::string& file) const { return failed_.contains(file); }
  // No client running and none waiting.
  bool empty() const { return !running_ && waiting_.empty(); }
  size_t waiting() const { return waiting_.size(); }

 private:
  struct Upload {
    Starter start;
    std::string file;
  };
  void startNext();

  std::unique_ptr<StartedProcess> running_;
  std::string runningFile_;
  std::deque<Upload> waiting_;
  std::set<std::string> failed_;
  UploadQueue* queue_ = nullptr;
  std::function<Starter(const std::string&)> restart_;
  std::function<int()> firstWait_;
};

}  // namespace radmon
