#include "pulse_scan.h"

namespace radmon {

int scanPulsesReference(const uint8_t* s, size_t count, const ScanSettings& c, bool& armed) {
  if (count < 2) return 0;
  const size_t last = count - 1;
  const size_t r = c.resolution > 0 ? static_cast<size_t>(c.resolution) : 0;
  int pulses = 0;
  for (size_t i = 1; i <= last; ++i) {
    if (s[i] < c.low) {
      armed = true;
      if (last > i + r) i += r;
    }
    if (s[i] > c.high && armed) {
      ++pulses;
      armed = false;
    }
  }
  return pulses;
}

int scanPulses(const uint8_t* s, size_t count, const ScanSettings& c, bool& armed) {
  return scanPulsesReference(s, count, c, armed);
}

}  // namespace radmon
