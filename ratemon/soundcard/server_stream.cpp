#include "server_stream.h"

#include <pulse/pulseaudio.h>

#include <algorithm>
#include <chrono>
#include <system_error>

namespace radmon {
namespace {

constexpr int kSampleRate = 22050;
constexpr int kPollUs = 100'000;  // the longest the thread sleeps between looks at stop_

struct Loop {
  pa_mainloop* loop = pa_mainloop_new();
  pa_context* context = nullptr;
  pa_stream* stream = nullptr;
  ~Loop() {
    if (stream) {
      pa_stream_set_read_callback(stream, nullptr, nullptr);
      pa_stream_disconnect(stream);
      pa_stream_unref(stream);
    }
    if (context) {
      pa_context_disconnect(context);
      pa_context_unref(context);
    }
    if (loop) pa_mainloop_free(loop);
  }
};

}  // namespace

ServerStream::ServerStream(std::string input) : input_(std::move(input)) {
  waiting_.reserve(kWaitingBytes);
  try {
    thread_ = std::thread(&ServerStream::run, this);
  } catch (const std::system_error&) {
    state_ = State::Broken;
  }
}

ServerStream::~ServerStream() {
  stop_ = true;
  if (thread_.joinable()) thread_.join();
}

ServerStream::Taken ServerStream::take() {
  Taken taken;
  // The state first: sound written before a failure is taken with it.
  taken.state = state_.load(std::memory_order_acquire);
  taken.error = error_.load(std::memory_order_acquire);
  taken.sound.reserve(kWaitingBytes);
  const std::lock_guard<std::mutex> lock(waitingLock_);
  taken.sound.swap(waiting_);
  return taken;
}

void ServerStream::setState(State state, int error) {
  if (state_.load(std::memory_order_relaxed) == state) return;
  error_.store(error, std::memory_order_release);
  state_.store(state, std::memory_order_release);
}

void ServerStream::append(const uint8_t* data, size_t size) {
  const std::lock_guard<std::mutex> lock(waitingLock_);
  // What finds no room is dropped: the owner has not taken anything for four seconds
  // and takes this stream for a stalled one anyway.
  const size_t room = kWaitingBytes - std::min(waiting_.size(), kWaitingBytes);
  waiting_.insert(waiting_.end(), data, data + std::min(size, room));
}

void ServerStream::run() {
  Loop l;
  if (!l.loop) return setState(State::Broken);
  l.context = pa_context_new(pa_mainloop_get_api(l.loop), "ratemon");
  if (!l.context) return setState(State::Broken);
  // Never starts a server of its own: the system's is waited for.
  if (pa_context_connect(l.context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) {
    return setState(State::ServerGone, pa_context_errno(l.context));
  }
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kConnectMs);
  bool running = false;
  while (!stop_) {
    if (pa_mainloop_prepare(l.loop, kPollUs) < 0 || pa_mainloop_poll(l.loop) < 0 ||
        pa_mainloop_dispatch(l.loop) < 0) {
      setState(State::ServerGone);
      break;
    }
    const pa_context_state_t context = pa_context_get_state(l.context);
    if (!PA_CONTEXT_IS_GOOD(context)) {
      setState(State::ServerGone, pa_context_errno(l.context));
      break;
    }
    if (context == PA_CONTEXT_READY && !l.stream) {
      const pa_sample_spec format{PA_SAMPLE_U8, kSampleRate, 1};
      l.stream = pa_stream_new(l.context, "ratemon", &format, nullptr);
      if (!l.stream) {
        setState(State::Failed, pa_context_errno(l.context));
        break;
      }
      pa_stream_set_read_callback(
          l.stream,
          [](pa_stream* s, size_t, void* self) {
            const void* data = nullptr;
            size_t size = 0;
            while (pa_stream_readable_size(s) > 0 && pa_stream_peek(s, &data, &size) == 0 &&
                   size > 0) {
              // A hole (no data, a size) is sound the server did not have: left out.
              if (data)
                static_cast<ServerStream*>(self)->append(static_cast<const uint8_t*>(data), size);
              pa_stream_drop(s);
            }
          },
          this);
      // About five fragments a second, as the buffers are assembled whatever comes.
      pa_buffer_attr attr{};
      attr.maxlength = static_cast<uint32_t>(-1);
      attr.fragsize = kSampleRate / 5;
      if (pa_stream_connect_record(l.stream, input_.c_str(), &attr, PA_STREAM_ADJUST_LATENCY) < 0) {
        setState(State::Failed, pa_context_errno(l.context));
        break;
      }
    }
    if (l.stream) {
      const pa_stream_state_t stream = pa_stream_get_state(l.stream);
      if (stream == PA_STREAM_READY && !running) {
        running = true;
        setState(State::Recording);
      } else if (!PA_STREAM_IS_GOOD(stream)) {
        setState(State::Failed, pa_context_errno(l.context));
        break;
      }
    }
    if (!running && std::chrono::steady_clock::now() > deadline) {
      setState(State::ServerGone, PA_ERR_TIMEOUT);
      break;
    }
  }
}

}  // namespace radmon
