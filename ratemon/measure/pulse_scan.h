// The pulse scan: a GM pulse is a dip of the sound below threshold minus dead band
// followed by a return above threshold plus dead band.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "station_panel.h"

namespace radmon {

struct ScanSettings {  // by default, the boxes' starting values
  // A sample below `low` (strictly) arms a pulse; one above `high` completes it.
  int low = initialWhole(Box::threshold) - initialWhole(Box::deadBand);
  int high = initialWhole(Box::threshold) + initialWhole(Box::deadBand);
  int resolution = initialWhole(Box::resolution);  // passed over after each dip sample
};

// Scans samples[1..count-1] (sample 0 is never examined) and returns the number of
// pulses completed. `armed` carries a started pulse from one buffer to the next.
// At every sample below `low` the pulse is armed and, unless that would reach the last
// sample, the scan moves `resolution` samples on before looking for the return.
int scanPulses(const uint8_t* samples, size_t count, const ScanSettings& settings, bool& armed);
// The same, also appending to `completedAt` the index of the sample that completed each
// pulse, for the intervals between pulses.
int scanPulses(const uint8_t* samples, size_t count, const ScanSettings& settings, bool& armed,
               std::vector<size_t>& completedAt);

// How long the scan was armed (inside a pulse: from the dip until the return completed
// it), for telling a tube that counts from one that is held down or merging. The open
// stretch carries from one buffer to the next in `openRun`.
struct ScanBusy {
  int64_t armedSamples = 0;  // of this buffer
  int64_t longestRun = 0;    // the longest armed stretch ended in, or still open at the
                             // end of, this buffer, with its part in earlier buffers
  int64_t openRun = 0;       // carried: the stretch still armed at the end of the buffer
};
// The same again, also measuring `busy` (its per-buffer figures start from 0).
int scanPulses(const uint8_t* samples, size_t count, const ScanSettings& settings, bool& armed,
               std::vector<size_t>& completedAt, ScanBusy& busy);

// The plain sample-by-sample form of the same scan; the reference for tests.
int scanPulsesReference(const uint8_t* samples, size_t count, const ScanSettings& settings,
                        bool& armed);

}  // namespace radmon
