// Form3, the real-time graph window: the dose rate of the last 600 seconds as bars. The
// chart is redrawn into a kept picture once per measured second, so it survives a
// repaint. Tells when the operator closes it.
#pragma once

#include <array>
#include <string>

#include "picture_window.h"
#include "reading_interval.h"

namespace radmon {

class GraphWindow final : public PictureWindow {
  Q_OBJECT

 public:
  inline static const char* kCaption = QT_TRANSLATE_NOOP("ratemon", "放射線量　リアルタイムグラフ");

  explicit GraphWindow(QWidget* parent = nullptr);
  // With `band`, each second's 95 % interval is drawn over the bars.
  void redraw(const std::array<float, 600>& history, int newestSlot, const std::string& limit1Text,
              const std::string& limit2Text, const IntervalHistory* band = nullptr);

 signals:
  void closed();

 protected:
  void closeEvent(QCloseEvent* event) override;
};

}  // namespace radmon
