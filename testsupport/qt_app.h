// One QApplication for a whole test binary (the tests run on the offscreen platform).
#pragma once

#include <QApplication>

namespace radmon {

inline QApplication& testApp() {
  static int argc = 1;
  static char name[] = "ratemon_test";
  static char* argv[] = {name, nullptr};
  static QApplication* app = new QApplication(argc, argv);
  return *app;
}

}  // namespace radmon
