#include "sound_status.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include "fakes.h"
#include "qt_app.h"

namespace radmon {
namespace {

SoundEvent event(EventKind kind) {
  SoundEvent e;
  e.kind = kind;
  return e;
}

// The chime sounds once a fault begins, stops when the operator silences it (and stays
// quiet while faults go on), and is armed again once every fault has ended.
TEST(SoundStatus, ChimesForAFaultUntilSilencedOrEndedAndShowsTheText) {
  testApp();
  QWidget window;
  FakeSound chime;
  SoundStatus status(&window, chime);
  struct Step {
    EventKind kind;
    bool faulty;
    bool press = false;  // the silence button after the event
    const char* calls;   // the chime's calls so far
    bool chiming;
  };
  const std::vector<Step> steps = {
      {EventKind::SoundDropped, false, false, "", false},
      {EventKind::DeviceLost, true, false, "play ijou.wav", true},
      {EventKind::NoSignal, true, true, "play ijou.wav,stop", false},
      {EventKind::Hum, true, false, "play ijou.wav,stop", false},
      {EventKind::SignalOk, true, false, "play ijou.wav,stop", false},
      {EventKind::DeviceBack, false, false, "play ijou.wav,stop", false},
      {EventKind::Clipping, true, false, "play ijou.wav,stop,play ijou.wav", true},
      {EventKind::SignalOk, false, false, "play ijou.wav,stop,play ijou.wav,stop", false},
  };
  bool silenced = false;
  for (size_t i = 0; i < steps.size(); ++i) {
    SCOPED_TRACE(i);
    const Step& s = steps[i];
    silenced = silenced && s.faulty;
    status.show(event(s.kind), "line " + std::to_string(i), "text " + std::to_string(i), s.faulty);
    EXPECT_EQ(status.line()->text().toStdString(), "line " + std::to_string(i));
    EXPECT_EQ(status.line()->toolTip().toStdString(), "text " + std::to_string(i));
    EXPECT_EQ(status.line()->isVisibleTo(&window), s.faulty);  // the interval's place otherwise
    EXPECT_EQ(status.silenceButton()->isVisibleTo(&window), status.chiming() || silenced);
    if (s.press) QTest::mouseClick(status.silenceButton(), Qt::LeftButton);
    silenced = silenced || s.press;
    std::string calls;
    for (const auto& c : chime.calls) calls += (calls.empty() ? "" : ",") + c;
    EXPECT_EQ(calls, s.calls);
    EXPECT_EQ(status.chiming(), s.chiming);
  }
  status.show(event(EventKind::Hum), "hum", "hum", true);
  status.clear();
  EXPECT_TRUE(status.line()->text().isEmpty());
  EXPECT_EQ(chime.calls.back(), "stop");
  EXPECT_FALSE(status.chiming());
}

// Silencing keeps the focus on the button: the box after it in the focus chain (the
// sensitivity, on the main window) never gets it with its text selected.
TEST(SoundStatus, SilencingLeavesTheFocusOnTheButton) {
  testApp();
  QWidget window;
  FakeSound chime;
  SoundStatus status(&window, chime);
  auto* next = new QLineEdit("18", &window);
  window.show();
  QApplication::setActiveWindow(&window);
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  status.show(event(EventKind::Interference), "interference", "interference", true);
  status.silenceButton()->setFocus();
  QTest::mouseClick(status.silenceButton(), Qt::LeftButton);
  QTest::keyClick(&window, Qt::Key_7);  // where the focus is, the key goes
  EXPECT_FALSE(status.chiming());
  EXPECT_TRUE(status.silenceButton()->isVisible());
  EXPECT_TRUE(status.silenceButton()->hasFocus());
  EXPECT_EQ(next->text().toStdString(), "18");
}

}  // namespace
}  // namespace radmon
