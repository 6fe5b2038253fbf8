// One recording stream from one input, over a connection to the sound server of its own,
// on a thread of its own: libpulse's asynchronous API on a private main loop. Each
// stream is a new connection, so a server that died and came back, however long it was
// away, is reached again by making a new ServerStream; Qt's media backend keeps one
// connection for the whole process and cannot.
//
// The sound is 8-bit unsigned mono at 22050 samples/s, whatever the input runs at. A
// stream never reconnects by itself: it lives until it fails or is destroyed.
//
// The same connection follows the server's inputs and its default input through the
// server's events (inputs coming and going, the default changed) and where the server
// has this stream (it may move it without an error): the recording is watched without
// asking the server anything again, on no connection but this one.
//
// Threading: made, read and destroyed on one thread (the window's or the headless
// loop's), which looks with take() a few times a second; nothing is called back on it.
// The destructor stops the thread and waits for it (at most a tenth of a second).
// The two threads share the state (atomics) and the sound not yet taken (under a mutex).
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "sound_server.h"

struct pa_context;
struct pa_stream;

namespace radmon {

class ServerStream {
 public:
  enum class State : uint8_t {
    Connecting,  // reaching the server and opening the stream
    Recording,   // the stream runs
    ServerGone,  // no server answered, or it went away
    Failed,      // the server refused the stream, or ended it (the input went away)
    Broken,      // this process could not make a connection at all (no memory, no thread)
  };
  static constexpr int kConnectMs = 5000;  // a stream not running by then has failed

  explicit ServerStream(std::string input);
  ~ServerStream();
  ServerStream(const ServerStream&) = delete;
  ServerStream& operator=(const ServerStream&) = delete;

  struct Taken {
    std::vector<uint8_t> sound;
    State state = State::Connecting;
    int error = 0;  // the server library's error code when it failed
  };
  // The sound recorded since the last call, and the state now.
  Taken take();
  // The server's inputs and default input as its latest events left them, and in
  // `ownRecordings` the input this stream records from (none until it runs); nothing
  // until the server first answered.
  std::optional<SoundServerInputs> view() const;

 private:
  void run();
  // On the stream's thread: follow the server's events on `context`.
  void follow(pa_context* context);
  void list();
  void answered(bool failed);
  void publish();
  void setState(State state, int error = 0);
  void append(const uint8_t* data, size_t size);

  // At most four seconds of sound wait between the stream's thread and the owner's.
  static constexpr size_t kWaitingBytes = 4 * 22050;

  const std::string input_;
  std::mutex waitingLock_;
  std::vector<uint8_t> waiting_;  // recorded, not yet taken
  std::atomic<State> state_ = State::Connecting;
  std::atomic<int> error_ = 0;
  std::atomic<bool> stop_ = false;

  // The stream's thread's own while it runs.
  pa_context* context_ = nullptr;
  pa_stream* stream_ = nullptr;
  SoundServerInputs listing_;  // being answered
  int awaited_ = 0;            // answers still to come for listing_
  bool listFailed_ = false;
  bool listAgain_ = false;   // an event came while listing
  bool listed_ = false;      // a whole listing came
  SoundServerInputs known_;  // the last whole listing
  std::string ownInput_;

  mutable std::mutex viewLock_;
  std::optional<SoundServerInputs> view_;

  std::thread thread_;
};

}  // namespace radmon
