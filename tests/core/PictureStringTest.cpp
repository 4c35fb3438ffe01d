// The picture string of the ticked picture-data items, and the stored choice of items.
#include "metadata/PictureString.h"

#include <gtest/gtest.h>

#include "metadata/PictureDataItems.h"
#include "platform/Settings.h"
#include "support/ExifBuilder.h"
#include "support/Fixtures.h"
#include "support/TestEnvironment.h"

namespace snapwick {
namespace {

// The catalogue as check boxes, with the given indices in the given state.
std::vector<PictureDataItemState> Items(const std::vector<int>& ticked, int32_t state = 1) {
  std::vector<PictureDataItemState> items;
  for (const auto& entry : kPictureDataCatalogue)
    items.push_back({0, entry.caption, entry.tagId});
  for (int i : ticked)
    items.at(static_cast<size_t>(i)).state = state;
  return items;
}

std::vector<int> All() {
  std::vector<int> all(kPictureDataCatalogue.size());
  for (size_t i = 0; i < all.size(); ++i)
    all[i] = static_cast<int>(i);
  return all;
}

constexpr int kMake = 1, kModel = 2, kExposureTime = 6, kAperture = 12, kFocalLength = 17;

TEST(PictureString, EveryTickedItemInCatalogueOrder) {
  test::TempDir dir;
  const std::string path = dir.File("camera.jpg");
  for (bool intel : {true, false}) {
    test::WriteBytes(path,
                     test::ExifJpeg(test::CameraExif(intel, test::MakeJpeg(16, 12), 3000), true));
    // Absent items (DateTimeDigitized, ApertureValue...) are left out.
    EXPECT_EQ(ComposePictureString(path, Items(All())).text,
              " ImageDescription : Harbour at dusk Make : Foto Model : F-20 Zoom Orientation : 1"
              " Software : Firmware 1.02 DateTime : 2004:06:12 18:42:07 ExposureTime : 1/60"
              " ExposureProgram : 2 ISOSpeedRatings : 100 DateTimeOriginal : 2004:06:12 18:42:07"
              " ShutterSpeedValue : 189/32 MeteringMode : 5 Flash : 16 FocalLength : 58/10"
              " SensingMethod : 2 Compression : 6 ImageNumber : 1234")
        << intel;
    const PictureStringResult r = ComposePictureString(path, Items({kModel, kAperture, kMake}));
    EXPECT_EQ(r.text, " Make : Foto Model : F-20 Zoom");
    EXPECT_EQ(r.listing, " Make \tFoto\r\n Model \tF-20 Zoom\r\n");
    // Grey boxes count as unticked.
    auto grey = Items({kMake, kModel});
    grey[kModel].state = 2;
    EXPECT_EQ(ComposePictureString(path, grey).text, " Make : Foto");
    EXPECT_EQ(ComposePictureString(path, Items({})).text, "");
  }
}

TEST(PictureString, EmptyWithoutExifAndUpToANegativeFraction) {
  test::TempDir dir;
  for (const std::string& bytes : {test::MakeBmp(16, 16), test::MakeJpeg(16, 16)}) {
    test::WriteBytes(dir.File("plain"), bytes);
    const PictureStringResult r = ComposePictureString(dir.File("plain"), Items(All()));
    EXPECT_EQ(r.text + r.listing, "");
  }
  EXPECT_EQ(ComposePictureString(dir.File("missing.jpg"), Items(All())).text, "");
  EXPECT_EQ(ComposePictureString("", Items(All())).text, "");

  // The walk ends at a negative SRATIONAL; the items before it are shown.
  test::TiffBuilder b(true);
  const int ifd0 = b.AddDirectory(), exif = b.AddDirectory();
  b.AddAscii(ifd0, 271, "Foto");
  b.AddExifPointer(ifd0, exif);
  b.AddRational(exif, 33434, 1, 60);
  b.AddRational(exif, 0x9204, static_cast<uint32_t>(-2), 3, test::kSRational);
  b.AddRational(exif, 37386, 58, 10);
  test::WriteBytes(dir.File("bias.jpg"), test::ExifJpeg(b.Build()));
  EXPECT_EQ(
      ComposePictureString(dir.File("bias.jpg"), Items({kMake, kExposureTime, kFocalLength})).text,
      " Make : Foto ExposureTime : 1/60");
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
