#include "pulse_scan.h"

#include <algorithm>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace radmon {
namespace {

// First index j in [i, end) whose sample lies outside [lo, hi]; `end` when none.
// Sound between pulses sits well inside the range, so the search runs over whole
// 64-byte blocks with one minimum and one maximum each and only looks at single
// samples in the block where something happens.
size_t findOutside(const uint8_t* s, size_t i, size_t end, int lo, int hi) {
  if (lo > hi) return i;  // the range is empty: every sample is outside
#if defined(__SSE2__)
  const __m128i vlo = _mm_set1_epi8(static_cast<char>(lo));
  const __m128i vhi = _mm_set1_epi8(static_cast<char>(hi));
  auto load = [s](size_t k) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + k)); };
  while (i + 64 <= end) {
    const __m128i a = load(i), b = load(i + 16), c = load(i + 32), d = load(i + 48);
    const __m128i mn = _mm_min_epu8(_mm_min_epu8(a, b), _mm_min_epu8(c, d));
    const __m128i mx = _mm_max_epu8(_mm_max_epu8(a, b), _mm_max_epu8(c, d));
    const __m128i inside = _mm_and_si128(_mm_cmpeq_epi8(_mm_max_epu8(mn, vlo), mn),
                                         _mm_cmpeq_epi8(_mm_min_epu8(mx, vhi), mx));
    if (_mm_movemask_epi8(inside) != 0xFFFF) {
      // Something in this block: find the first sample from the registers at hand.
      auto insideMask = [&](__m128i v) {
        return static_cast<uint64_t>(static_cast<unsigned>(
            _mm_movemask_epi8(_mm_cmpeq_epi8(_mm_min_epu8(_mm_max_epu8(v, vlo), vhi), v))));
      };
      const uint64_t outside =
          ~(insideMask(a) | insideMask(b) << 16 | insideMask(c) << 32 | insideMask(d) << 48);
      return i + static_cast<size_t>(__builtin_ctzll(outside));
    }
    i += 64;
  }
  while (i + 16 <= end) {
    const __m128i a = load(i);
    const __m128i inside = _mm_cmpeq_epi8(_mm_min_epu8(_mm_max_epu8(a, vlo), vhi), a);
    const unsigned outside = ~static_cast<unsigned>(_mm_movemask_epi8(inside)) & 0xFFFFu;
    if (outside) return i + static_cast<size_t>(__builtin_ctz(outside));
    i += 16;
  }
#endif
  for (; i < end; ++i)
    if (s[i] < lo || s[i] > hi) return i;
  return end;
}

// Sample i: a dip arms the pulse and passes over the hold-off (unless that would reach
// the last sample); then, at the possibly advanced i, a return completes an armed
// pulse. Returns the index examined last.
inline size_t examine(const uint8_t* s, size_t i, size_t last, size_t r, const ScanSettings& c,
                      bool& armed, int& pulses, std::vector<size_t>* completedAt) {
  if (s[i] < c.low) {
    armed = true;
    if (last > i + r) i += r;
  }
  if (s[i] > c.high && armed) {
    ++pulses;
    armed = false;
    if (completedAt) completedAt->push_back(i);
  }
  return i;
}

int scanWithPositions(const uint8_t* s, size_t count, const ScanSettings& c, bool& armed,
                      std::vector<size_t>* completedAt, ScanBusy* busy) {
  if (busy) busy->armedSamples = busy->longestRun = 0;
  if (count < 2) {
    if (busy && armed) {
      busy->armedSamples = static_cast<int64_t>(count);
      busy->longestRun = busy->openRun += static_cast<int64_t>(count);
    }
    return 0;
  }
  const size_t last = count - 1;
  const size_t r = c.resolution > 0 ? static_cast<size_t>(c.resolution) : 0;
  // Waiting for a dip: anything at or above low is quiet. Armed: anything between
  // low and high is quiet. Samples are 0..255, so the bounds are clamped to that.
  const int quietLow = std::max(c.low, 0);
  const int quietHigh = std::min(c.high, 255);
  int pulses = 0;
  // A stretch armed at the start began in an earlier buffer, at sample 0 of this one.
  size_t armedAt = 0;
  int64_t before = busy && armed ? busy->openRun : 0;
  size_t i = 1;
  while (i <= last) {
    i = findOutside(s, i, last + 1, quietLow, armed ? quietHigh : 255);
    if (i > last) break;
    const bool wasArmed = armed;
    const int counted = pulses;
    const size_t at = i;
    i = examine(s, i, last, r, c, armed, pulses, completedAt);
    if (busy) {
      if (!wasArmed && (armed || pulses != counted)) armedAt = at, before = 0;
      if (pulses != counted) {  // completed at i
        const auto run = static_cast<int64_t>(i - armedAt);
        busy->armedSamples += run;
        busy->longestRun = std::max(busy->longestRun, before + run);
        before = 0;
      }
    }
    ++i;
  }
  if (busy) {
    if (armed) {
      const auto run = static_cast<int64_t>(count - armedAt);
      busy->armedSamples += run;
      busy->openRun = before + run;
      busy->longestRun = std::max(busy->longestRun, busy->openRun);
    } else {
      busy->openRun = 0;
    }
  }
  return pulses;
}

}  // namespace

int scanPulsesReference(const uint8_t* s, size_t count, const ScanSettings& c, bool& armed) {
  if (count < 2) return 0;
  const size_t last = count - 1;
  const size_t r = c.resolution > 0 ? static_cast<size_t>(c.resolution) : 0;
  int pulses = 0;
  for (size_t i = 1; i <= last; ++i) i = examine(s, i, last, r, c, armed, pulses, nullptr);
  return pulses;
}

int scanPulses(const uint8_t* s, size_t count, const ScanSettings& c, bool& armed) {
  return scanWithPositions(s, count, c, armed, nullptr, nullptr);
}

int scanPulses(const uint8_t* s, size_t count, const ScanSettings& c, bool& armed,
               std::vector<size_t>& completedAt) {
  return scanWithPositions(s, count, c, armed, &completedAt, nullptr);
}

int scanPulses(const uint8_t* s, size_t count, const ScanSettings& c, bool& armed,
               std::vector<size_t>& completedAt, ScanBusy& busy) {
  return scanWithPositions(s, count, c, armed, &completedAt, &busy);
}

}  // namespace radmon
