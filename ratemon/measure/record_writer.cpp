#include "record_writer.h"

#include "day_record.h"
#include "text_files.h"

namespace radmon {

std::expected<void, RecordKept> RecordWriter::append(const std::string& folder,
                                                     const std::string& yyyymmdd,
                                                     const std::string& line) {
  kept_.push_back({yyyymmdd, line});
  while (!kept_.empty()) {
    const std::string path = folder + dayFileName(kept_.front().yyyymmdd);
    if (auto written = appendWhole(path, kept_.front().text); !written)
      return std::unexpected(RecordKept{path, written.error(), kept_.size()});
    kept_.pop_front();
  }
  return {};
}

std::vector<std::string> RecordWriter::keptTexts() const {
  std::vector<std::string> texts;
  for (const auto& line : kept_) texts.push_back(line.text);
  return texts;
}

}  // namespace radmon
