// The alarm sounds ratemon ships and the tone that stands in when a sound file is
// missing: short loops of 16-bit mono sound at 22050 samples/s, written as WAV.
#pragma once

#include <cstdint>
#include <expected>
#include <string>
#include <vector>

#include "text_files.h"

namespace radmon {

enum class AlarmPattern {
  Stage1,    // slow two-tone: 660 Hz and 880 Hz, 0.4 s each
  Stage2,    // fast beep: 1500 Hz, 0.1 s on, 0.1 s off
  Fallback,  // plain 1000 Hz, 0.5 s on, 0.5 s off
  Fault      // soft falling chime, 784 Hz then 523 Hz, then 2.5 s of quiet: the sound
             // path is at fault, not the dose
};

inline constexpr int kAlarmSampleRate = 22050;

// One loop of the pattern; its length is a whole number of periods of each tone, so
// looping it does not click.
std::vector<int16_t> alarmToneSamples(AlarmPattern pattern);

// Writes one loop as a WAV file; the step that failed when it cannot (the sound file
// library gives no errno).
std::expected<void, WriteStep> writeAlarmWav(const std::string& path, AlarmPattern pattern);

}  // namespace radmon
