// Where the day graph's messages to the operator go: a message box in the window, the
// standard error stream when running without one.
#pragma once

#include <string>

namespace radmon {

class MessageSink {
 public:
  virtual ~MessageSink() = default;
  // Shows one message (Japanese, UTF-8) and returns when the operator has seen it.
  virtual void show(const std::string& message) = 0;
};

// Writes each message as one line on stderr.
class StderrMessages final : public MessageSink {
 public:
  void show(const std::string& message) override;
};

}  // namespace radmon
