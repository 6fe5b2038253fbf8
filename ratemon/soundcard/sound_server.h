// What the sound server itself says about its inputs: which one is the system's
// default and which exist; and which output is the default. Asked over a short connection of its
// own each time (before a stream is opened; a running stream follows them itself), because Qt 6.4
// marks no input as the default and its device list does not follow a server that died and came
// back.
//
// Threading: any thread; blocks for at most `timeoutMs`.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace radmon {

struct SoundServerInput {
  std::string name;         // the server's name for it, which Qt gives as the device id
  std::string description;  // the name people see
};

struct SoundServerInputs {
  std::string defaultInput;              // name of the system's default input ("" when none)
  std::string defaultOutput;             // name of the system's default output ("" when none)
  std::vector<SoundServerInput> inputs;  // recording inputs, monitors of outputs too
  // The inputs this process's recording streams are on now, as the server sees them
  // (it may have moved a stream elsewhere without a word).
  std::vector<std::string> ownRecordings;

  const SoundServerInput* find(const std::string& nameOrDescription) const;
  bool recordsFrom(const std::string& name) const;
};

// Nothing when no sound server answers in time.
std::optional<SoundServerInputs> askSoundServer(int timeoutMs = 1500);

}  // namespace radmon
