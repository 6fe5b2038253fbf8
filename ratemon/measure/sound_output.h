// The alarm sound: one sound at a time, looping until stopped.
#pragma once

#include <string>

namespace radmon {

class SoundOutput {
 public:
  virtual ~SoundOutput() = default;
  // Starts `name` looping at once, replacing whatever plays.
  virtual void playLoop(const std::string& name) = 0;
  // Stops whatever plays.
  virtual void stop() = 0;
};

}  // namespace radmon
