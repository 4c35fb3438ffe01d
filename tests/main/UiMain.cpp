#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>

#include "support/TestEnvironment.h"

int main(int argc, char** argv) {
  // The windows are tested headless, whatever display the shell has.
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  testing::InitGoogleTest(&argc, argv);
  snapwick::test::PrepareTestProcess();
  QApplication app(argc, argv);
  return RUN_ALL_TESTS();
}
