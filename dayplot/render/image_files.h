// The day graph's image files written through QImage (their names: graph_names.h).
#pragma once

#include <expected>
#include <string>
#include <string_view>

class QImage;

namespace radmon {

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
