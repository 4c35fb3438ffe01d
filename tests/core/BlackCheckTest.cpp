#include <gtest/gtest.h>

#include "imaging/BlackCheck.h"
#include "support/TestEnvironment.h"

namespace snapwick {
namespace {

int32_t Bgr(int r, int g, int b) {
  return r | (g << 8) | (b << 16);
}

TEST(Darker, EveryChannelMustBeBelowTheThreshold) {
  EXPECT_TRUE(Darker(Bgr(2, 2, 2), kBlackMargin));
  EXPECT_TRUE(Darker(Bgr(0, 0, 0), kBlackMargin));
  EXPECT_FALSE(Darker(Bgr(3, 0, 0), kBlackMargin));
  EXPECT_FALSE(Darker(Bgr(0, 3, 0), kBlackMargin));
  EXPECT_FALSE(Darker(Bgr(0, 0, 3), kBlackMargin));
  EXPECT_FALSE(Darker(0xFFFFFF, kBlackMargin));
  // A point outside the picture reads -1, which splits into red -1, green 0, blue 0.
  EXPECT_TRUE(Darker(-1, kBlackMargin));
}

TEST(BlackVerdict, TextsAndLimit) {
  EXPECT_FALSE(IsBlackRatio(0.99));
  EXPECT_TRUE(IsBlackRatio(0.995));
  EXPECT_TRUE(IsBlackRatio(1));
  EXPECT_EQ(BlackVerdictText(true, 1), "Black Picture  1");
  EXPECT_EQ(BlackVerdictText(true, 0.995), "Black Picture  0.995");
  EXPECT_EQ(BlackVerdictText(false, 0.99), "Non Black Picture  0.99");
  EXPECT_EQ(BlackVerdictText(false, 1.0 / 3), "Non Black Picture  0.333333333333333");
  EXPECT_EQ(BlackVerdictText(false, 0), "Non Black Picture  0");
}

TEST(BlackVerdict, DecimalComma) {
  test::ScopedLocale german("de_DE");
  EXPECT_EQ(BlackVerdictText(true, 0.995), "Black Picture  0,995");
  EXPECT_EQ(BlackVerdictText(false, 0.25), "Non Black Picture  0,25");
}

}  // namespace
}  // namespace snapwick
