#include "held_end.h"

#include <algorithm>

namespace radmon::ftp {

bool endMayGo(const DrainView& v) {
  const int64_t buffered = std::max<int64_t>(0, v.peakWindow - v.window);
  if (buffered <= kBufferedForReply) return true;
  // The window reopens as the server reads: what is left goes within half the reply's
  // minute at that pace.
  const int64_t read = v.window - v.heldWindow;
  if (read > 0 && v.heldSeconds > 0 &&
      static_cast<double>(buffered) / (static_cast<double>(read) / v.heldSeconds) <= 30)
    return true;
  const int64_t held = std::max<int64_t>(0, v.peakWindow - v.heldWindow);
  return v.heldSeconds >=
         std::min(kLongestHoldSeconds, static_cast<double>(held) / kSlowestBytesPerSecond);
}

}  // namespace radmon::ftp
