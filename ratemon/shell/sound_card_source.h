// The sound card as a SOURCE of the command line: "default" (the system's default
// input), "device:NAME", or a bare input name that is neither a simulation nor an
// existing file. In headless mode the card is driven on the thread's Qt event loop.
#pragma once

#include <csignal>
#include <iosfwd>
#include <optional>
#include <string>
#include <variant>

#include "headless_station.h"

namespace radmon {

// The device a SOURCE text names ("" for the default input), or nothing when it names
// a file or a simulation.
std::optional<std::string> soundCardDeviceName(const std::string& source);

// The card as the headless loop's input: deliverNext() runs the event loop until the
// next full buffer has been handed over, and says false once recording has stopped,
// the loop is interrupted or no sound has come for `stallSeconds`. Device errors are
// written to `err` with the time. Needs a QCoreApplication.
DrivenInput drivenSoundCard(const std::string& deviceName, std::ostream& err,
                            const volatile std::sig_atomic_t* interrupted,
                            int stallSeconds = 10);

}  // namespace radmon
