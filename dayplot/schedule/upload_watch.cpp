#include "upload_watch.h"

#include <algorithm>

namespace radmon {

namespace {

// Calls `each` with every line of `output`, CR LF or LF.
template <typename Each>
void forEachLine(std::string_view output, Each each) {
  while (!output.empty()) {
    const size_t end = output.find_first_of("\r\n");
    each(output.substr(0, end));
    output = end == std::string_view::npos ? std::string_view() : output.substr(end + 1);
  }
}

// Whether the space-separated fields of `line` hold `field` ("direct=1").
bool hasField(std::string_view line, std::string_view field) {
  for (size_t at = line.find(field); at != std::string_view::npos; at = line.find(field, at + 1)) {
    const size_t after = at + field.size();
    if (at > 0 && line[at - 1] == ' ' && (after == line.size() || line[after] == ' ')) return true;
  }
  return false;
}

}  // namespace

std::string clientReason(const ProcessOutcome& outcome, ClientPlatform platform) {
  // ftpscript's exit status names the cause; any other client's last line is its best
  // guess.
  std::string said;
  if (platform == ClientPlatform::Posix) {
    said = say::ftpscriptCause(outcome.exitStatus);
    // Its other failures: a file that was not there to send is told by its transfer line.
    forEachLine(outcome.output, [&](std::string_view line) {
      if (said.empty() && line.starts_with("transfer result=failed ") &&
          hasField(line, "cause=local-file"))
        said = say::uploadFileUnreadable();
    });
    // A refused SSH host key: its fingerprint, and the setting that would accept it.
    const std::string print = refusedFingerprint(outcome.output);
    if (print.starts_with("SHA256:")) said += say::hostKeyToTrust(print);
  } else {
    forEachLine(outcome.output, [&](std::string_view line) {
      if (!line.empty()) said = line;
    });
  }
  return say::clientReason(outcome.exitStatus, said);
}

std::string clientNotice(std::string_view output) {
  static constexpr std::string_view kKept = "host-key-kept fingerprint=";
  bool direct = false;
  std::string kept;
  forEachLine(output, [&](std::string_view line) {
    direct = direct || (line.starts_with("transfer result=ok ") && hasField(line, "direct=1"));
    if (const size_t server = line.find(" server="); line.starts_with(kKept) && server != line.npos)
      kept = say::hostKeyKept(line.substr(server + 8),
                              line.substr(kKept.size(), server - kKept.size()));
  });
  std::string notice = direct ? say::storedDirectly() : std::string();
  if (!kept.empty()) notice += (notice.empty() ? "" : " ") + kept;
  return notice;
}

std::string refusedFingerprint(std::string_view output) {
  static constexpr std::string_view kCertificate = "certificate sha256=";
  static constexpr std::string_view kHostKey = "host-key fingerprint=";
  std::string found;
  forEachLine(output, [&](std::string_view line) {
    if (line.starts_with(kCertificate)) found = line.substr(kCertificate.size());
    if (line.starts_with(kHostKey)) found = line.substr(kHostKey.size());
  });
  return found;
}

std::string uploadOutcomeSentence(const UploadOutcome& o) {
  return say::uploadOutcome(o.succeeded, o.file, o.reason, o.retryAt ? o.retryAt->hhmm() : "");
}

std::string uploadOutcomeText(const UploadOutcome& o) {
  return o.endedAt.logLine(uploadOutcomeSentence(o));
}

void UploadWatch::request(Starter start, std::string file) {
  for (const Upload& upload : waiting_) {
    if (upload.file == file) return;
  }
  waiting_.push_back({std::move(start), std::move(file)});
  if (!running_) startNext();
}

void UploadWatch::startNext() {
  while (!running_ && !waiting_.empty()) {
    Upload next = std::move(waiting_.front());
    waiting_.pop_front();
    running_ = next.start();
    runningFile_ = std::move(next.file);
  }
}

std::vector<UploadOutcome> UploadWatch::collect(const LocalDateTime& now) {
  std::vector<UploadOutcome> ended;
  if (!running_) return ended;
  const auto outcome = running_->poll();
  if (!outcome) return ended;
  const bool ok = outcome->finished && outcome->exitStatus == 0;
  ended.push_back({now,
                   runningFile_,
                   ok,
                   ok ? clientNotice(outcome->output) : clientReason(*outcome),
                   {},
                   outcome->output,
                   outcome->exitStatus,
                   ok ? std::string() : refusedFingerprint(outcome->output)});
  if (ok)
    failed_.erase(runningFile_);
  else
    failed_.insert(runningFile_);
  const bool sendOn = ok && queue_ != nullptr && queue_->size() > 0;
  if (queue_ != nullptr) {
    if (ok) {
      queue_->succeeded(runningFile_);
    } else {
      queue_->failed(runningFile_, now, firstWait_());
      ended.back().retryAt = queue_->nextTry(runningFile_);
    }
  }
  running_.reset();
  startNext();
  // The server takes uploads again: what the queue holds goes now, not at its next try.
  if (sendOn) {
    for (const std::string& file : queue_->all()) retry(file);
  }
  return ended;
}

bool UploadWatch::holds(const std::string& file) const {
  if (running_ && runningFile_ == file) return true;
  return std::any_of(waiting_.begin(), waiting_.end(),
                     [&](const Upload& upload) { return upload.file == file; });
}

void UploadWatch::keepQueue(UploadQueue& queue, std::function<Starter(const std::string&)> restart,
                            std::function<int()> firstWaitMinutes) {
  queue_ = &queue;
  restart_ = std::move(restart);
  firstWait_ = std::move(firstWaitMinutes);
}

void UploadWatch::retry(const std::string& file) {
  if (restart_ && !(running_ && runningFile_ == file)) request(restart_(file), file);
}

void UploadWatch::retryDue(const LocalDateTime& now) {
  if (queue_ == nullptr) return;
  for (const std::string& file : queue_->due(now)) retry(file);
}

std::vector<std::string> UploadWatch::stop(const LocalDateTime& now) {
  std::vector<std::string> stopped;
  if (running_) {
    running_->wait(std::chrono::milliseconds(0));
    running_.reset();
    stopped.push_back(runningFile_);
  }
  for (const Upload& upload : waiting_) stopped.push_back(upload.file);
  waiting_.clear();
  if (queue_ != nullptr) {
    for (const std::string& file : stopped) queue_->unsent(file, now);
  }
  return stopped;
}

}  // namespace radmon
