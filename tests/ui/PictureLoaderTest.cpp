#include <gtest/gtest.h>
#include <sys/stat.h>
#include <turbojpeg.h>

#include <QImage>

#include "platform/Error.h"
#include "platform/PictureLoader.h"
#include "support/Fixtures.h"
#include "support/TestEnvironment.h"

namespace snapwick {
namespace {

using test::Rgb;

int32_t LoadError(const std::string& path) {
  Picture picture;
  try {
    LoadPicture(path, picture);
  } catch (const SnapError& error) {
    EXPECT_TRUE(picture.IsEmpty());
    return error.Number();
  }
  return 0;
}

TEST(PictureLoader, JpegDecodesIntoTheSurfaceLayout) {
  test::TempDir dir;
  const std::string path = dir.File("a.jpg");
  test::WriteBytes(path, test::MakeJpeg(161, 37));
  Picture picture;
  LoadPicture(path, picture);
  ASSERT_FALSE(picture.IsEmpty());
  EXPECT_EQ(picture.PixelWidth(), 161);
  EXPECT_EQ(picture.PixelHeight(), 37);
  // The same bytes as TurboJPEG's own decode, padding zero.
  const cDIBSection reference = test::DecodeJpegFile(path);
  const cDIBSection& surface = picture.Surface();
  ASSERT_EQ(surface.BytesPerScanLine(), 484);
  for (int32_t row = 0; row < 37; ++row) {
    const uint8_t* a = surface.DIBSectionBitsPtr() + row * 484;
    const uint8_t* b = reference.DIBSectionBitsPtr() + row * 484;
    ASSERT_EQ(0, std::memcmp(a, b, 483)) << "row " << row;
    EXPECT_EQ(a[483], 0);
  }
}

TEST(PictureLoader, SizeIsReportedInHundredthsOfAMillimetre) {
  test::TempDir dir;
  test::WriteBytes(dir.File("a.bmp"), test::MakeBmp(640, 480));
  Picture picture;
  LoadPicture(dir.File("a.bmp"), picture);
  EXPECT_EQ(picture.Width(), 16933);  // 640 x 2540 / 96
  EXPECT_EQ(picture.Height(), 12700);
  EXPECT_EQ(HimetricToPixels(picture.Width()), 640);
  EXPECT_EQ(HimetricToPixels(picture.Height()), 480);
}

TEST(PictureLoader, BmpKeepsItsPixelsUpright) {
  test::TempDir dir;
  test::WriteBytes(dir.File("a.bmp"), test::MakeBmp(5, 3));
  Picture picture;
  LoadPicture(dir.File("a.bmp"), picture);
  for (int y = 0; y < 3; ++y) {
    for (int x = 0; x < 5; ++x)
      EXPECT_EQ(test::PixelAt(picture.Surface(), x, y), test::Gradient(x, y));
  }
}

TEST(PictureLoader, CameraNamesAndOtherExtensionsAreReadByContent) {
  test::TempDir dir;
  test::WriteBytes(dir.File("IMG_0001.JPG"), test::MakeJpeg(8, 8));
  test::WriteBytes(dir.File("really a bitmap.jpg"), test::MakeBmp(4, 4));
  Picture picture;
  LoadPicture(dir.File("IMG_0001.JPG"), picture);
  EXPECT_EQ(picture.PixelWidth(), 8);
  LoadPicture(dir.File("really a bitmap.jpg"), picture);
  EXPECT_EQ(picture.PixelWidth(), 4);
}

TEST(PictureLoader, EmptyNameEmptiesThePicture) {
  test::TempDir dir;
  test::WriteBytes(dir.File("a.jpg"), test::MakeJpeg(8, 8));
  Picture picture;
  LoadPicture(dir.File("a.jpg"), picture);
  LoadPicture("", picture);
  EXPECT_TRUE(picture.IsEmpty());
  EXPECT_EQ(picture.Width(), 0);
}

TEST(PictureLoader, FilesThatAreNotPicturesAreRefused) {
  test::TempDir dir;
  EXPECT_EQ(LoadError(dir.File("missing.jpg")), kErrFileNotFound);
  test::WriteBytes(dir.File("empty.jpg"), "");
  EXPECT_EQ(LoadError(dir.File("empty.jpg")), kErrInvalidPicture);
  test::WriteBytes(dir.File("text.jpg"), "just some text");
  EXPECT_EQ(LoadError(dir.File("text.jpg")), kErrInvalidPicture);
  ASSERT_EQ(::mkdir(dir.File("x.jpg").c_str(), 0755), 0);
  EXPECT_EQ(LoadError(dir.File("x.jpg")), kErrPathFileAccess);
}

TEST(PictureLoader, UnreadableFileIsAnAccessError) {
  test::TempDir dir;
  ASSERT_EQ(::chmod(dir.Path().c_str(), 0755), 0);
  test::WriteBytes(dir.File("a.jpg"), test::MakeJpeg(8, 8));
  ASSERT_EQ(::chmod(dir.File("a.jpg").c_str(), 0), 0);
  EXPECT_EQ(test::RunUnprivileged([&] { return LoadError(dir.File("a.jpg")) & 0xFF; }),
            kErrPathFileAccess);
}

TEST(PictureLoader, HugeHeadersAreRefusedBeforeAnyLargeAllocation) {
  test::TempDir dir;
  // A JPEG whose frame header claims 65000 x 65000 pixels.
  std::string jpeg = test::MakeJpeg(16, 16);
  const size_t sof = jpeg.find("\xFF\xC0", 2);
  ASSERT_NE(sof, std::string::npos);
  jpeg[sof + 5] = static_cast<char>(65000 >> 8);
  jpeg[sof + 6] = static_cast<char>(65000 & 0xFF);
  jpeg[sof + 7] = static_cast<char>(65000 >> 8);
  jpeg[sof + 8] = static_cast<char>(65000 & 0xFF);
  test::WriteBytes(dir.File("huge.jpg"), jpeg);
  EXPECT_EQ(LoadError(dir.File("huge.jpg")), kErrInvalidPicture);

  // A BMP that claims 100000 x 100000 pixels.
  std::string bmp = test::MakeBmp(4, 4);
  bmp[18] = static_cast<char>(0xA0);
  bmp[19] = static_cast<char>(0x86);
  bmp[20] = 0x01;
  bmp[22] = static_cast<char>(0xA0);
  bmp[23] = static_cast<char>(0x86);
  bmp[24] = 0x01;
  test::WriteBytes(dir.File("huge.bmp"), bmp);
  EXPECT_EQ(LoadError(dir.File("huge.bmp")), kErrInvalidPicture);
}

TEST(PictureLoader, TruncatedJpegShowsWhatItHasOrIsRefused) {
  test::TempDir dir;
  const std::string jpeg = test::MakeJpeg(64, 64, test::PhotoLike);
  for (size_t cut : {size_t{2}, size_t{20}, size_t{200}, jpeg.size() / 2, jpeg.size() - 2}) {
    const std::string path = dir.File("cut" + std::to_string(cut) + ".jpg");
    test::WriteBytes(path, jpeg.substr(0, cut));
    Picture picture;
    try {
      LoadPicture(path, picture);
      EXPECT_EQ(picture.PixelWidth(), 64) << cut;
    } catch (const SnapError& error) {
      EXPECT_EQ(error.Number(), kErrInvalidPicture) << cut;
      EXPECT_TRUE(picture.IsEmpty());
    }
  }
}

TEST(PictureLoader, CmykJpegIsConverted) {
  // A CMYK JPEG of one colour: cyan 0, magenta 255, yellow 255, black 0 in the inverted form
  // most programs write, which is red.
  const int w = 16, h = 8;
  std::vector<unsigned char> cmyk(static_cast<size_t>(w) * h * 4);
  for (size_t i = 0; i < cmyk.size(); i += 4) {
    cmyk[i] = 255;      // C inverted: no cyan
    cmyk[i + 1] = 0;    // full magenta
    cmyk[i + 2] = 0;    // full yellow
    cmyk[i + 3] = 255;  // no black
  }
  tjhandle handle = tjInitCompress();
  unsigned char* out = nullptr;
  unsigned long size = 0;
  ASSERT_EQ(
      tjCompress2(handle, cmyk.data(), w, w * 4, h, TJPF_CMYK, &out, &size, TJSAMP_444, 95, 0), 0);
  test::TempDir dir;
  test::WriteBytes(dir.File("cmyk.jpg"), std::string(reinterpret_cast<char*>(out), size));
  tjFree(out);
  tjDestroy(handle);

  Picture picture;
  LoadPicture(dir.File("cmyk.jpg"), picture);
  const Rgb c = test::PixelAt(picture.Surface(), 3, 3);
  EXPECT_GT(c.r, 240);
  EXPECT_LT(c.g, 15);
  EXPECT_LT(c.b, 15);
}

TEST(PictureLoader, GreyJpegAndOnePixelPictures) {
  test::TempDir dir;
  QImage grey(3, 2, QImage::Format_Grayscale8);
  grey.fill(128);
  ASSERT_TRUE(grey.save(QString::fromStdString(dir.File("grey.jpg")), "JPEG", 95));
  Picture picture;
  LoadPicture(dir.File("grey.jpg"), picture);
  EXPECT_EQ(picture.PixelWidth(), 3);
  const Rgb c = test::PixelAt(picture.Surface(), 1, 1);
  EXPECT_NEAR(c.r, 128, 2);
  EXPECT_EQ(c.r, c.g);

  test::WriteBytes(dir.File("one.bmp"), test::MakeBmp(1, 1));
  LoadPicture(dir.File("one.bmp"), picture);
  EXPECT_EQ(picture.PixelWidth(), 1);
  EXPECT_EQ(picture.PixelHeight(), 1);
}

TEST(PictureLoader, FailedLoadEmptiesTheTarget) {
  test::TempDir dir;
  test::WriteBytes(dir.File("a.jpg"), test::MakeJpeg(8, 8));
  test::WriteBytes(dir.File("bad.jpg"), "not a picture");
  Picture picture;
  LoadPicture(dir.File("a.jpg"), picture);
  EXPECT_THROW(LoadPicture(dir.File("bad.jpg"), picture), SnapError);
  EXPECT_TRUE(picture.IsEmpty());
}

// The JPEG file with its frame header changed to claim another size.
std::string ClaimingSize(std::string jpeg, int width, int height) {
  const size_t sof = jpeg.find("\xFF\xC0", 2);
  EXPECT_NE(sof, std::string::npos);
  jpeg[sof + 5] = static_cast<char>(height >> 8);
  jpeg[sof + 6] = static_cast<char>(height & 0xFF);
  jpeg[sof + 7] = static_cast<char>(width >> 8);
  jpeg[sof + 8] = static_cast<char>(width & 0xFF);
  return jpeg;
}

int32_t LoadBytesError(const std::string& bytes, Picture& picture) {
  try {
    LoadPictureBytes(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), picture);
  } catch (const SnapError& error) {
    EXPECT_TRUE(picture.IsEmpty());
    return error.Number();
  }
  return 0;
}

TEST(PictureLoader, FewBytesClaimingAHugePictureAreRefused) {
  // 300 bytes that claim 20000 x 20000 pixels: a surface of 1.2 GB that decoding would fill with
  // grey. Up to 4096 x 4096 pixels any file may claim; beyond, a byte for each 1024 pixels.
  const std::string jpeg = test::MakeJpeg(16, 16);
  ASSERT_LT(jpeg.size(), 1000u);
  Picture picture;
  EXPECT_EQ(LoadBytesError(ClaimingSize(jpeg, 20000, 20000), picture), kErrInvalidPicture);
  EXPECT_EQ(LoadBytesError(ClaimingSize(jpeg, 4096, 4097), picture), kErrInvalidPicture);
  ASSERT_EQ(LoadBytesError(ClaimingSize(jpeg, 4096, 4096), picture), 0);
  EXPECT_EQ(picture.PixelHeight(), 4096);
  // With bytes enough behind it the same claim is read (as far as its data goes).
  std::string padded = ClaimingSize(jpeg, 4096, 4097);
  padded.append(4096 * 4097 / 1024 + 1 - padded.size(), '\0');
  ASSERT_EQ(LoadBytesError(padded, picture), 0);
  EXPECT_EQ(picture.PixelHeight(), 4097);
}

TEST(PictureLoader, PlainPicturesOfManyPixelsStayWellWithinTheRule) {
  // The smallest file a real picture makes: one grey, progressive, above 16 million pixels.
  const int side = 4200;
  const std::vector<unsigned char> grey(static_cast<size_t>(side) * side, 77);
  tjhandle handle = tjInitCompress();
  unsigned char* out = nullptr;
  unsigned long size = 0;
  ASSERT_EQ(tjCompress2(handle, grey.data(), side, side, side, TJPF_GRAY, &out, &size, TJSAMP_GRAY,
                        75, TJFLAG_PROGRESSIVE),
            0);
  const std::string jpeg(reinterpret_cast<const char*>(out), size);
  tjFree(out);
  tjDestroy(handle);
  EXPECT_LT(int64_t{side} * side / static_cast<int64_t>(jpeg.size()), kMaxPixelsPerFileByte / 2);
  Picture picture;
  ASSERT_EQ(LoadBytesError(jpeg, picture), 0);
  EXPECT_EQ(picture.PixelWidth(), side);
  EXPECT_EQ(test::PixelAt(picture.Surface(), side - 1, side - 1), (Rgb{77, 77, 77}));
}

TEST(PictureLoader, CmykBufferCountsTowardsTheLargestPicture) {
  // 20000 x 16000 pixels: a surface of 960 MB fits, but not with the 1.28 GB of CMYK beside it.
  std::vector<unsigned char> cmyk(16 * 16 * 4, 200);
  tjhandle handle = tjInitCompress();
  unsigned char* out = nullptr;
  unsigned long size = 0;
  ASSERT_EQ(tjCompress2(handle, cmyk.data(), 16, 64, 16, TJPF_CMYK, &out, &size, TJSAMP_444, 90, 0),
            0);
  std::string jpeg(reinterpret_cast<const char*>(out), size);
  tjFree(out);
  tjDestroy(handle);
  jpeg = ClaimingSize(jpeg, 20000, 16000);
  jpeg.append(20000 * 16000 / 1024 + 1, '\0');  // long enough for its pixels
  Picture picture;
  EXPECT_EQ(LoadBytesError(jpeg, picture), kErrInvalidPicture);
}

}  // namespace
}  // namespace snapwick
