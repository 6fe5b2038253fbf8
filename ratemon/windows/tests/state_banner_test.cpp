// The window's banners for the states that must not be missed: above the controls, in
// the pages' colours and words, the window growing by their height and shrinking back.
// RADMON_WINDOW_SHOTS=DIR keeps a picture of the window under two banners.
#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <cstdlib>

#include "main_window.h"
#include "qt_app.h"
#include "station_page.h"

namespace radmon {
namespace {

TEST(MainWindowBanners, BannersGrowTheWindowAboveTheControlsAndGoAgain) {
  testApp();
  MainWindow w;
  w.show();
  const QPoint start = w.cmdRec()->pos();
  w.showStateBanners(
      {{"alarm2", "警報 第2段階", "線量率が第2段階の警報値を超えました。 (2026/12/10 12:34 から)"},
       {"lower-bound", "値は下限です", "真の線量率は表示の値以上です。"}});
  ASSERT_EQ(w.stateBanners().size(), 2);
  const int grown = w.height() - MainWindow::kClientHeight;
  EXPECT_GE(grown, 2 * QFontMetrics(w.font()).height());
  EXPECT_EQ(w.width(), MainWindow::kClientWidth);
  EXPECT_EQ(w.cmdRec()->pos(), start + QPoint(0, grown));
  EXPECT_TRUE(w.stateBanners()[0]->text().contains("警報 第2段階"));
  EXPECT_TRUE(w.stateBanners()[0]->text().contains("12:34 から"));
  EXPECT_TRUE(w.stateBanners()[0]->styleSheet().contains(web::bannerColour("alarm2")));
  EXPECT_TRUE(w.stateBanners()[1]->styleSheet().contains(web::bannerColour("lower-bound")));
  // No control lies under the banners or outside the window.
  for (QWidget* child : w.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    if (child->objectName() == "stateBanners" || child->isWindow()) continue;
    EXPECT_GE(child->y(), grown) << child->objectName().toStdString();
    EXPECT_TRUE(w.rect().contains(child->geometry())) << child->objectName().toStdString();
  }
  if (const char* keep = std::getenv("RADMON_WINDOW_SHOTS"))
    w.grab().save(QString::fromLocal8Bit(keep) + "/ratemon-main-alarm.png");

  // One banner less: the window shrinks to it; none: back to the design's size.
  w.showStateBanners({{"signal-fault", "故障: 信号の異常", "この間の値は疑わしい"}});
  EXPECT_LT(w.height() - MainWindow::kClientHeight, grown);
  EXPECT_EQ(w.cmdRec()->pos().y() - start.y(), w.height() - MainWindow::kClientHeight);
  w.showStateBanners({});
  EXPECT_EQ(w.size(), QSize(MainWindow::kClientWidth, MainWindow::kClientHeight));
  EXPECT_EQ(w.cmdRec()->pos(), start);
  EXPECT_TRUE(w.stateBanners().isEmpty());
}

}  // namespace
}  // namespace radmon
