// dayplot's words to the operator, in one place: the libraries and the shells hand over
// what happened (a result code, a path, an errno) and take the sentence from here, for
// the window, --process and --headless alike. The texts go through Qt's translation
// (context "dayplot"), so an English catalogue can be added with lupdate.
#pragma once

#include <string>
#include <string_view>

#include "text_files.h"

namespace radmon {

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
std::string skippedLines(std::string_view dayFile, int count);
std::string imageNotWritten(bool jpeg, std::string_view path, std::string_view reason);
std::string fileNotWritten(std::string_view path, const WriteFault& fault);
std::string scriptNotWritten(std::string_view path, const WriteFault& fault);
std::string uploadNotStarted(std::string_view detail);
std::string clientNotStarted(std::string_view program, int error);
std::string badDayArgument(std::string_view text);
std::string processingFailed(std::string_view detail);
// The unattended schedule's log; `todayPeriod` 0: today is not processed.
std::string nothingScheduled(std::string_view settingsFile);
std::string started(int todayPeriod, bool yesterday, std::string_view hour,
                    std::string_view minute, bool upload, std::string_view dataFolder);
std::string processingDay(bool today, std::string_view day);
std::string scriptNotRemoved(std::string_view reason);
std::string finished();

}  // namespace say
}  // namespace radmon
