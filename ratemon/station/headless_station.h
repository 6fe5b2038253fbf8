// ratemon without a window: the recording cycle on a WAV file, a simulated tube or
// the sound card, with the settings of ratemon.ini (read, never written back: an edit
// made meanwhile counts from the next start). Every minute line is
// printed on stdout as it is appended; messages go to stderr with the time.
#pragma once

#include <cstdint>
#include <expected>
#include <functional>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>

#include "audio_input.h"
#include "command_options.h"
#include "http_address.h"
#include "local_time.h"
#include "sound_output.h"

namespace radmon {

struct HeadlessOptions {
  std::string input;                         // WAV path or sim:CPM...
  bool fast = false;                         // as fast as buffers come, on a virtual clock
  std::optional<LocalDateTime> start;        // first moment of the virtual clock
  std::optional<int64_t> seconds;            // stop after this many seconds of sound
  std::optional<std::string> mqtt;           // broker URL, over ratemon_mqtt.ini
  std::optional<std::string> mqttDiscovery;  // Home Assistant discovery prefix
  // The resolving time for the dead-time correction, in microseconds, over the one of
  // the counting settings file; 0 turns the correction off.
  std::optional<double> deadTimeMicroseconds;
  bool silent = false;              // the alarms are told but not sounded
  std::optional<HttpAddress> http;  // --http: the live page's address
};

// The exit status when the sound card can no longer be reached from this process at
// all: a new process (a service manager's restart) mends it.
inline constexpr int kExitSoundBroken = 3;

// Reads the headless options from the command line as ratemonOptions() declares it;
// the usage text when a value is wrong.
std::expected<HeadlessOptions, std::string> parseHeadlessOptions(const OptionCheck& check);

// A source the headless loop drives: deliverNext() raises the next BufferDone and
// says whether one came. A self-paced source (the sound card) waits in deliverNext()
// for its sound to come; the others are paced by the loop in real time.
struct DrivenInput {
  std::unique_ptr<AudioInput> input;
  std::function<bool()> deliverNext;
  bool selfPaced = false;
  // Says, after deliverNext() gave false, that the input can never deliver again from
  // this process; none for the inputs that cannot break so.
  std::function<bool()> broken = {};
};

// Opens the source named on the command line, given the time of day where it starts;
// an error text when it cannot.
using InputFactory = std::function<std::expected<DrivenInput, std::string>(const std::string&,
                                                                           int startSecondOfDay)>;

struct HeadlessEnvironment {
  std::string programFolder;  // ratemon.ini and the default data folder
  std::string lockPath;       // in the working folder
  InputFactory openInput;
  std::ostream& out;
  std::ostream& err;
  // Sounds the alarm stages (not asked for with --silent); none: they are only told.
  std::function<std::unique_ptr<SoundOutput>()> makeAlarm = {};
};

// Runs the station; the process exit code (0 done, 1 refused to start,
// kExitSoundBroken).
int runHeadless(const HeadlessOptions& options, const HeadlessEnvironment& env);

}  // namespace radmon
