// A recording played back as the audio input: a mono sound file at 22050 samples/s
// in any sample format libsndfile reads (8-bit files come through byte for byte,
// others are rounded to the nearest 8-bit unsigned step). The last second may be
// short; after it the input stops by itself. A file without a single sample (a bare
// header, or no bytes at all) is refused as FileEmpty. A file that ends before the length its
// header gives (cut off, or unreadable part-way) raises deviceFailed(EndedEarly).
//
// Threading and lifetime as PullAudioInput. openDevice() reopens the file from its
// start; the file stays open until closeDevice() or destruction.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "pull_audio_input.h"

struct sf_private_tag;

namespace radmon {

class WavFileInput : public PullAudioInput {
 public:
  explicit WavFileInput(std::string path);
  ~WavFileInput() override;
  WavFileInput(const WavFileInput&) = delete;
  WavFileInput& operator=(const WavFileInput&) = delete;

  const std::string& path() const { return path_; }

 protected:
  std::expected<void, DeviceFailure> openSource() override;
  size_t produce(uint8_t* out, size_t n) override;
  void closeSource() override;
  bool endedEarly() const override;

 private:
  std::string path_;
  sf_private_tag* file_ = nullptr;
  int64_t frames_ = 0;  // as the header gives
  int64_t read_ = 0;
  bool readError_ = false;
  bool cutShort_ = false;
  std::vector<float> scratch_;
};

}  // namespace radmon
