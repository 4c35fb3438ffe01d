// The picture-data catalogue and the stored "PicData" choice.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "metadata/PictureDataItems.h"
#include "platform/Settings.h"
#include "support/TestEnvironment.h"

namespace snapwick {
namespace {

std::string Repeat(const std::string& piece, int times) {
  std::string out;
  for (int i = 0; i < times; ++i)
    out += piece;
  return out;
}

TEST(PictureDataCatalogue, TwentySevenItemsWithCaptionsEndingInOneBlank) {
  std::set<int32_t> tags;
  for (const auto& entry : kPictureDataCatalogue) {
    const std::string caption = entry.caption;
    ASSERT_GE(caption.size(), 2u);
    EXPECT_EQ(caption.back(), ' ') << caption;
    EXPECT_NE(caption[caption.size() - 2], ' ') << caption;
    tags.insert(entry.tagId);
  }
  EXPECT_EQ(tags.size(), 27u);
  EXPECT_EQ(std::string(kPictureDataCatalogue[0].caption), "ImageDescription ");
  EXPECT_EQ(kPictureDataCatalogue[0].tagId, 270);
  EXPECT_EQ(std::string(kPictureDataCatalogue[6].caption), "ExposureTime ");
  EXPECT_EQ(kPictureDataCatalogue[6].tagId, 33434);
  EXPECT_EQ(std::string(kPictureDataCatalogue[18].caption), "SensingMethod ");
  EXPECT_EQ(kPictureDataCatalogue[18].tagId, 41495);
  EXPECT_EQ(std::string(kPictureDataCatalogue[26].caption), "ImageNumber ");
  EXPECT_EQ(kPictureDataCatalogue[26].tagId, 37393);
}

TEST(PicData, DefaultIsThirtyTwoZeros) {
  EXPECT_EQ(DefaultPicDataText(), Repeat("0,", 31) + "0");
  EXPECT_EQ(ParsePicData(DefaultPicDataText()), PicDataFlags{});
}

TEST(PicData, WrittenTextHasThirtyTwoFieldsAndATrailingComma) {
  PicDataFlags states{};
  states[1] = 1;
  states[2] = 1;
  states[5] = 2;
  EXPECT_EQ(FormatPicData(states), "0,1,1,0,0,2," + Repeat("0,", 26));
  EXPECT_EQ(ParsePicData(FormatPicData(states)), states);  // 33 fields, the last empty
}

TEST(PicData, ExtraFieldsAreIgnored) {
  PicDataFlags expected{};
  expected[0] = 1;
  expected[31] = 2;
  EXPECT_EQ(ParsePicData("1," + Repeat("0,", 30) + "2,x,,7"), expected);
  EXPECT_EQ(ParsePicData("1," + Repeat("0,", 30) + "2"), expected);
}

TEST(PicData, BrokenTextsFallBackToTheDefault) {
  const std::string ones = Repeat("1,", 32);
  ASSERT_NE(ParsePicData(ones), PicDataFlags{});
  for (const std::string& broken : {
           std::string(""),
           Repeat("1,", 31),          // 31 fields and an empty one
           Repeat("1,", 30) + "1",    // 31 fields
           Repeat("1,", 31) + "a,",   // not a number
           "1,," + Repeat("1,", 30),  // an empty field among the 32
           Repeat("1,", 31) + "3,",   // no such state
           Repeat("1,", 31) + "-1,",
           Repeat("1,", 31) + "1.5,",
           Repeat("1,", 31) + "--1,",
           Repeat("1,", 31) + "99999999999,",
       }) {
    EXPECT_EQ(ParsePicData(broken), PicDataFlags{}) << broken;
  }
  EXPECT_EQ(ParsePicData(Repeat(" 1 ,", 32))[31], 1);  // blanks around a number are fine
}

TEST(PicData, SettingRoundTrip) {
  test::ClearSettings();
  EXPECT_EQ(ReadPicDataSetting(), PicDataFlags{});
  PicDataFlags states{};
  states[1] = 1;
  states[26] = 1;
  StorePicDataSetting(states);
  EXPECT_EQ(SettingsStore::GetSetting(kPicDataKey, ""), FormatPicData(states));
  EXPECT_EQ(ReadPicDataSetting(), states);
  SettingsStore::SaveSetting(kPicDataKey, "1,1,1");
  EXPECT_EQ(ReadPicDataSetting(), PicDataFlags{});
  test::ClearSettings();
}

}  // namespace
}  // namespace snapwick
