#include "upload_queue.h"

#include <algorithm>

#include "scheduler.h"
#include "text_files.h"

namespace radmon {
namespace {

// Enough for a week of daily graphs and today's.
constexpr size_t kPublishedKept = 16;

LocalDateTime fromMinuteNumber(int64_t minutes, const LocalDateTime& near) {
  return near.plusSeconds((minutes - minuteNumber(near)) * 60 - near.second);
}

}  // namespace

std::string UploadQueue::pathIn(const std::string& programFolder) {
  return programFolder + "dayplot_upload_queue.txt";
}

// One line each: "retry\t<next minute>\t<attempts>\t<file>" or "sent\t<file>".
UploadQueue::UploadQueue(std::string path) : path_(std::move(path)) {
  const auto text = readTextFile(path_);
  if (!text) return;
  for (const std::string_view lineText : textLines(*text)) {
    const std::string line(lineText);
    std::vector<std::string> fields;
    for (size_t start = 0;;) {
      const size_t tab = line.find('\t', start);
      fields.push_back(line.substr(start, tab - start));
      if (tab == std::string::npos) break;
      start = tab + 1;
    }
    try {
      if (fields.size() == 4 && fields[0] == "retry" && !fields[3].empty()) {
        entries_.push_back({fields[3], std::stoi(fields[2]), std::stoll(fields[1])});
      } else if (fields.size() == 2 && fields[0] == "sent" && !fields[1].empty()) {
        published_.push_back(fields[1]);
      }
    } catch (const std::exception&) {
      // A damaged line is dropped; the upload it stood for comes again with its day.
    }
  }
}

void UploadQueue::save() {
  std::string text;
  for (const Entry& e : entries_) {
    text += "retry\t" + std::to_string(e.nextMinute) + "\t" + std::to_string(e.attempts) + "\t" +
            e.file + "\n";
  }
  for (const std::string& file : published_) text += "sent\t" + file + "\n";
  saved_ = faultText(path_, writeTextFile(path_, text));
}

void UploadQueue::failed(const std::string& file, const LocalDateTime& now, int firstWaitMinutes) {
  auto it = std::find_if(entries_.begin(), entries_.end(),
                         [&](const Entry& e) { return e.file == file; });
  if (it == entries_.end()) it = entries_.insert(entries_.end(), Entry{file, 0, 0});
  ++it->attempts;
  int64_t wait = std::max(firstWaitMinutes, 1);
  for (int i = 1; i < it->attempts && wait < kLongestRetryWaitMinutes; ++i) wait *= 2;
  it->nextMinute = minuteNumber(now) + std::min<int64_t>(wait, kLongestRetryWaitMinutes);
  save();
}

void UploadQueue::succeeded(const std::string& file) {
  std::erase_if(entries_, [&](const Entry& e) { return e.file == file; });
  std::erase(published_, file);
  published_.push_back(file);
  while (published_.size() > kPublishedKept) published_.pop_front();
  save();
}

void UploadQueue::unsent(const std::string& file, const LocalDateTime& now) {
  if (queued(file)) return;
  entries_.push_back({file, 0, minuteNumber(now)});
  save();
}

std::vector<std::string> UploadQueue::due(const LocalDateTime& now) const {
  std::vector<std::string> files;
  for (const Entry& e : entries_) {
    if (e.nextMinute <= minuteNumber(now)) files.push_back(e.file);
  }
  return files;
}

std::vector<std::string> UploadQueue::all() const {
  std::vector<std::string> files;
  for (const Entry& e : entries_) files.push_back(e.file);
  return files;
}

std::optional<LocalDateTime> UploadQueue::nextTry(const std::string& file) const {
  for (const Entry& e : entries_) {
    if (e.file == file) return fromMinuteNumber(e.nextMinute, LocalDateTime{2000, 1, 1, 0, 0, 0});
  }
  return std::nullopt;
}

bool UploadQueue::queued(const std::string& file) const { return nextTry(file).has_value(); }

bool UploadQueue::published(const std::string& file) const {
  return std::find(published_.begin(), published_.end(), file) != published_.end();
}

}  // namespace radmon
