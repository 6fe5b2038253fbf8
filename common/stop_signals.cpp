#include "stop_signals.h"

#include <pthread.h>
#include <sys/socket.h>
#include <unistd.h>

#include <csignal>

namespace radmon {
namespace {

// Written by the handler, read by the loop; set once before any handler is installed.
int handOverPair[2] = {-1, -1};
volatile std::sig_atomic_t came = 0;

void handOver(int signal) {
  came = 1;
  const char byte = static_cast<char>(signal);
  [[maybe_unused]] const ssize_t n = ::write(handOverPair[1], &byte, 1);
}

sigset_t setOf(std::initializer_list<int> signals) {
  sigset_t set;
  sigemptyset(&set);
  for (const int s : signals) sigaddset(&set, s);
  return set;
}

}  // namespace

void StopSignals::hold(std::initializer_list<int> stopSignals) {
  const sigset_t held = setOf(stopSignals);
  pthread_sigmask(SIG_BLOCK, &held, nullptr);
}

std::optional<int> StopSignals::listen(std::initializer_list<int> stopSignals) {
  // Without the pair the handler still marks the stop for the loops that poll.
  const bool paired =
      handOverPair[0] >= 0 ||
      ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, handOverPair) == 0;
  struct sigaction action {};
  action.sa_handler = handOver;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (const int s : stopSignals) sigaction(s, &action, nullptr);
  // A program may hold them while it starts: one that came meanwhile is handed over now.
  const sigset_t handled = setOf(stopSignals);
  pthread_sigmask(SIG_UNBLOCK, &handled, nullptr);
  return paired ? std::optional<int>(handOverPair[0]) : std::nullopt;
}

const volatile std::sig_atomic_t* StopSignals::requested() { return &came; }

int StopSignals::take() {
  char byte = 0;
  return handOverPair[0] >= 0 && ::read(handOverPair[0], &byte, 1) == 1
             ? static_cast<unsigned char>(byte)
             : 0;
}

bool StopSignals::release(std::initializer_list<int> stopSignals) {
  for (const int s : stopSignals) std::signal(s, SIG_DFL);
  const bool came = take() != 0;
  const sigset_t released = setOf(stopSignals);
  pthread_sigmask(SIG_UNBLOCK, &released, nullptr);
  return came;
}

}  // namespace radmon
