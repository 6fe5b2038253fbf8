#include "collector.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "day_record.h"
#include "state_message.h"
#include "text_files.h"

namespace radmon {
namespace {

namespace fs = std::filesystem;

// A station keeps at most this many days read; the oldest go first.
constexpr size_t kDaysRead = 6;
constexpr int64_t kMinute = 60;

bool usableFolderName(std::string_view name) {
  return !name.empty() && name != "." && name != ".." &&
         name.find_first_of("/\\") == std::string_view::npos;
}

// Holds a station's data folder for one collector at a time (made when missing).
class FolderLock {
 public:
  explicit FolderLock(const std::string& folder) {
    std::error_code ec;
    fs::create_directories(folder, ec);
    fd_ = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd_ >= 0) ::flock(fd_, LOCK_EX);
  }
  ~FolderLock() {
    if (fd_ >= 0) ::close(fd_);
  }
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;

 private:
  int fd_ = -1;
};

int64_t fileSize(const std::string& path) {
  std::error_code ec;
  const auto size = fs::file_size(path, ec);
  return ec ? -1 : static_cast<int64_t>(size);
}

// "yyyy/mm/dd hh:mm" a number of seconds from a record's own.
std::string localText(const std::string& local, int64_t seconds) {
  const auto when = LocalDateTime::fromSlashDate(local.substr(0, 10), local.substr(11));
  if (!when) return local;
  const LocalDateTime t = when->plusSeconds(seconds);
  return t.slashDate() + " " + t.hhmm();
}

std::string firstDayOf(std::string text) {
  text.resize(std::min<size_t>(text.size(), 10));
  std::erase(text, '/');
  return text;
}

}  // namespace

Collector::Collector(std::string folder, std::string prefix, std::chrono::seconds giveUpAfter)
    : folder_(std::move(folder)), prefix_(std::move(prefix)), giveUpAfter_(giveUpAfter) {}

Collector::Station& Collector::station(const std::string& name) {
  const auto [it, added] = stations_.try_emplace(name);
  if (added) {
    std::error_code ec;
    const std::string data = dataFolder(folder_ + name + "/");
    for (const auto& entry : fs::directory_iterator(data, ec)) {
      const std::string file = entry.path().filename().string();
      if (!file.starts_with(kDayFilePrefix) || !file.ends_with(".csv")) continue;
      const std::string day =
          file.substr(kDayFilePrefix.size(), file.size() - 4 - kDayFilePrefix.size());
      if (LocalDateTime::fromYyyymmdd(day)) it->second.files.push_back(day);
    }
    std::sort(it->second.files.begin(), it->second.files.end());
  }
  return it->second;
}

Collector::Day& Collector::day(const std::string& name, Station& s, const std::string& yyyymmdd) {
  const std::string path = dataFolder(folder_ + name + "/") + dayFileName(yyyymmdd);
  Day& d = s.days[yyyymmdd];
  const int64_t size = fileSize(path);
  // Read once, and again when someone else changed the file.
  if (d.size == size && (size >= 0 || d.entries.empty())) return d;
  d.entries.clear();
  d.size = size;
  if (const auto text = readTextFile(path)) {
    std::optional<int64_t> previous;
    for (const std::string_view line : textLines(*text)) {
      const auto state = stateFromLine(line, false, false, previous);
      const auto moment = state ? utcSeconds(*state) : std::nullopt;
      if (!moment) continue;
      previous = moment;
      d.entries.try_emplace(*moment, Entry{state->elapsed, state->date + " " + state->minute,
                                           std::string(line) + "\r\n"});
    }
  }
  while (s.days.size() > kDaysRead) {
    const auto oldest = s.days.begin();
    if (oldest->first == yyyymmdd) break;
    s.days.erase(oldest);
  }
  return s.days[yyyymmdd];
}

