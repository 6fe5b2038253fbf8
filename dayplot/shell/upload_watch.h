// The FTP clients that dayplot has started and not yet heard back from. Nobody waits
// for a client: a timer asks now and then which have ended, and their outcome (the
// time, success or the client's own reason) is shown to the operator.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "dayplot_settings.h"
#include "local_time.h"
#include "messages.h"
#include "process_launcher.h"

namespace radmon {

struct UploadOutcome {
  LocalDateTime endedAt;
  std::string file;    // the local file that was to be sent
  bool succeeded = false;
  std::string reason;  // the client's exit status and its last line, when it failed
};

// One line for the window or the log, e.g. "2011/03/15 10:20:03 FTP転送成功: /…/g.jpg".
std::string uploadOutcomeText(const UploadOutcome& outcome);

// The client's reason for a failure: its exit status and the last line it wrote.
std::string clientReason(const ProcessOutcome& outcome);

class UploadWatch {
 public:
  void add(std::unique_ptr<StartedProcess> client, std::string file);
  // The clients that have ended since the last call, stamped with `now`, in the order
  // they were started. Never blocks.
  std::vector<UploadOutcome> collect(const LocalDateTime& now);
  bool empty() const { return clients_.empty(); }

 private:
  struct Client {
    std::unique_ptr<StartedProcess> process;
    std::string file;
  };
  std::vector<Client> clients_;
};

// `UploadDayGraph` for `TargetDay` with the controls as they are now; the client, if it
// could be started, goes under `watch`.
void startDayGraphUpload(const DayplotSettings& controls, const std::string& DataFolder,
                         const std::string& TargetDay, const std::string& today,
                         const std::string& programFolder, ProcessLauncher& launcher,
                         MessageSink& messages, UploadWatch& watch);

// The out-of-service notice that the operator keeps beside the program: program folder +
// `Text3` + ".jpg", named like today's graph so that it takes the graph's place.
std::string noticeImagePath(const DayplotSettings& controls, const std::string& programFolder);

// Sends the notice image with the upload's settings, whether or not FTP transfer is
// ticked; a missing image is the client's to report.
void startNoticeUpload(const DayplotSettings& controls, const std::string& programFolder,
                       ProcessLauncher& launcher, MessageSink& messages, UploadWatch& watch);

}  // namespace radmon
