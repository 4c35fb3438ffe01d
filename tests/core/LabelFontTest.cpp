#include "labels/LabelFont.h"

#include <gtest/gtest.h>

#include "support/TestEnvironment.h"

namespace snapwick {
namespace {

using test::ScopedLocale;

TEST(LabelFont, SettingText) {
  EXPECT_EQ(FontSettingText({"Arial", 12, true, false}), "Arial:12:True:False");
  EXPECT_EQ(FontSettingText({"Times New Roman", 10.5f, false, true}),
            "Times New Roman:10.5:False:True");
  EXPECT_EQ(FontSettingText({"DejaVu Sans", 8.25f, false, false}), "DejaVu Sans:8.25:False:False");
  // The shortest text of the single-precision size, not of its double widening.
  EXPECT_EQ(FontSettingText({"A", 10.1f, false, false}), "A:10.1:False:False");
  EXPECT_EQ(FontSettingText({"A", 1234567.f, false, false}), "A:1234567:False:False");
  ScopedLocale german("de_DE");
  EXPECT_EQ(FontSettingText({"Arial", 10.5f, true, true}), "Arial:10,5:True:True");
  EXPECT_EQ(FontSettingText({"Arial", 1234.f, true, true}), "Arial:1234:True:True");
}

TEST(LabelFont, RoundTrip) {
  const LabelFont fonts[] = {{"Arial", 12, true, false},
                             {"Times New Roman", 10.5f, false, true},
                             {"Sans", 8.25f, true, true},
                             {"Sans", 10.1f, false, false},
                             {"Sans", 0.001f, false, false}};
  for (const char* locale : {"en_US", "de_DE", "fr_FR"}) {
    ScopedLocale scoped(locale);
    for (const auto& font : fonts) {
      EXPECT_EQ(ParseFontSetting(FontSettingText(font)), font)
          << locale << " " << FontSettingText(font);
    }
  }
}

TEST(LabelFont, ReadsStoredValues) {
  EXPECT_EQ(ParseFontSetting("Arial:12:True:False"), (LabelFont{"Arial", 12, true, false}));
  EXPECT_EQ(ParseFontSetting("Arial:12:TRUE:false"), (LabelFont{"Arial", 12, true, false}));
  // Numeric flags: non-zero is true.
  EXPECT_EQ(ParseFontSetting("Arial:9:-1:0"), (LabelFont{"Arial", 9, true, false}));
  EXPECT_EQ(ParseFontSetting("Arial:9:0:2.5"), (LabelFont{"Arial", 9, false, true}));
  // The face is kept exactly, blanks included.
  EXPECT_EQ(ParseFontSetting(" Odd Face :9:False:False"),
            (LabelFont{" Odd Face ", 9, false, false}));
  {
    ScopedLocale german("de_DE");
    EXPECT_EQ(ParseFontSetting("Arial:10,5:False:True"), (LabelFont{"Arial", 10.5f, false, true}));
    EXPECT_EQ(ParseFontSetting("Arial:9:0,5:0"), (LabelFont{"Arial", 9, true, false}));
  }
}

TEST(LabelFont, BrokenValuesGiveNone) {
  const char* broken[] = {
      "",
      "Arial",
      "Arial:12:True",           // too few fields
      "Ari:al:12:True:False",    // a face with ":" in it
      "Arial:12:True:False:",    // too many fields
      ":12:True:False",          // no face
      "Arial::True:False",       // no size
      "Arial:big:True:False",    // size not a number
      "Arial:0:True:False",      // size not positive
      "Arial:-3:True:False",     // size not positive
      "Arial:inf:True:False",    // size not finite
      "Arial:nan:True:False",    // size not a number
      "Arial:1e40:True:False",   // size too large for a float
      "Arial:1e-50:True:False",  // size vanishes in a float
      "Arial:12:Yes:False",      // flag not readable
      "Arial:12:True:",          // flag missing
      "Arial:12:True:inf",       // flag not finite
  };
  for (const char* text : broken)
    EXPECT_EQ(ParseFontSetting(text), std::nullopt) << text;
  // A decimal point is no decimal sign in German: "10.5" is no number there.
  ScopedLocale german("de_DE");
  EXPECT_EQ(ParseFontSetting("Arial:10.5:True:False"), std::nullopt);
}

}  // namespace
}  // namespace snapwick
