// When an upload's end may go. Once the server's kernel has acknowledged the last byte,
// a slow server may still have much of the file to read from its receive buffer, and
// libcurl waits only a minute for the server's reply once the end has gone. So the end
// is held while the server's advertised window says its buffers hold much: until they
// are nearly read, or until what they held could be read at the pace the window shows,
// or for a time in proportion to what they held.
#pragma once

#include <cstdint>

namespace radmon::ftp {

// What may still sit in the server's buffers that libcurl's minute for the reply covers.
inline constexpr int64_t kBufferedForReply = 16 * 1024;
// The slowest pace of a server that is still reading: the longest hold is what its
// buffers held at this pace.
inline constexpr int64_t kSlowestBytesPerSecond = 256;
inline constexpr double kLongestHoldSeconds = 8 * 60;

struct DrainView {
  double heldSeconds = 0;  // since the last byte was acknowledged
  int64_t peakWindow = 0;  // the largest window the server advertised for this transfer
  int64_t heldWindow = 0;  // its window when the last byte was acknowledged
  int64_t window = 0;      // its window now
};

// Whether the end may go now.
bool endMayGo(const DrainView& view);

}  // namespace radmon::ftp