const std::pair<const int64_t, Collector::Entry>* Collector::neighbour(
    const std::string& name, Station& s, const std::string& yyyymmdd, int64_t moment, bool before) {
  // The day itself, then the files before (or after) it, nearest first.
  std::vector<std::string> order{yyyymmdd};
  if (before) {
    for (auto it = s.files.rbegin(); it != s.files.rend(); ++it)
      if (*it < yyyymmdd) order.push_back(*it);
  } else {
    for (const std::string& f : s.files)
      if (f > yyyymmdd) order.push_back(f);
  }
  // A local day's moments lie within a day and a bit of its neighbours'.
  for (size_t i = 0; i < order.size(); ++i) {
    Day& d = day(name, s, order[i]);
    if (before) {
      auto it = d.entries.lower_bound(moment);
      if (it != d.entries.begin()) return &*std::prev(it);
    } else {
      auto it = d.entries.upper_bound(moment);
      if (it != d.entries.end()) return &*it;
    }
  }
  return nullptr;
}

std::expected<void, std::string> Collector::write(const std::string& name, Day& d,
                                                  const std::string& yyyymmdd, int64_t moment) {
  const std::string dayFolder = dataFolder(folder_ + name + "/");
  const std::string path = dayFolder + dayFileName(yyyymmdd);
  std::error_code ec;
  fs::create_directories(dayFolder, ec);
  const auto it = d.entries.find(moment);
  std::expected<void, WriteFault> written;
  if (std::next(it) == d.entries.end()) {
    written = appendWhole(path, it->second.line);
  } else {
    // A late record goes to its place: the file is replaced whole.
    std::string text;
    for (const auto& [m, e] : d.entries) text += e.line;
    written = writeTextFile(path, text);
  }
  d.size = fileSize(path);
  return faultText(path, written);
}

void Collector::noteGap(Station& s, const std::pair<const int64_t, Entry>& earlier,
                        const std::pair<const int64_t, Entry>& later, const std::string& laterDay,
                        Clock::time_point now) {
  // A record whose run had measured a minute more than the one before it: none lacks.
  const int64_t elapsed = later.second.elapsed;
  if (elapsed <= kMinute || earlier.second.elapsed == elapsed - kMinute) return;
  const int64_t from = earlier.first + kMinute, to = later.first - kMinute;
  if (to < from) return;
  Gap& gap = s.gaps[from];
  if (gap.to != to) gap.firstAsked = {};
  gap.to = to;
  gap.day = laterDay;
  gap.firstText = localText(earlier.second.local, kMinute);
  gap.lastText = localText(later.second.local, -kMinute);
  gap.progress = now;
}

void Collector::noteRunStart(Station& s, const std::pair<const int64_t, Entry>& first,
                             const std::string& day, Clock::time_point now) {
  const int64_t back = first.second.elapsed - kMinute;
  if (!s.floor) s.floor = first.first - std::min(back, kLookBackSeconds);
  const int64_t from = std::max(*s.floor, first.first - back), to = first.first - kMinute;
  if (back <= 0 || to < from) return;
  Gap& gap = s.gaps[from];
  if (gap.to != to) gap.firstAsked = {};
  gap.to = to;
  gap.day = day;
  gap.firstText = localText(first.second.local, from - first.first);
  gap.lastText = localText(first.second.local, -kMinute);
  gap.progress = now;
}

