#include <gtest/gtest.h>

#include <QGuiApplication>

#include "support/TestEnvironment.h"

int main(int argc, char** argv) {
  // Texts are drawn on pictures with Qt Gui's fonts, which want an application; no window is
  // shown, whatever display the shell has.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  testing::InitGoogleTest(&argc, argv);
  snapwick::test::PrepareTestProcess();
  QGuiApplication app(argc, argv);
  return RUN_ALL_TESTS();
}
