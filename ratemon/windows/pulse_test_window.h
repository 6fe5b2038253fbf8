// Form2, the pulse test window: shows one captured buffer with the two threshold lines.
// The picture is kept, so it survives a repaint.
#pragma once

#include <cstdint>
#include <vector>

#include "picture_window.h"

namespace radmon {

class PulseTestWindow final : public PictureWindow {
  Q_OBJECT

 public:
  inline static const char* kCaption = QT_TRANSLATE_NOOP("ratemon", "パルステストモード");

  explicit PulseTestWindow(QWidget* parent = nullptr);
  // Clears the window and draws the buffer.
  void showTrace(const std::vector<uint8_t>& samples, int threshold, int deadBand);
};

}  // namespace radmon
