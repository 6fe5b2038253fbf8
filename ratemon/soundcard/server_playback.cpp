#include "server_playback.h"

#include "server_session.h"

#include <algorithm>
#include <system_error>

namespace radmon {

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

void ServerPlayback::write(pa_stream* stream, size_t wanted) {
  const auto* bytes = reinterpret_cast<const uint8_t*>(sound_->samples.data());
  const size_t size = sound_->samples.size() * sizeof(int16_t);
  // Round and round the sound, as much as the server asks for.
  while (wanted > 0) {
    const size_t chunk = std::min(wanted, size - at_);
    if (pa_stream_write(stream, bytes + at_, chunk, nullptr, 0, PA_SEEK_RELATIVE) < 0) return;
    at_ = (at_ + chunk) % size;
    wanted -= chunk;
  }
}

void ServerPlayback::run() {
  const pa_sample_spec format{PA_SAMPLE_S16NE, static_cast<uint32_t>(sound_->sampleRate),
                              static_cast<uint8_t>(sound_->channels)};
  const ServerSession::Stream stream{
      "ratemon alarm", format, [&](pa_stream* s) {
        pa_stream_set_write_callback(
            s,
            [](pa_stream* s, size_t wanted, void* self) {
              static_cast<ServerPlayback*>(self)->write(s, wanted);
            },
            this);
        // A fifth of a second ahead of the output, so that a stop is heard at once.
        pa_buffer_attr attr{};
        attr.maxlength = static_cast<uint32_t>(-1);
        attr.tlength = static_cast<uint32_t>(pa_usec_to_bytes(200'000, &format));
        attr.prebuf = static_cast<uint32_t>(-1);
        attr.minreq = static_cast<uint32_t>(-1);
        attr.fragsize = static_cast<uint32_t>(-1);
        return pa_stream_connect_playback(s, output_.empty() ? nullptr : output_.c_str(), &attr,
                                          PA_STREAM_ADJUST_LATENCY, nullptr, nullptr);
      }};
  const auto ending =
      ServerSession::drive(stop_, kConnectMs, stream, [this] { setState(State::Playing); });
  switch (ending.end) {
    case ServerSession::End::Stopped:
      break;
    case ServerSession::End::ServerGone:
      setState(State::ServerGone);
      break;
    case ServerSession::End::Failed:
      setState(State::Failed);
      break;
    case ServerSession::End::Broken:
      setState(State::Broken);
      break;
  }
}

}  // namespace radmon
