// The sound card as a SOURCE of the command line: "default" (the system's default
// input), "device:NAME", or a bare input name: any text that is neither a simulation
// nor a file (an existing one, or one that looks like a path or a .wav name). In
// headless mode the card is driven on the thread's Qt event loop.
#pragma once

#include <chrono>
#include <csignal>
#include <iosfwd>
#include <optional>
#include <string>

#include "headless_station.h"

namespace radmon {

// The device a SOURCE text names ("" for the default input), or nothing when it names
// a file or a simulation. An input that does not exist is still a device: it is looked
// for when recording starts, and told with the inputs that do exist.
std::optional<std::string> soundCardDeviceName(const std::string& source);

// The card as the headless loop's input: deliverNext() runs the event loop until the
// next full buffer has been handed over, however long the input is away, and says
// false only once recording has stopped, the loop is interrupted or the card is
// broken(). While the input is away, `log` is reminded once every `remindEvery` (the
// loss itself is told by the cycle); nothing more once it is back. Needs a
// QCoreApplication.
inline constexpr std::chrono::milliseconds kRemindEvery = std::chrono::minutes(10);
DrivenInput drivenSoundCard(const std::string& deviceName,
                            const volatile std::sig_atomic_t* interrupted, std::ostream& log,
                            std::chrono::milliseconds remindEvery = kRemindEvery);

}  // namespace radmon
