// Display form of EXIF text bytes, and the variant value's conversions.
#include <gtest/gtest.h>

#include <string>

#include "metadata/TextBytes.h"
#include "metadata/Variant.h"
#include "platform/Error.h"

namespace snapwick {
namespace {

TEST(TextBytes, ValidUtf8StaysAsItIs) {
  for (const std::string& s :
       {std::string("Foto F-20"), std::string("Caf\xC3\xA9"), std::string("\xE2\x82\xAC 5"),
        std::string("\xF0\x9F\x93\xB7"), std::string("a\0b", 3), std::string("")}) {
    EXPECT_EQ(TextBytesToUtf8(s), s);
  }
}

TEST(TextBytes, OtherBytesBecomeLatin1Characters) {
  EXPECT_EQ(TextBytesToUtf8("Caf\xE9"), "Caf\xC3\xA9");
  EXPECT_EQ(TextBytesToUtf8("\xA9 2004"), "\xC2\xA9 2004");
  EXPECT_EQ(TextBytesToUtf8("\xFF"), "\xC3\xBF");
  // Mixed: a valid sequence kept, stray bytes around it converted.
  EXPECT_EQ(TextBytesToUtf8("\xE9\xC3\xA9\x80"), "\xC3\xA9\xC3\xA9\xC2\x80");
}

TEST(TextBytes, MalformedSequencesAreTakenByteByByte) {
  EXPECT_EQ(TextBytesToUtf8("\xC0\x80"), "\xC3\x80\xC2\x80");              // overlong
  EXPECT_EQ(TextBytesToUtf8("\xE0\x80\xAF"), "\xC3\xA0\xC2\x80\xC2\xAF");  // overlong
  EXPECT_EQ(TextBytesToUtf8("\xED\xA0\x80"), "\xC3\xAD\xC2\xA0\xC2\x80");  // surrogate
  EXPECT_EQ(TextBytesToUtf8("\xF4\x90\x80\x80"),                           // beyond U+10FFFF
            "\xC3\xB4\xC2\x90\xC2\x80\xC2\x80");
  EXPECT_EQ(TextBytesToUtf8("\xF5"), "\xC3\xB5");
  EXPECT_EQ(TextBytesToUtf8("ab\xE2\x82"), "ab\xC3\xA2\xC2\x82");  // cut short
  EXPECT_EQ(TextBytesToUtf8("\xE2\x82"
                            "A"),
            "\xC3\xA2\xC2\x82"
            "A");
}

TEST(VariantValue, TextForms) {
  EXPECT_EQ(Variant().ToText(), "");
  EXPECT_EQ(Variant(0).ToText(), "0");
  EXPECT_EQ(Variant(65531).ToText(), "65531");
  EXPECT_EQ(Variant("1/60").ToText(), "1/60");
  EXPECT_EQ(Variant(std::string()).ToText(), "");
  EXPECT_TRUE(Variant(std::string()).IsText());
  EXPECT_NE(Variant(std::string()), Variant());
  EXPECT_NE(Variant("5"), Variant(5));
}

TEST(VariantValue, IntegerConversion) {
  EXPECT_EQ(Variant().ToInt32(), 0);
  EXPECT_EQ(Variant(1234).ToInt32(), 1234);
  EXPECT_EQ(Variant("00000100").ToInt32(), 100);
  EXPECT_EQ(Variant(" 42 ").ToInt32(), 42);
  EXPECT_EQ(Variant("2.5").ToInt32(), 2);
  EXPECT_EQ(Variant("3.5").ToInt32(), 4);
  EXPECT_EQ(Variant("1E3").ToInt32(), 1000);
  for (const char* text : {"", "0000001A", "1/60", "ABCD", "inf", "nan", "0x10", " "}) {
    try {
      Variant(text).ToInt32();
      ADD_FAILURE() << text;
    } catch (const SnapError& e) {
      EXPECT_EQ(e.Number(), kErrTypeMismatch) << text;
    }
  }
  for (const char* text : {"2147483648", "255255255255", "00001E10", "1e400"}) {
    try {
      Variant(text).ToInt32();
      ADD_FAILURE() << text;
    } catch (const SnapError& e) {
      EXPECT_EQ(e.Number(), kErrOverflow) << text;
    }
  }
}

}  // namespace
}  // namespace snapwick
