// The day graph's image files: their names and their writing through QImage.
#pragma once

#include <expected>
#include <string>
#include <string_view>

class QImage;

namespace radmon {

// the graph name alone for today, so the real-time graph always replaces one file; any other
// day gets the graph name + "_" + yyyymmdd.
std::string imageBaseName(std::string_view baseName, std::string_view targetDay,
                          std::string_view todayYyyymmdd);

enum class ImageFormat { Bmp, Jpeg };

// Replaces the file at `path` with the image (JPEG at quality 100, BMP as a Windows
// bitmap). The file appears whole or not at all, since an upload may read it at any
// time. Returns what went wrong when it cannot be written.
struct ImageWriteFailure {
  std::string reason;  // Qt's description of the failed step; may be empty
};
std::expected<void, ImageWriteFailure> writeImageFile(const QImage& image, const std::string& path,
                                                      ImageFormat format);

}  // namespace radmon
