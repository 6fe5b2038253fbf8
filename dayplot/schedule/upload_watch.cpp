#include "upload_watch.h"

#include "publish_settings.h"

namespace radmon {

std::string clientReason(const ProcessOutcome& outcome) {
  // The client's own words: ftpscript says "失敗: …" for the step that failed, with the
  // server's reply and the certificate's or host key's fingerprint on the lines after it; any other
  // client's last line is its best guess.
  std::string_view last;
  std::string said;
  std::string_view rest = outcome.output;
  while (!rest.empty()) {
    const size_t end = rest.find_first_of("\r\n");
    const std::string_view line = rest.substr(0, end);
    rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
    if (line.empty()) continue;
    if (!said.empty()) {
      if (!line.starts_with("サーバの応答") && !line.starts_with("証明書の指紋") &&
          !line.starts_with(kHostKeyLead) && !line.starts_with("(")) {
        break;
      }
      said += ' ';
      said += line;
      continue;
    }
    last = line;
    if (line.starts_with("失敗")) said = line;
  }
  return say::clientReason(outcome.exitStatus, said.empty() ? last : std::string_view(said));
}

// What ftpscript tells on a success: its "注意" lines (a server that cannot replace the
// graph in one step).
std::string clientNotice(std::string_view output) {
  std::string said;
  while (!output.empty()) {
    const size_t end = output.find_first_of("\r\n");
    const std::string_view line = output.substr(0, end);
    output = end == std::string_view::npos ? std::string_view() : output.substr(end + 1);
    if (!line.starts_with("注意")) continue;
    if (!said.empty()) said += ' ';
    said += line;
  }
  return said;
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
                   outcome->exitStatus});
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
  return ended;
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
