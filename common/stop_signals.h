// Hands the stop signals (SIGINT, SIGTERM, SIGHUP: Ctrl+C, the service manager, a
// logout) over to an event loop: the handler only writes the signal's number on a
// socket pair, and the loop, watching the other end, ends in order (saving what a
// close saves). No Qt here; the program puts a socket notifier on readEnd().
#pragma once

#include <initializer_list>
#include <optional>

namespace radmon {

class StopSignals {
 public:
  // Installs the handler for `stopSignals`; no value when the socket pair cannot be made.
  // One hand-over per process: a second call gives the same end.
  static std::optional<int> listen(std::initializer_list<int> stopSignals);
  // The end to watch for reading.
  static int readEnd();
  // Takes one signal off the socket: its number, or 0 when none was waiting.
  static int take();
  // Gives `stopSignals` their default action back (ending the process), for a program
  // that will not reach its event loop; true when one came meanwhile.
  static bool release(std::initializer_list<int> stopSignals);
};

}  // namespace radmon
