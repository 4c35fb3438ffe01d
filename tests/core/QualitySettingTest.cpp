#include <gtest/gtest.h>

#include "app/QualitySetting.h"

namespace snapwick {
namespace {

TEST(QualitySetting, WholeNumbersOf16BitsOnly) {
  EXPECT_EQ(ParseQualitySetting("75"), 75);
  EXPECT_EQ(ParseQualitySetting(" 200 "), 200);
  EXPECT_EQ(ParseQualitySetting("-5"), -5);
  EXPECT_EQ(ParseQualitySetting("32767"), 32767);
  for (const char* text : {"", "abc", "7.5", "32768", "-32769", "99999999999", "75x"}) {
    EXPECT_EQ(ParseQualitySetting(text), 90) << text;
  }
}

}  // namespace
}  // namespace snapwick
