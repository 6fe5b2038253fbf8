// One sound looped on one output, over a connection to the sound server of its own, on
// a thread of its own: libpulse's asynchronous API on a private main loop, as
// ServerStream records. Qt's sound effect plays over the one connection Qt keeps for the
// whole process, which stays dead once the server was away for more than a few seconds;
// a new ServerPlayback reaches a server that came back however long it was away.
//
// A playback never reconnects by itself: it plays until it fails or is destroyed, and
// the sound stops when it is destroyed.
//
// Threading: made, asked and destroyed on one thread; nothing is called back on it. The
// destructor stops the thread and waits for it (at most a tenth of a second).
#pragma once

#include <pulse/pulseaudio.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace radmon {

class ServerPlayback {
 public:
  enum class State : uint8_t {
    Connecting,  // reaching the server and opening the stream
    Playing,     // the stream runs
    ServerGone,  // no server answered, or it went away
    Failed,      // the server refused the stream, or ended it
    Broken,      // this process could not make a connection at all
  };
  static constexpr int kConnectMs = 5000;  // a stream not running by then has failed

  // Signed 16-bit samples, the channels interleaved.
  struct Sound {
    std::vector<int16_t> samples;
    int sampleRate = 0;
    int channels = 1;
  };

  // `output`: the server's name of the output; empty for the server's default.
  ServerPlayback(std::shared_ptr<const Sound> sound, std::string output);
  ~ServerPlayback();
  ServerPlayback(const ServerPlayback&) = delete;
  ServerPlayback& operator=(const ServerPlayback&) = delete;

  State state() const { return state_.load(std::memory_order_acquire); }
  bool alive() const { return state() == State::Connecting || state() == State::Playing; }

 private:
  void run();
  void write(pa_stream* stream, size_t wanted);  // the server asks for more sound
  void setState(State state) { state_.store(state, std::memory_order_release); }

  const std::shared_ptr<const Sound> sound_;
  const std::string output_;
  size_t at_ = 0;  // the next byte of the sound to write (the stream's thread only)
  std::atomic<State> state_ = State::Connecting;
  std::atomic<bool> stop_ = false;
  std::thread thread_;
};

}  // namespace radmon
