#include <gtest/gtest.h>

#include <QApplication>

#include "support/TestEnvironment.h"

int main(int argc, char** argv) {
  // The windows are tested headless, whatever display the shell has.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  testing::InitGoogleTest(&argc, argv);
  snapwick::test::PrepareTestProcess();
  QApplication app(argc, argv);
  return RUN_ALL_TESTS();
}
