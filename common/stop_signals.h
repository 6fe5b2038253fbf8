// The one way the programs take the stop signals (SIGINT, SIGTERM, SIGHUP: Ctrl+C, the
// service manager, a logout): the handler only marks that one came and writes its
// number on a socket pair. An event loop watches the other end (a socket notifier on
// the end listen() gives) and ends in order, saving what a close saves; a loop without
// Qt's looks at requested() between its steps. No Qt here.
#pragma once

#include <csignal>
#include <initializer_list>
#include <optional>

namespace radmon {

class StopSignals {
 public:
  // Holds `stopSignals` back until listen() or release() lets them through: one that
  // comes while the program starts is then handled, never the default end.
  static void hold(std::initializer_list<int> stopSignals);
  // Installs the handler for `stopSignals`; no value when the socket pair cannot be made.
  // One hand-over per process: a second call gives the same end.
  static std::optional<int> listen(std::initializer_list<int> stopSignals);
  // Takes one signal off the socket: its number, or 0 when none was waiting.
  static int take();
  // Set once a stop signal has come, and never cleared: for loops that poll.
  static const volatile std::sig_atomic_t* requested();
  // Gives `stopSignals` their default action back (ending the process) and lets them
  // through, for a program that will not reach its event loop; true when one came
  // meanwhile.
  static bool release(std::initializer_list<int> stopSignals);
};

}  // namespace radmon
