#include <gtest/gtest.h>

#include "support/TestEnvironment.h"

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  snapwick::test::PrepareTestProcess();
  return RUN_ALL_TESTS();
}
