#include <gtest/gtest.h>

#include <QGuiApplication>

#include "support/TestEnvironment.h"

int main(int argc, char** argv) {
  // Text is drawn on pictures with Qt's fonts, which need the application of Qt Gui: on the
  // offscreen platform, whatever display the shell has.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  testing::InitGoogleTest(&argc, argv);
  snapwick::test::PrepareTestProcess();
  QGuiApplication app(argc, argv);
  return RUN_ALL_TESTS();
}
