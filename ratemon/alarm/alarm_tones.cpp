#include "alarm_tones.h"

#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace radmon {
namespace {

// Appends `seconds` of a sine at `hz` (0: silence), faded in and out over 5 ms so the
// edges do not click.
void appendTone(std::vector<int16_t>& out, double hz, double seconds, double level = 0.6) {
  const int n = static_cast<int>(seconds * kAlarmSampleRate);
  const int fade = kAlarmSampleRate / 200;
  for (int i = 0; i < n; ++i) {
    double v = 0;
    if (hz > 0) {
      const double envelope = std::min({1.0, double(i) / fade, double(n - 1 - i) / fade});
      v = level * envelope * std::sin(2 * std::numbers::pi * hz * i / kAlarmSampleRate);
    }
    out.push_back(static_cast<int16_t>(std::lround(v * 32767)));
  }
}

}  // namespace

std::vector<int16_t> alarmToneSamples(AlarmPattern pattern) {
  std::vector<int16_t> s;
  switch (pattern) {
    case AlarmPattern::Stage1:
      appendTone(s, 660, 0.4);
      appendTone(s, 880, 0.4);
      break;
    case AlarmPattern::Stage2:
      appendTone(s, 1500, 0.1);
      appendTone(s, 0, 0.1);
      break;
    case AlarmPattern::Fallback:
      appendTone(s, 1000, 0.5);
      appendTone(s, 0, 0.5);
      break;
    case AlarmPattern::Fault:
      appendTone(s, 784, 0.25, 0.25);
      appendTone(s, 523, 0.25, 0.25);
      appendTone(s, 0, 2.5);
      break;
  }
  return s;
}

std::expected<void, WriteStep> writeAlarmWav(const std::string& path, AlarmPattern pattern) {
  const auto samples = alarmToneSamples(pattern);
  SF_INFO info{};
  info.samplerate = kAlarmSampleRate;
  info.channels = 1;
  info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
  SNDFILE* f = sf_open(path.c_str(), SFM_WRITE, &info);
  if (!f) return std::unexpected(WriteStep::open);
  const auto written = sf_write_short(f, samples.data(), static_cast<sf_count_t>(samples.size()));
  sf_close(f);
  if (written != static_cast<sf_count_t>(samples.size())) return std::unexpected(WriteStep::write);
  return {};
}

}  // namespace radmon