Collected Collector::take(std::string_view topic, std::string_view payload, Clock::time_point now) {
  const std::string head = prefix_ + "/";
  std::string_view tail;
  for (const std::string_view t : {std::string_view("/state"), std::string_view("/resent")})
    if (topic.ends_with(t)) tail = t;
  if (!topic.starts_with(head) || tail.empty() || topic.size() <= head.size() + tail.size())
    return Collected::NotAState;
  const std::string name(topic.substr(head.size(), topic.size() - head.size() - tail.size()));
  lastStation_ = name;
  if (!usableFolderName(name)) return Collected::BadStation;
  const auto state = parseStateJson(payload);
  const auto moment = state ? utcSeconds(*state) : std::nullopt;
  if (!moment) return Collected::BadMessage;

  const FolderLock lock(dataFolder(folder_ + name + "/"));
  Station& s = station(name);
  std::string yyyymmdd = state->date;
  std::erase(yyyymmdd, '/');
  Day& d = day(name, s, yyyymmdd);
  const auto [it, added] = d.entries.try_emplace(
      *moment, Entry{state->elapsed, state->date + " " + state->minute, recordLineOf(*state)});
  // An answer counts whether or not the record was already here.
  if (tail == "/resent" && s.awaited > 0) --s.awaited;
  if (!added) return Collected::Repeated;
  if (auto written = write(name, d, yyyymmdd, *moment); !written) {
    error_ = written.error();
    d.entries.erase(it);
    d.size = -2;  // read again next time
    return Collected::WriteFailed;
  }
  if (!std::binary_search(s.files.begin(), s.files.end(), yyyymmdd))
    s.files.insert(std::upper_bound(s.files.begin(), s.files.end(), yyyymmdd), yyyymmdd);
  ++written_;

  // The gap this record falls into closes; what is still lacking either side of it opens
  // again, as narrowed now.
  auto open = s.gaps.upper_bound(*moment);
  if (open != s.gaps.begin() && std::prev(open)->second.to >= *moment) {
    s.gaps.erase(std::prev(open));
  }
  const std::pair<const int64_t, Entry> self = *it;
  if (const auto* before = neighbour(name, s, yyyymmdd, *moment, true))
    noteGap(s, *before, self, yyyymmdd, now);
  else
    noteRunStart(s, self, yyyymmdd, now);
  if (const auto* after = neighbour(name, s, yyyymmdd, *moment, false)) {
    const auto later = *after;
    std::string laterDay = later.second.local.substr(0, 10);
    std::erase(laterDay, '/');
    noteGap(s, self, later, laterDay, now);
  }
  return Collected::Written;
}

Collector::Due Collector::tend(Clock::time_point now) {
  Due due;
  int64_t awaited = 0;
  for (auto& [name, s] : stations_) {
    // An answer not in full by now will not come.
    if (now - s.asked >= kAskEvery) s.awaited = 0;
    awaited += s.awaited;
  }
  for (auto& [name, s] : stations_) {
    Gap* ask = nullptr;
    int64_t askFrom = 0;
    for (auto it = s.gaps.begin(); it != s.gaps.end();) {
      Gap& gap = it->second;
      // Given up only a while after it was first asked for, and nothing came.
      if (gap.firstAsked != Clock::time_point{} &&
          now - std::max(gap.progress, gap.firstAsked) >= giveUpAfter_) {
        if (!filledElsewhere(name, s, it->first, gap))
          due.missing.push_back({name, it->first, gap.to, 0, gap.firstText, gap.lastText});
        it = s.gaps.erase(it);
        continue;
      }
      if (!ask || gap.asked < ask->asked) {
        ask = &gap;
        askFrom = it->first;
      }
      ++it;
    }
    if (!ask || now - s.asked < (s.awaited == 0 ? kAskAgain : kAskEvery)) continue;
    const int64_t most = std::min(kAskAtMost, (ask->to - askFrom) / kMinute + 1);
    if (awaited + most > kAwaitedAtMost) continue;
    awaited += most;
    s.awaited = most;
    s.asked = ask->asked = now;
    if (ask->firstAsked == Clock::time_point{}) ask->firstAsked = now;
    due.ask.push_back({name, askFrom, ask->to, most, ask->firstText, ask->lastText});
  }
  return due;
}

bool Collector::filledElsewhere(const std::string& name, Station& s, int64_t from, const Gap& gap) {
  const FolderLock lock(dataFolder(folder_ + name + "/"));
  // Its first minute may lie in the day before its later record's.
  for (const std::string& yyyymmdd : {gap.day, firstDayOf(gap.firstText)}) {
    const Day& d = day(name, s, yyyymmdd);
    const auto it = d.entries.lower_bound(from);
    if (it != d.entries.end() && it->first <= gap.to) return true;
  }
  return false;
}

size_t Collector::openGaps() const {
  size_t n = 0;
  for (const auto& [name, s] : stations_) n += s.gaps.size();
  return n;
}

}  // namespace radmon
