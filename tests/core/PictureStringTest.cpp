// Composition of the picture string and its listing from the ticked picture-data items.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "metadata/PictureDataItems.h"
#include "metadata/PictureString.h"
#include "support/ExifBuilder.h"
#include "support/Fixtures.h"
#include "support/TestEnvironment.h"

namespace snapwick {
namespace {

using test::TiffBuilder;

// The catalogue as check boxes, with the given indices ticked (state 1).
std::vector<PictureDataItemState> Items(const std::vector<int>& ticked, int32_t state = 1) {
  std::vector<PictureDataItemState> items;
  for (const auto& entry : kPictureDataCatalogue)
    items.push_back({0, entry.caption, entry.tagId});
  for (int i : ticked)
    items.at(static_cast<size_t>(i)).state = state;
  return items;
}

constexpr int kMake = 1, kModel = 2, kOrientation = 3, kExposureTime = 6, kIso = 8,
              kFocalLength = 17, kCompression = 22;

class PictureStringTest : public testing::Test {
 protected:
  std::string Write(const std::string& bytes) {
    const std::string path = dir_.File("picture.jpg");
    test::WriteBytes(path, bytes);
    return path;
  }
  std::string FotoFile(bool intel) {
    TiffBuilder b(intel);
    const int ifd0 = b.AddDirectory();
    const int ifd1 = b.AddDirectory();
    const int exif = b.AddDirectory();
    b.AddAscii(ifd0, 271, "Foto");
    b.AddAscii(ifd0, 272, "F-20");
    b.AddShort(ifd0, 274, 1);
    b.AddDirectoryPointer(ifd0, 0x8769, exif);
    b.Link(ifd0, ifd1);
    b.AddShort(ifd1, 259, 6);
    b.AddRational(exif, 33434, 1, 60);
    b.AddRational(exif, 37386, 58, 10);
    return Write(test::ExifJpeg(b.Build(), true));
  }
  test::TempDir dir_;
};

TEST_F(PictureStringTest, NothingTickedGivesEmptyTexts) {
  const PictureStringResult r = ComposePictureString(FotoFile(true), Items({}));
  EXPECT_EQ(r.text, "");
  EXPECT_EQ(r.listing, "");
}

TEST_F(PictureStringTest, PiecesFollowTheCatalogueOrder) {
  for (bool intel : {true, false}) {
    const std::string path = FotoFile(intel);
    const PictureStringResult r = ComposePictureString(path, Items({kModel, kMake}));
    EXPECT_EQ(r.text, " Make : Foto Model : F-20");
    EXPECT_EQ(r.listing, " Make \tFoto\r\n Model \tF-20\r\n");
  }
}

TEST_F(PictureStringTest, FractionsAndIntegersAppearAsStored) {
  const std::string path = FotoFile(false);
  EXPECT_EQ(ComposePictureString(path, Items({kExposureTime, kFocalLength})).text,
            " ExposureTime : 1/60 FocalLength : 58/10");
  EXPECT_EQ(ComposePictureString(path, Items({kOrientation, kCompression})).text,
            " Orientation : 1 Compression : 6");
}

TEST_F(PictureStringTest, AbsentTagsAndGreyBoxesAreLeftOut) {
  const std::string path = FotoFile(true);
  auto items = Items({kMake, kIso, kModel});
  EXPECT_EQ(ComposePictureString(path, items).text, " Make : Foto Model : F-20");
  items[kModel].state = 2;
  const PictureStringResult r = ComposePictureString(path, items);
  EXPECT_EQ(r.text, " Make : Foto");
  EXPECT_EQ(r.listing, " Make \tFoto\r\n");
  EXPECT_EQ(ComposePictureString(path, Items({kMake}, 2)).text, "");
}

TEST_F(PictureStringTest, FilesWithoutExifGiveEmptyTexts) {
  std::vector<int> all;
  for (int i = 0; i < 27; ++i)
    all.push_back(i);
  for (const std::string& bytes : {test::MakeBmp(16, 16), test::MakeJpeg(16, 16)}) {
    const PictureStringResult r = ComposePictureString(Write(bytes), Items(all));
    EXPECT_EQ(r.text, "");
    EXPECT_EQ(r.listing, "");
  }
  EXPECT_EQ(ComposePictureString(dir_.File("missing.jpg"), Items(all)).text, "");
  EXPECT_FALSE(test::FileExists(dir_.File("missing.jpg")));
  EXPECT_EQ(ComposePictureString("", Items(all)).listing, "");
}

TEST_F(PictureStringTest, WalkStoppedAtNegativeExposureBiasKeepsEarlierItems) {
  TiffBuilder b(true);
  const int ifd0 = b.AddDirectory();
  const int exif = b.AddDirectory();
  b.AddAscii(ifd0, 271, "Foto");
  b.AddDirectoryPointer(ifd0, 0x8769, exif);
  b.AddRational(exif, 33434, 1, 60);
  b.AddRational(exif, 0x9204, static_cast<uint32_t>(-2), 3, test::kSRational);
  b.AddRational(exif, 37386, 58, 10);
  const std::string path = Write(test::ExifJpeg(b.Build()));
  EXPECT_EQ(ComposePictureString(path, Items({kMake, kExposureTime, kFocalLength})).text,
            " Make : Foto ExposureTime : 1/60");
}

TEST_F(PictureStringTest, TextValuesStayBytes) {
  TiffBuilder b(false);
  const int ifd0 = b.AddDirectory();
  b.AddAscii(ifd0, 271, "Caf\xE9");
  const std::string path = Write(test::ExifJpeg(b.Build()));
  EXPECT_EQ(ComposePictureString(path, Items({kMake})).text, " Make : Caf\xE9");
}

TEST_F(PictureStringTest, EveryItemOfACameraFile) {
  std::vector<int> all;
  for (int i = 0; i < 27; ++i)
    all.push_back(i);
  const std::string thumbnail = test::MakeJpeg(16, 12);
  for (bool intel : {true, false}) {
    const std::string path = Write(test::ExifJpeg(test::CameraExif(intel, thumbnail, 3000)));
    const PictureStringResult r = ComposePictureString(path, Items(all));
    EXPECT_EQ(r.text,
              " ImageDescription : Harbour at dusk Make : Foto Model : F-20 Zoom"
              " Orientation : 1 Software : Firmware 1.02 DateTime : 2004:06:12 18:42:07"
              " ExposureTime : 1/60 ExposureProgram : 2 ISOSpeedRatings : 100"
              " DateTimeOriginal : 2004:06:12 18:42:07 DateTimeDigitized : 2004:06:12 18:42:07"
              " ShutterSpeedValue : 189/32 ApertureValue : 95/32 SubjectDistance : 3500/1000"
              " MeteringMode : 5 LightSource : 0 Flash : 16 FocalLength : 58/10"
              " SensingMethod : 2 Compression : 6 ImageNumber : 1234")
        << intel;
  }
}

}  // namespace
}  // namespace snapwick
