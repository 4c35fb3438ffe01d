#include "labels/SaveNaming.h"

#include <gtest/gtest.h>

namespace snapwick {
namespace {

AutoSaveSettings Numbered() {
  return AutoSaveSettings{"/out/trip", "/out/", "trip", false};
}

AutoSaveSettings KeepingNames() {
  return AutoSaveSettings{"/out/", "/out/", "trip", true};
}

TEST(SaveNaming, NumbersHaveAtLeastThreeDigits) {
  const std::pair<int32_t, const char*> cases[] = {{1, "_001.jpg"},
                                                   {7, "_007.jpg"},
                                                   {9, "_009.jpg"},
                                                   {10, "_010.jpg"},
                                                   {12, "_012.jpg"},
                                                   {42, "_042.jpg"},
                                                   {99, "_099.jpg"},
                                                   {100, "_100.jpg"},
                                                   {999, "_999.jpg"},
                                                   {1000, "_1000.jpg"},
                                                   {2147483647, "_2147483647.jpg"}};
  for (const auto& [number, suffix] : cases) {
    EXPECT_EQ(AutoSaveName(Numbered(), "/pics/a.jpg", number), std::string("/out/trip") + suffix);
    EXPECT_EQ(GetImageName(Numbered(), "a.jpg", number), std::string("trip") + suffix);
  }
}

TEST(SaveNaming, LonePictureAndNumbersBelowOne) {
  // A lone picture is number 1; nothing below 1 makes a "_000" or "_00-1" name.
  EXPECT_EQ(AutoSaveName(Numbered(), "/pics/a.jpg", 1), "/out/trip_001.jpg");
  EXPECT_EQ(AutoSaveName(Numbered(), "/pics/a.jpg", 0), "/out/trip_001.jpg");
  EXPECT_EQ(AutoSaveName(Numbered(), "/pics/a.jpg", -1), "/out/trip_001.jpg");
  EXPECT_EQ(GetImageName(Numbered(), "/pics/a.jpg", INT32_MIN), "trip_001.jpg");
}

TEST(SaveNaming, EmptyPrefixAndFolder) {
  const AutoSaveSettings bare{"/", "/", "", false};
  EXPECT_EQ(AutoSaveName(bare, "x.jpg", 3), "/_003.jpg");
  EXPECT_EQ(GetImageName(bare, "x.jpg", 3), "_003.jpg");
}

TEST(SaveNaming, KeepNameTakesThePartAfterTheLastSlash) {
  EXPECT_EQ(AutoSaveName(KeepingNames(), "/cam/IMG_0042.JPG", 5), "/out/IMG_0042.JPG");
  EXPECT_EQ(AutoSaveName(KeepingNames(), "IMG_0042.JPG", 5), "/out/IMG_0042.JPG");
  EXPECT_EQ(GetImageName(KeepingNames(), "/cam/sub/a.jpg", 1), "a.jpg");
  EXPECT_EQ(GetImageName(KeepingNames(), "IMG_0042.JPG", 1), "IMG_0042.JPG");
  // The picture's own extension stays, whatever it is; backslashes are part of a name here.
  EXPECT_EQ(AutoSaveName(KeepingNames(), "/cam/scan.bmp", 1), "/out/scan.bmp");
  EXPECT_EQ(GetImageName(KeepingNames(), "/cam/a\\b.jpg", 1), "a\\b.jpg");
  EXPECT_EQ(GetImageName(KeepingNames(), "noext", 1), "noext");
}

}  // namespace
}  // namespace snapwick
