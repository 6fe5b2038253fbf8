#include "server_playback.h"

#include <pulse/pulseaudio.h>

#include <algorithm>
#include <chrono>
#include <system_error>

namespace radmon {
namespace {

constexpr int kPollUs = 100'000;  // the longest the thread sleeps between looks at stop_

struct Loop {
  pa_mainloop* loop = pa_mainloop_new();
  pa_context* context = nullptr;
  pa_stream* stream = nullptr;
  ~Loop() {
    if (stream) {
      pa_stream_set_write_callback(stream, nullptr, nullptr);
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

ServerPlayback::ServerPlayback(std::shared_ptr<const Sound> sound, std::string output)
    : sound_(std::move(sound)), output_(std::move(output)) {
  if (!sound_ || sound_->samples.empty() || sound_->sampleRate <= 0 || sound_->channels <= 0) {
    state_ = State::Failed;
    return;
  }
  try {
    thread_ = std::thread(&ServerPlayback::run, this);
  } catch (const std::system_error&) {
    state_ = State::Broken;
  }
}

ServerPlayback::~ServerPlayback() {
  stop_ = true;
  if (thread_.joinable()) thread_.join();
}

void ServerPlayback::run() {
  Loop l;
  if (!l.loop) return setState(State::Broken);
  l.context = pa_context_new(pa_mainloop_get_api(l.loop), "ratemon");
  if (!l.context) return setState(State::Broken);
  if (pa_context_connect(l.context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0)
    return setState(State::ServerGone);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kConnectMs);
  bool playing = false;
  while (!stop_) {
    if (pa_mainloop_prepare(l.loop, kPollUs) < 0 || pa_mainloop_poll(l.loop) < 0 ||
        pa_mainloop_dispatch(l.loop) < 0)
      return setState(State::ServerGone);
    const pa_context_state_t context = pa_context_get_state(l.context);
    if (!PA_CONTEXT_IS_GOOD(context)) return setState(State::ServerGone);
    if (context == PA_CONTEXT_READY && !l.stream) {
      const pa_sample_spec format{PA_SAMPLE_S16NE, static_cast<uint32_t>(sound_->sampleRate),
                                  static_cast<uint8_t>(sound_->channels)};
      l.stream = pa_stream_new(l.context, "ratemon alarm", &format, nullptr);
      if (!l.stream) return setState(State::Failed);
      pa_stream_set_write_callback(
          l.stream,
          [](pa_stream* s, size_t wanted, void* self) {
            auto* p = static_cast<ServerPlayback*>(self);
            const auto* bytes = reinterpret_cast<const uint8_t*>(p->sound_->samples.data());
            const size_t size = p->sound_->samples.size() * sizeof(int16_t);
            // Round and round the sound, as much as the server asks for.
            while (wanted > 0) {
              const size_t chunk = std::min(wanted, size - p->at_);
              if (pa_stream_write(s, bytes + p->at_, chunk, nullptr, 0, PA_SEEK_RELATIVE) < 0)
                return;
              p->at_ = (p->at_ + chunk) % size;
              wanted -= chunk;
            }
          },
          this);
      // A fifth of a second ahead of the output, so that a stop is heard at once.
      pa_buffer_attr attr{};
      attr.maxlength = static_cast<uint32_t>(-1);
      attr.tlength = static_cast<uint32_t>(pa_usec_to_bytes(200'000, &format));
      attr.prebuf = static_cast<uint32_t>(-1);
      attr.minreq = static_cast<uint32_t>(-1);
      attr.fragsize = static_cast<uint32_t>(-1);
      if (pa_stream_connect_playback(l.stream, output_.empty() ? nullptr : output_.c_str(), &attr,
                                     PA_STREAM_ADJUST_LATENCY, nullptr, nullptr) < 0)
        return setState(State::Failed);
    }
    if (l.stream) {
      const pa_stream_state_t stream = pa_stream_get_state(l.stream);
      if (stream == PA_STREAM_READY && !playing) {
        playing = true;
        setState(State::Playing);
      } else if (!PA_STREAM_IS_GOOD(stream)) {
        return setState(State::Failed);
      }
    }
    if (!playing && std::chrono::steady_clock::now() > deadline) return setState(State::ServerGone);
  }
}

}  // namespace radmon
