#include "wav_file_input.h"

#include <sndfile.h>

#include <cmath>
#include <filesystem>
#include <utility>

namespace radmon {

WavFileInput::WavFileInput(std::string path) : path_(std::move(path)) {}

WavFileInput::~WavFileInput() { closeSource(); }

std::expected<void, DeviceFailure> WavFileInput::openSource() {
  closeSource();
  SF_INFO info{};
  SNDFILE* file = sf_open(path_.c_str(), SFM_READ, &info);
  std::error_code ec;
  const bool noBytes = std::filesystem::is_regular_file(path_, ec) &&
                       std::filesystem::file_size(path_, ec) == 0 && !ec;
  if (!file && noBytes) return std::unexpected(DeviceFailure{DeviceFault::FileEmpty, path_, 0, {}});
  if (!file) {
    DeviceFailure failure{DeviceFault::FileUnreadable, path_, sf_error(nullptr), {}};
    failure.detail = sf_strerror(nullptr);
    return std::unexpected(failure);
  }
  if (info.frames <= 0) {
    sf_close(file);
    return std::unexpected(DeviceFailure{DeviceFault::FileEmpty, path_, 0, {}});
  }
  if (info.channels != 1 || info.samplerate != kSampleRate) {
    sf_close(file);
    DeviceFailure failure{DeviceFault::FileFormat, path_, 0, {}};
    failure.channels = info.channels;
    failure.sampleRate = info.samplerate;
    return std::unexpected(failure);
  }
  file_ = file;
  frames_ = info.frames;
  read_ = 0;
  readError_ = false;
  // libsndfile shortens a cut-off file to what is there and notes the header's length
  // only in its log ("data : 66150 (should be 44100)").
  std::string log(4096, '\0');
  sf_command(file, SFC_GET_LOG_INFO, log.data(), static_cast<int>(log.size()));
  const auto data = log.find("\ndata :");
  cutShort_ = data != std::string::npos && log.find("(should be", data) < log.find('\n', data + 1);
  return {};
}

size_t WavFileInput::produce(uint8_t* out, size_t n) {
  if (!file_) return 0;
  scratch_.resize(n);
  // Samples come normalised to -1..1; times 128 gives the 8-bit step, which is exact
  // for 8-bit files and a rounding for finer ones.
  const sf_count_t got = sf_read_float(file_, scratch_.data(), static_cast<sf_count_t>(n));
  if (got < static_cast<sf_count_t>(n) && sf_error(file_) != SF_ERR_NO_ERROR) readError_ = true;
  if (got <= 0) return 0;
  read_ += got;
  for (sf_count_t i = 0; i < got; ++i) {
    const float step = scratch_[static_cast<size_t>(i)] * 128.0f;
    long value = 128;
    if (step >= 127.0f)
      value = 255;
    else if (step <= -128.0f)
      value = 0;
    else if (step == step)
      value = 128 + std::lround(step);  // NaN rests at 128
    out[i] = static_cast<uint8_t>(value);
  }
  return static_cast<size_t>(got);
}

bool WavFileInput::endedEarly() const { return cutShort_ || readError_ || read_ < frames_; }

void WavFileInput::closeSource() {
  if (file_) sf_close(file_);
  file_ = nullptr;
}

}  // namespace radmon
