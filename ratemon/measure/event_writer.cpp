#include "event_writer.h"

#include "text_files.h"

namespace radmon {

std::expected<void, WriteFault> EventWriter::append(const std::string& folder,
                                                    const EventLine& event) {
  kept_.push_back(event);
  while (!kept_.empty()) {
    const EventLine& next = kept_.front();
    if (auto written =
            appendWhole(folder + eventFileName(next.when.yyyymmdd()), formatEventLine(next));
        !written)
      return written;
    kept_.pop_front();
  }
  return {};
}

std::vector<std::string> EventWriter::keptTexts() const {
  std::vector<std::string> texts;
  for (const EventLine& event : kept_) texts.push_back(formatEventLine(event));
  return texts;
}

}  // namespace radmon
