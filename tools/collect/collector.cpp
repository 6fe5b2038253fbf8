#include "collector.h"

#include <filesystem>

#include "acked_record.h"
#include "day_record.h"
#include "record_writer.h"
#include "state_message.h"
#include "text_files.h"

namespace radmon {
namespace {

namespace fs = std::filesystem;

bool usableFolderName(std::string_view name) {
  return !name.empty() && name != "." && name != ".." &&
         name.find_first_of("/\\") == std::string_view::npos;
}

}  // namespace

Collector::Collector(std::string folder, std::string prefix)
    : folder_(std::move(folder)), prefix_(std::move(prefix)) {}

std::string Collector::newestKey(const std::string& station) {
  if (const auto it = newest_.find(station); it != newest_.end()) return it->second;
  // A collector started again goes on after what its files already hold.
  std::string key;
  const AckedRecord newest = newestRecord(dataFolder(folder_ + station + "/"), "");
  if (const auto record = parseRecordLine(newest.line)) key = record->date + " " + record->time;
  return newest_[station] = key;
}

Collected Collector::take(std::string_view topic, std::string_view payload) {
  const std::string head = prefix_ + "/";
  constexpr std::string_view tail = "/state";
  if (!topic.starts_with(head) || !topic.ends_with(tail) ||
      topic.size() <= head.size() + tail.size())
    return Collected::NotAState;
  const std::string station(topic.substr(head.size(), topic.size() - head.size() - tail.size()));
  lastStation_ = station;
  if (!usableFolderName(station)) return Collected::BadStation;
  const auto state = parseStateJson(payload);
  if (!state) return Collected::BadMessage;

  const std::string key = state->date + " " + state->minute;
  newestKey(station);
  std::string& newest = newest_[station];
  if (key <= newest) return Collected::Repeated;

  const std::string dayFolder = dataFolder(folder_ + station + "/");
  std::error_code ec;
  fs::create_directories(dayFolder, ec);
  std::string day = state->date;
  std::erase(day, '/');
  if (auto fault = appendWhole(dayFolder + dayFileName(day), recordLineOf(*state))) {
    error_ = faultText(dayFolder + dayFileName(day), *fault);
    return Collected::WriteFailed;
  }
  newest = key;
  ++written_;
  return Collected::Written;
}

}  // namespace radmon
