// The picture surface, the resampler, the orientation turns, the black check, the JPEG writer
// and the date text of a file.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <array>
#include <cstring>
#include <ctime>
#include <random>

#include "base/Error.h"
#include "base/FileTimes.h"
#include "imaging/BlackCheck.h"
#include "imaging/FileAttributes.h"
#include "imaging/Orientation.h"
#include "imaging/OutputFormat.h"
#include "imaging/cDIBSection.h"
#include "imaging/mIntelJPEGLibrary.h"
#include "support/Fixtures.h"
#include "support/Probes.h"
#include "support/ReferenceResample.h"
#include "support/TestEnvironment.h"

namespace snapwick {
namespace {

using namespace test;

// Whether two surfaces have the same size and the same bytes, row padding included.
bool SameSurface(const cDIBSection& a, const cDIBSection& b) {
  return a.Width() == b.Width() && a.Height() == b.Height() &&
         std::memcmp(a.DIBSectionBitsPtr(), b.DIBSectionBitsPtr(), a.Header().biSizeImage) == 0;
}

TEST(Surface, StridesAndFailedCreates) {
  const int32_t strides[][2] = {{1, 4}, {2, 8}, {3, 12}, {4, 12}, {5, 16}, {160, 480}};
  cDIBSection dib;
  for (const auto& [width, bytes] : strides)
    EXPECT_TRUE(dib.Create(width, 2) && dib.BytesPerScanLine() == bytes &&
                dib.Header().biSizeImage == 2 * bytes)
        << width;
  // Width x 3 + 3 beyond 32 bits; then a row that fits times a height that does not.
  EXPECT_EQ(ErrorNumberOf([&] { dib.Create(715827882, 1); }), kErrOverflow);
  ASSERT_TRUE(dib.Create(4, 4));
  EXPECT_EQ(ErrorNumberOf([&] { dib.Create(100000, 100000); }), kErrOverflow);
  EXPECT_EQ(std::tuple(dib.IsCreated(), dib.Width(), dib.Height()),
            std::tuple(false, 100000, 100000));
}

TEST(Resample, MatchesThePlainVersionAndRefusesWhatItCannotMake) {
  // A single pixel cannot be resized, an empty surface not at all, and to nothing is nothing.
  const cDIBSection single = MakeSurface(1, 1);
  EXPECT_EQ(ErrorNumberOf([&] { single.Resample(2, 2); }), kErrSubscriptOutOfRange);
  EXPECT_EQ(ErrorNumberOf([&] { cDIBSection().Resample(480, 640); }), kErrSubscriptOutOfRange);
  EXPECT_TRUE(!single.Resample(1, 0) && !single.Resample(0, 1));

  std::mt19937 rng(20240611);
  // Source and target width and height: same-size copies (a single pixel too), strong enlargements
  // (whose first weights have bits below 2^-24), the program's reductions, ...
  std::vector<std::array<int32_t, 4>> sizes = {{1, 1, 1, 1},           {161, 9, 161, 9},
                                               {3, 3, 2001, 1499},     {17, 13, 5000, 3},
                                               {1600, 1200, 160, 120}, {4000, 3000, 640, 480},
                                               {2048, 1536, 640, 480}, {3000, 1000, 640, 213}};
  // ... every combination of source and target padding, and random sizes.
  for (int32_t sw = 2; sw < 10; ++sw)
    for (int32_t tw = 1; tw < 10; ++tw)
      sizes.push_back({sw, 3 + sw % 3, tw, 1 + (sw + tw) % 5});
  std::uniform_int_distribution<int32_t> side(2, 300);
  for (int i = 0; i < 60; ++i)
    sizes.push_back({side(rng), side(rng), side(rng), side(rng)});
  for (const auto& [sw, sh, tw, th] : sizes) {
    SCOPED_TRACE(testing::Message() << sw << "x" << sh << " -> " << tw << "x" << th);
    const cDIBSection source = MakeSurface(sw, sh, PhotoLike);
    const auto fast = source.Resample(th, tw);
    cDIBSection plain;
    ASSERT_TRUE(fast && plain.Create(tw, th));
    if (sw != tw || sh != th) ReferenceBilinearResample(source, plain);
    ASSERT_TRUE(SameSurface(*fast, sw == tw && sh == th ? source : plain));
  }
}

TEST(Orientation, EachValueTurnsThePictureUpright) {
  // Larger than a tile in both directions, with odd sizes.
  const int32_t w = 77, h = 45;
  const cDIBSection stored = MakeSurface(w, h, PhotoLike);
  // Orientation, then whether upright x and y swap roles, and whether x and y are mirrored.
  const int cases[][4] = {{2, 0, 1, 0}, {3, 0, 1, 1}, {4, 0, 0, 1}, {5, 1, 0, 0},
                          {6, 1, 0, 1}, {7, 1, 1, 1}, {8, 1, 1, 0}};
  for (const auto& [orientation, swap, mirrorX, mirrorY] : cases) {
    SCOPED_TRACE(orientation);
    const cDIBSection expected = MakeSurface(swap ? h : w, swap ? w : h, [&](int32_t x, int32_t y) {
      const int32_t u = swap ? y : x, v = swap ? x : y;
      return PixelAt(stored, mirrorX ? w - 1 - u : u, mirrorY ? h - 1 - v : v);
    });
    cDIBSection upright;
    EXPECT_TRUE(TurnUpright(stored, orientation, upright) && SameSurface(upright, expected));
  }
  cDIBSection dest;
  EXPECT_FALSE(TurnUpright(stored, 1, dest) || TurnUpright(stored, 9, dest) || dest.IsCreated());
}

TEST(BlackCheck, DarkerInEveryChannelAndTheVerdict) {
  // Red 2, green 2, blue 2; one channel of 3; a point outside the picture (0x00BBGGRR).
  EXPECT_EQ((std::vector{Darker(0x020202, kBlackMargin), Darker(0x000003, kBlackMargin),
                         Darker(0x000300, kBlackMargin), Darker(0x030000, kBlackMargin),
                         Darker(-1, kBlackMargin)}),
            (std::vector{true, false, false, false, true}));
  EXPECT_EQ(std::pair(IsBlackRatio(0.99), IsBlackRatio(0.995)), std::pair(false, true));
  EXPECT_EQ(BlackVerdictText(false, 1.0 / 3), "Non Black Picture  0.333333333333333");
  ScopedLocale german("de_DE");  // the ratio in the user's own notation
  EXPECT_EQ(BlackVerdictText(true, 0.9951), "Black Picture  0,9951");
}

TEST(JpegWriter, FailuresKeepTheEarlierFileAndSuccessItsTimesAndModeAtAClampedQuality) {
  TempDir dir;
  const std::string file = dir.File("photo.jpg");
  WriteBytes(file, "earlier picture");
  ASSERT_EQ(::chmod(file.c_str(), 0640), 0);
  cDIBSection empty = MakeSurface(640, 480);
  empty.ClearUp();  // no pixels, though the header still says 640 x 480
  try {
    SaveJPG(empty, file, 90);
    ADD_FAILURE() << "saved a surface without pixels";
  } catch (const SnapError& e) {
    EXPECT_EQ(std::tuple(e.Number(), e.Description(), e.Source()),
              std::tuple(kErrJpegWriter, "Failed to save to JPG -1", "snapwick.mIntelJPEGLibrary"));
  }

  // Red at the top, blue at the bottom, green across; rows of 483 bytes padded to 484.
  const cDIBSection dib = MakeSurface(161, 32, [](int32_t x, int32_t y) {
    return Rgb{static_cast<uint8_t>(255 - 8 * y), static_cast<uint8_t>(x),
               static_cast<uint8_t>(8 * y)};
  });
  // Files may not grow beyond 512 bytes: writes fail as on a full disk.
  const auto onFullDisk = [&](const std::string& path) {
    const ScopedFileSizeLimit limit(512);
    return ErrorNumberOf([&] { SaveJPG(dib, path, 100); });
  };
  EXPECT_TRUE(onFullDisk(file) == kErrDiskFull &&
              onFullDisk(dir.File("fresh.jpg")) == kErrDiskFull);
  EXPECT_EQ(ReadFile(file), "earlier picture");
  EXPECT_EQ(Folder(dir.Path()), "photo.jpg");

  ASSERT_TRUE(SetFileTimes(file, {1000000000, 123456789}, {1100000000, 987654321}));
  ASSERT_TRUE(SaveJPG(dib, file, 100));
  FileStamp after;
  ASSERT_TRUE(ReadFileStamp(file, after));
  EXPECT_EQ(std::tuple(after.lastAccess.tv_sec, after.lastAccess.tv_nsec, after.lastWrite.tv_sec,
                       after.lastWrite.tv_nsec, after.mode),
            std::tuple(1000000000L, 123456789L, 1100000000L, 987654321L, 0640u));
  const cDIBSection decoded = DecodeJpegFile(file);
  ASSERT_EQ(std::pair(decoded.Width(), decoded.Height()), std::pair(161, 32));
  int most = 0;  // the largest difference of any byte, padding included
  for (int32_t i = 0; i < dib.Header().biSizeImage; ++i)
    most = std::max(most, std::abs(dib.DIBSectionBitsPtr()[i] - decoded.DIBSectionBitsPtr()[i]));
  EXPECT_LE(most, 8);

  // Qualities beyond 1..100 are clamped.
  const auto bytesAt = [&](int32_t quality) {
    const std::string name = dir.File(std::to_string(quality) + ".jpg");
    EXPECT_TRUE(SaveJPG(dib, name, quality)) << quality;
    return ReadFile(name);
  };
  EXPECT_EQ(bytesAt(INT32_MAX), ReadFile(file));  // saved at 100
  EXPECT_EQ(bytesAt(-20), bytesAt(1));
  EXPECT_NE(bytesAt(1), bytesAt(2));
  // The file holds exactly what the output format's encoder gives.
  const std::vector<unsigned char> encoded = kJpegOutput.encode(dib, 100);
  EXPECT_EQ(ReadFile(file), std::string(encoded.begin(), encoded.end()));
}

TEST(FileDate, WorkedExamplesAndTheLocale) {
  TempDir dir;
  const std::string file = dir.File("picture.jpg");
  WriteBytes(file, "not really a picture");
  // Time zone, the file's last-write time in UTC (seconds since 1970 and nanoseconds), whether
  // the PC's zone is used, and the text.
  const std::tuple<const char*, time_t, long, bool, const char*> cases[] = {
      {"XXX-2", 1088856309, 999'000'000, false, "Sat Jul-03, 2004 12:05:09"},  // 12:05:09.999
      // Daylight saving in force on that date: only the standard offset counts.
      {"EET-2EEST,M3.5.0/3,M10.5.0/4", 1088856309, 0, true, "Sat Jul-03, 2004 14:05:09"},
      {"XXX+5", 1078110000, 0, true, "Sun Feb-29, 2004 22:00:00"},  // 2004-03-01 03:00:00
  };
  for (const auto& [zone, seconds, nanoseconds, usePcZone, text] : cases) {
    ScopedTimeZone scoped(zone);
    ASSERT_TRUE(SetFileTimes(file, {seconds, nanoseconds}, {seconds, nanoseconds}));
    EXPECT_EQ(GetFileDate(file, usePcZone), text) << zone;
  }
  // A missing file shows the zero time; a read-only one its real date, here in German.
  EXPECT_EQ(GetFileDate(dir.File("gone.jpg"), false), "Mon Jan-01, 1601 00:00:00");
  ASSERT_EQ(chmod(file.c_str(), 0444), 0);
  ScopedLocale german("de_DE");
  EXPECT_EQ(GetFileDate(file, false), "Mo Mär-01, 2004 03:00:00");
}

}  // namespace
}  // namespace snapwick
