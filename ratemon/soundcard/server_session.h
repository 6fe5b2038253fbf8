// What ServerStream and ServerPlayback share: a connection to the sound server of their
// own on the calling thread (libpulse's asynchronous API on a private main loop) and one
// stream opened on it as soon as the connection is ready, driven until asked to stop or
// until something fails. Never starts a server of its own: the system's is waited for.
#pragma once

#include <pulse/pulseaudio.h>

#include <atomic>
#include <functional>

namespace radmon {

struct ServerSession {
  enum class End {
    Stopped,     // `stop` was set
    ServerGone,  // no server answered in time, or it went away
    Failed,      // the server refused the stream, or ended it
    Broken,      // no main loop or context could be made
  };
  struct Ending {
    End end;
    int error = 0;  // libpulse's error code, where it gave one
  };
  struct Stream {
    const char* name;
    pa_sample_spec format;
    // Sets the stream's callbacks and connects it; libpulse's result (< 0: failed).
    std::function<int(pa_stream*)> connect;
  };

  // `running` is called once, when the stream is ready; a stream not ready within
  // `connectMs` ends as ServerGone (PA_ERR_TIMEOUT). Looks at `stop` ten times a second.
  // `connected`, when given, is called once with the context as soon as it is ready,
  // before the stream is made: to ask the server more on the same connection.
  static Ending drive(const std::atomic<bool>& stop, int connectMs, const Stream& stream,
                      const std::function<void()>& running,
                      const std::function<void(pa_context*)>& connected = {});
};

}  // namespace radmon
