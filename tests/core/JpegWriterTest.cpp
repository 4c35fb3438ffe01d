#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <filesystem>

#include "imaging/mIntelJPEGLibrary.h"
#include "platform/Error.h"
#include "platform/FileTimes.h"
#include "support/Fixtures.h"
#include "support/TestEnvironment.h"

namespace snapwick {
namespace {

using namespace test;

// The error of a save, or number 0 when it succeeds.
SnapError Save(const cDIBSection& dib, const std::string& file, int32_t quality = 90) {
  try {
    EXPECT_TRUE(SaveJPG(dib, file, quality));
  } catch (const SnapError& e) {
    return e;
  }
  return SnapError(0, "");
}

// The number of files in a folder.
ptrdiff_t Entries(const std::string& folder) {
  return std::distance(std::filesystem::directory_iterator(folder), {});
}

TEST(JpegWriter, WritesThePictureUprightWithAndWithoutRowPaddingAtAClampedQuality) {
  TempDir dir;
  const auto bytesAt = [&](const cDIBSection& dib, int32_t quality) {
    const std::string file = dir.File(std::to_string(dib.Width()) + "q" + std::to_string(quality));
    EXPECT_EQ(Save(dib, file, quality).Number(), 0) << quality;
    return ReadFile(file);
  };
  for (int32_t width : {160, 161}) {
    SCOPED_TRACE(width);
    // Red at the top, blue at the bottom, green across.
    const cDIBSection dib = MakeSurface(width, 32, [](int32_t x, int32_t y) {
      return Rgb{static_cast<uint8_t>(255 - 8 * y), static_cast<uint8_t>(x),
                 static_cast<uint8_t>(8 * y)};
    });
    const std::string best = bytesAt(dib, 100), worst = bytesAt(dib, 1);
    EXPECT_EQ(bytesAt(dib, INT32_MAX), best);
    EXPECT_EQ(bytesAt(dib, -20), worst);
    EXPECT_NE(best, worst);
    const cDIBSection decoded = DecodeJpegFile(dir.File(std::to_string(width) + "q100"));
    ASSERT_EQ(std::pair(decoded.Width(), decoded.Height()), std::pair(width, 32));
    int largest = 0;  // difference of any byte, padding included
    for (int32_t i = 0; i < dib.Header().biSizeImage; ++i) {
      largest =
          std::max(largest, std::abs(dib.DIBSectionBitsPtr()[i] - decoded.DIBSectionBitsPtr()[i]));
    }
    EXPECT_LE(largest, 8);
  }
}

TEST(JpegWriter, OverwritingKeepsTheEarlierTimesAndMode) {
  TempDir dir;
  const std::string file = dir.File("kept.jpg");
  WriteBytes(file, "earlier content");
  ASSERT_EQ(::chmod(file.c_str(), 0640), 0);
  ASSERT_TRUE(SetFileTimes(file, {1000000000, 123456789}, {1100000000, 987654321}));
  ASSERT_EQ(Save(MakeSurface(40, 30), file).Number(), 0);
  FileStamp after;
  ASSERT_TRUE(ReadFileStamp(file, after));
  EXPECT_EQ(std::tuple(after.lastAccess.tv_sec, after.lastAccess.tv_nsec, after.lastWrite.tv_sec,
                       after.lastWrite.tv_nsec, after.mode),
            std::tuple(1000000000L, 123456789L, 1100000000L, 987654321L, 0640u));
  EXPECT_EQ(JpegSize(file), std::pair(40, 30));
}

TEST(JpegWriter, FailuresKeepTheEarlierFileAndLeaveNoOther) {
  TempDir dir;
  const std::string file = dir.File("photo.jpg");
  WriteBytes(file, "earlier picture");
  cDIBSection empty = MakeSurface(640, 480);
  empty.ClearUp();  // no pixels, though the header still says 640 x 480
  const SnapError encoder = Save(empty, file);
  EXPECT_EQ(std::tuple(encoder.Number(), encoder.Description(), encoder.Source()),
            std::tuple(kErrJpegWriter, "Failed to save to JPG -1", "snapwick.mIntelJPEGLibrary"));

  // Files may not grow beyond 512 bytes: writes fail as on a full disk.
  rlimit previous{};
  ::getrlimit(RLIMIT_FSIZE, &previous);
  rlimit limit = previous;
  limit.rlim_cur = 512;
  const auto handler = std::signal(SIGXFSZ, SIG_IGN);
  ::setrlimit(RLIMIT_FSIZE, &limit);
  const SnapError full = Save(MakeSurface(200, 150, PhotoLike), file);
  const SnapError fresh = Save(MakeSurface(200, 150, PhotoLike), dir.File("fresh.jpg"));
  ::setrlimit(RLIMIT_FSIZE, &previous);
  std::signal(SIGXFSZ, handler);
  EXPECT_EQ(full.Number(), kErrDiskFull);
  EXPECT_EQ(fresh.Number(), kErrDiskFull);
  EXPECT_EQ(ReadFile(file), "earlier picture");
  EXPECT_EQ(Entries(dir.Path()), 1);

  // A file marked read-only stays as it is; a missing folder is no path.
  ASSERT_EQ(::chmod(file.c_str(), 0444), 0);
  EXPECT_EQ(Save(MakeSurface(8, 8), file).Number(), kErrPathFileAccess);
  EXPECT_EQ(ReadFile(file), "earlier picture");
  EXPECT_EQ(Save(MakeSurface(8, 8), dir.File("missing/picture.jpg")).Number(), kErrPathNotFound);
  EXPECT_EQ(Entries(dir.Path()), 1);
}

}  // namespace
}  // namespace snapwick
