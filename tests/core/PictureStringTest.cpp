// The picture string of the ticked picture-data items, and the stored choice of items.
#include "metadata/PictureString.h"

#include <gtest/gtest.h>

#include <numeric>

#include "metadata/PictureDataItems.h"
#include "platform/Settings.h"
#include "support/ExifBuilder.h"
#include "support/Fixtures.h"
#include "support/TestEnvironment.h"

namespace snapwick {
namespace {

constexpr int kMake = 1, kModel = 2, kExposureTime = 6, kAperture = 12, kFocalLength = 17,
              kCompression = 22;

// The catalogue as check boxes, with the given indices in the given state.
std::vector<PictureDataItemState> Items(const std::vector<int>& ticked, int32_t state = 1) {
  std::vector<PictureDataItemState> items;
  for (const auto& entry : kPictureDataCatalogue)
    items.push_back({0, entry.caption, entry.tagId});
  for (int i : ticked)
    items.at(static_cast<size_t>(i)).state = state;
  return items;
}

TEST(PictureString, TickedItemsInCatalogueOrder) {
  test::TempDir dir;
  const std::string path = dir.File("camera.jpg");
  for (bool intel : {true, false}) {
    // Make and Model in IFD0, Compression in IFD1, the rest in the Exif directory, where a
    // negative SRATIONAL ends the walk before the focal length.
    test::TiffBuilder b(intel);
    const int ifd0 = b.AddDirectory(), ifd1 = b.AddDirectory(), exif = b.AddDirectory();
    b.AddAscii(ifd0, 271, "Foto");
    b.AddAscii(ifd0, 272, "F-20 Zoom");
    b.AddExifPointer(ifd0, exif);
    b.Link(ifd0, ifd1);
    b.AddShort(ifd1, 259, 6);
    b.AddRational(exif, 33434, 1, 60);
    b.AddRational(exif, 0x9204, -2u, 3, test::kSRational);
    b.AddRational(exif, 37386, 58, 10);
    test::WriteBytes(path, test::ExifJpeg(b.Build(), true, test::MakeJpeg(16, 12)));
    const PictureStringResult r = ComposePictureString(
        path, Items({kCompression, kFocalLength, kAperture, kExposureTime, kModel, kMake}));
    EXPECT_EQ(r.text, " Make : Foto Model : F-20 Zoom ExposureTime : 1/60 Compression : 6");
    EXPECT_EQ(r.listing,
              " Make \tFoto\r\n Model \tF-20 Zoom\r\n ExposureTime \t1/60\r\n"
              " Compression \t6\r\n");
    // Grey boxes count as unticked.
    auto grey = Items({kMake, kModel});
    grey[kModel].state = 2;
    EXPECT_EQ(ComposePictureString(path, grey).text, " Make : Foto");
    EXPECT_EQ(ComposePictureString(path, Items({})).text, "");
  }
  // No EXIF, no file, no name.
  std::vector<int> all(kPictureDataCatalogue.size());
  std::iota(all.begin(), all.end(), 0);
  test::WriteBytes(path, test::MakeJpeg(16, 16));
  for (const std::string& name : {path, dir.File("missing.jpg"), std::string()}) {
    const PictureStringResult r = ComposePictureString(name, Items(all));
    EXPECT_EQ(r.text + r.listing, "") << name;
  }
}

TEST(PicData, RoundTripAndBrokenValues) {
  test::ClearSettings();
  EXPECT_EQ(ReadPicDataSetting(), PicDataFlags{});
  PicDataFlags states{};
  states[1] = 1;
  states[5] = 2;
  states[31] = 1;
  StorePicDataSetting(states);
  std::string text = "0,1,0,0,0,2,";
  for (int i = 6; i < 31; ++i)
    text += "0,";
  EXPECT_EQ(SettingsStore::GetSetting(kPicDataKey, ""), text + "1,");
  EXPECT_EQ(ReadPicDataSetting(), states);
  EXPECT_EQ(ParsePicData(text + "1,x,7"), states);  // a 33rd field and more are not read
  for (const std::string& broken : {text, text + "a,", text + "3,", text + "-1,", text + "1.5,"})
    EXPECT_EQ(ParsePicData(broken), PicDataFlags{}) << broken;
  test::ClearSettings();
}

}  // namespace
}  // namespace snapwick
