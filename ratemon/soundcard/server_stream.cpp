#include "server_stream.h"

#include "server_session.h"

#include <pulse/pulseaudio.h>

#include <algorithm>
#include <system_error>

namespace radmon {
namespace {

constexpr int kSampleRate = 22050;

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
  const ServerSession::Stream stream{
      "ratemon", pa_sample_spec{PA_SAMPLE_U8, kSampleRate, 1}, [this](pa_stream* s) {
        pa_stream_set_read_callback(
            s,
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
        return pa_stream_connect_record(s, input_.c_str(), &attr, PA_STREAM_ADJUST_LATENCY);
      }};
  const auto ending =
      ServerSession::drive(stop_, kConnectMs, stream, [this] { setState(State::Recording); });
  switch (ending.end) {
    case ServerSession::End::Stopped:
      break;
    case ServerSession::End::ServerGone:
      setState(State::ServerGone, ending.error);
      break;
    case ServerSession::End::Failed:
      setState(State::Failed, ending.error);
      break;
    case ServerSession::End::Broken:
      setState(State::Broken);
      break;
  }
}

}  // namespace radmon
