#include "server_session.h"

#include <chrono>

namespace radmon {
namespace {

constexpr int kPollUs = 100'000;  // the longest the thread sleeps between looks at `stop`

struct Loop {
  pa_mainloop* loop = pa_mainloop_new();
  pa_context* context = nullptr;
  pa_stream* stream = nullptr;
  Loop() = default;
  Loop(const Loop&) = delete;
  Loop& operator=(const Loop&) = delete;
  ~Loop() {
    if (stream) {
      pa_stream_set_read_callback(stream, nullptr, nullptr);
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

ServerSession::Ending ServerSession::drive(const std::atomic<bool>& stop, int connectMs,
                                           const Stream& wanted,
                                           const std::function<void()>& running,
                                           const std::function<void(pa_context*)>& connected) {
  Loop l;
  if (!l.loop) return {End::Broken};
  l.context = pa_context_new(pa_mainloop_get_api(l.loop), "ratemon");
  if (!l.context) return {End::Broken};
  if (pa_context_connect(l.context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0)
    return {End::ServerGone, pa_context_errno(l.context)};
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(connectMs);
  bool ready = false;
  while (!stop) {
    if (pa_mainloop_prepare(l.loop, kPollUs) < 0 || pa_mainloop_poll(l.loop) < 0 ||
        pa_mainloop_dispatch(l.loop) < 0)
      return {End::ServerGone};
    const pa_context_state_t context = pa_context_get_state(l.context);
    if (!PA_CONTEXT_IS_GOOD(context)) return {End::ServerGone, pa_context_errno(l.context)};
    if (context == PA_CONTEXT_READY && !l.stream) {
      if (connected) connected(l.context);
      l.stream = pa_stream_new(l.context, wanted.name, &wanted.format, nullptr);
      if (!l.stream || wanted.connect(l.stream) < 0)
        return {End::Failed, pa_context_errno(l.context)};
    }
    if (l.stream) {
      const pa_stream_state_t stream = pa_stream_get_state(l.stream);
      if (stream == PA_STREAM_READY && !ready) {
        ready = true;
        running();
      } else if (!PA_STREAM_IS_GOOD(stream)) {
        return {End::Failed, pa_context_errno(l.context)};
      }
    }
    if (!ready && std::chrono::steady_clock::now() > deadline)
      return {End::ServerGone, PA_ERR_TIMEOUT};
  }
  return {End::Stopped};
}

}  // namespace radmon
