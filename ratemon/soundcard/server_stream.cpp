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

std::optional<SoundServerInputs> ServerStream::view() const {
  const std::lock_guard<std::mutex> lock(viewLock_);
  return view_;
}

void ServerStream::publish() {
  known_.ownRecordings.clear();
  if (!ownInput_.empty()) known_.ownRecordings.push_back(ownInput_);
  const std::lock_guard<std::mutex> lock(viewLock_);
  view_ = known_;
}

void ServerStream::follow(pa_context* context) {
  context_ = context;
  pa_context_set_subscribe_callback(
      context,
      [](pa_context*, pa_subscription_event_type_t event, uint32_t, void* self) {
        const auto facility = event & PA_SUBSCRIPTION_EVENT_FACILITY_MASK;
        if (facility == PA_SUBSCRIPTION_EVENT_SOURCE || facility == PA_SUBSCRIPTION_EVENT_SERVER)
          static_cast<ServerStream*>(self)->list();
      },
      this);
  const auto mask = static_cast<pa_subscription_mask_t>(PA_SUBSCRIPTION_MASK_SOURCE |
                                                        PA_SUBSCRIPTION_MASK_SERVER);
  if (pa_operation* op = pa_context_subscribe(context, mask, nullptr, nullptr))
    pa_operation_unref(op);
  list();
}

void ServerStream::list() {
  // Events come in bursts (an input and its default change together): one listing at a
  // time, and one more after it for whatever came meanwhile.
  if (awaited_ > 0) {
    listAgain_ = true;
    return;
  }
  listing_ = {};
  listFailed_ = false;
  awaited_ = 2;
  pa_operation* info = pa_context_get_server_info(
      context_,
      [](pa_context*, const pa_server_info* info, void* self) {
        auto* me = static_cast<ServerStream*>(self);
        if (info && info->default_source_name)
          me->listing_.defaultInput = info->default_source_name;
        if (info && info->default_sink_name) me->listing_.defaultOutput = info->default_sink_name;
        me->answered(!info);
      },
      this);
  pa_operation* sources = pa_context_get_source_info_list(
      context_,
      [](pa_context*, const pa_source_info* info, int eol, void* self) {
        auto* me = static_cast<ServerStream*>(self);
        if (eol != 0) return me->answered(eol < 0);
        if (info)
          me->listing_.inputs.push_back(
              {info->name ? info->name : "", info->description ? info->description : ""});
      },
      this);
  for (pa_operation* op : {info, sources}) {
    if (op)
      pa_operation_unref(op);
    else
      answered(true);
  }
}

void ServerStream::answered(bool failed) {
  listFailed_ = listFailed_ || failed;
  if (--awaited_ > 0) return;
  if (!listFailed_) {
    known_ = listing_;
    listed_ = true;
    publish();
  }
  if (listAgain_ && !stop_) {
    listAgain_ = false;
    list();
  }
}

void ServerStream::run() {
  const ServerSession::Stream stream{
      "ratemon", pa_sample_spec{PA_SAMPLE_U8, kSampleRate, 1}, [this](pa_stream* s) {
        stream_ = s;
        // The server moves a stream off an input that went away, or by hand, without an
        // error: where it records now is known at once.
        pa_stream_set_moved_callback(
            s,
            [](pa_stream* s, void* self) {
              auto* me = static_cast<ServerStream*>(self);
              const char* device = pa_stream_get_device_name(s);
              me->ownInput_ = device ? device : "";
              if (me->listed_) me->publish();
            },
            this);
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
  const auto ending = ServerSession::drive(
      stop_, kConnectMs, stream,
      [this] {
        const char* device = stream_ ? pa_stream_get_device_name(stream_) : nullptr;
        ownInput_ = device ? device : "";
        if (listed_) publish();
        setState(State::Recording);
      },
      [this](pa_context* context) { follow(context); });
  // The connection is gone with the session.
  context_ = nullptr;
  stream_ = nullptr;
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
