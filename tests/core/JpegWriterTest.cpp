#include <dlfcn.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <turbojpeg.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <set>

#include "imaging/mIntelJPEGLibrary.h"
#include "platform/Error.h"
#include "platform/FileTimes.h"
#include "support/Fixtures.h"
#include "support/TestEnvironment.h"

// While set, the compressor cannot be created: tjInitCompress is taken over here for the whole
// test program and otherwise hands on to the library's own.
static bool gRefuseCompressor = false;

extern "C" tjhandle tjInitCompress(void) {
  using Init = tjhandle (*)();
  static const Init library = reinterpret_cast<Init>(dlsym(RTLD_NEXT, "tjInitCompress"));
  if (gRefuseCompressor) return nullptr;
  return library();
}

namespace snapwick {
namespace {

using test::MakeSurface;
using test::PixelAt;
using test::ReadFile;
using test::Rgb;
using test::TempDir;
using test::WriteFile;

struct Outcome {
  int32_t number = 0;
  std::string description;
  std::string source;
};

Outcome Save(const cDIBSection& dib, const std::string& file, int32_t quality = 90) {
  try {
    EXPECT_TRUE(SaveJPG(dib, file, quality));
  } catch (const SnapError& e) {
    return {e.Number(), e.Description(), e.Source()};
  }
  return {};
}

std::set<std::string> Entries(const std::string& folder) {
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    names.insert(entry.path().filename().string());
  }
  return names;
}

Rgb TopRedBottomBlue(int32_t, int32_t y) {
  return y < 32 ? Rgb{255, 0, 0} : Rgb{0, 0, 255};
}

// Largest difference of any channel between a surface and the decoded file.
int MaxDifference(const cDIBSection& expected, const cDIBSection& decoded) {
  int worst = 0;
  for (int32_t y = 0; y < expected.Height(); ++y) {
    for (int32_t x = 0; x < expected.Width(); ++x) {
      const Rgb a = PixelAt(expected, x, y), b = PixelAt(decoded, x, y);
      worst = std::max({worst, std::abs(a.r - b.r), std::abs(a.g - b.g), std::abs(a.b - b.b)});
    }
  }
  return worst;
}

TEST(JpegWriter, WritesThePictureUpright) {
  TempDir dir;
  const std::string file = dir.File("upright.jpg");
  ASSERT_EQ(Save(MakeSurface(64, 64, TopRedBottomBlue), file).number, 0);
  const cDIBSection decoded = test::DecodeJpegFile(file);
  ASSERT_TRUE(decoded.IsCreated());
  ASSERT_EQ(decoded.Width(), 64);
  ASSERT_EQ(decoded.Height(), 64);
  for (const auto& [x, y] : {std::pair{5, 5}, std::pair{60, 20}}) {
    const Rgb top = PixelAt(decoded, x, y);
    EXPECT_GT(top.r, 200);
    EXPECT_LT(top.b, 60);
  }
  for (const auto& [x, y] : {std::pair{5, 60}, std::pair{60, 44}}) {
    const Rgb bottom = PixelAt(decoded, x, y);
    EXPECT_GT(bottom.b, 200);
    EXPECT_LT(bottom.r, 60);
  }
}

TEST(JpegWriter, ReadsRowsWithAndWithoutPadding) {
  TempDir dir;
  const auto smooth = [](int32_t x, int32_t y) {
    return Rgb{static_cast<uint8_t>(x), static_cast<uint8_t>(y * 25),
               static_cast<uint8_t>(255 - x)};
  };
  for (int32_t width : {160, 161}) {
    const cDIBSection dib = MakeSurface(width, 10, smooth);
    const std::string file = dir.File("w" + std::to_string(width) + ".jpg");
    ASSERT_EQ(Save(dib, file, 100).number, 0);
    const cDIBSection decoded = test::DecodeJpegFile(file);
    ASSERT_EQ(decoded.Width(), width);
    ASSERT_EQ(decoded.Height(), 10);
    EXPECT_LE(MaxDifference(dib, decoded), 12) << width;
  }
}

TEST(JpegWriter, OverwritingKeepsTheEarlierTimesAndPermissions) {
  TempDir dir;
  const std::string file = dir.File("kept.jpg");
  WriteFile(file, "earlier content");
  ASSERT_EQ(::chmod(file.c_str(), 0640), 0);
  const timespec accessed{1000000000, 123456789}, written{1100000000, 987654321};
  ASSERT_TRUE(SetFileTimes(file, accessed, written));

  ASSERT_EQ(Save(MakeSurface(40, 30), file).number, 0);
  // The stamp is read before the content: reading may update the access time.
  FileStamp after;
  ASSERT_TRUE(ReadFileStamp(file, after));
  EXPECT_EQ(after.lastAccess.tv_sec, accessed.tv_sec);
  EXPECT_EQ(after.lastAccess.tv_nsec, accessed.tv_nsec);
  EXPECT_EQ(after.lastWrite.tv_sec, written.tv_sec);
  EXPECT_EQ(after.lastWrite.tv_nsec, written.tv_nsec);
  EXPECT_EQ(after.mode, 0640u);
  EXPECT_EQ(test::JpegSize(file), (std::pair<int32_t, int32_t>{40, 30}));
  EXPECT_EQ(Entries(dir.Path()), std::set<std::string>{"kept.jpg"});
}

TEST(JpegWriter, ANewFileGetsTheTimeOfWritingAndDefaultPermissions) {
  TempDir dir;
  const std::string file = dir.File("new.jpg");
  const mode_t mask = ::umask(0);
  ::umask(mask);
  const time_t start = ::time(nullptr);
  ASSERT_EQ(Save(MakeSurface(16, 8), file).number, 0);
  FileStamp stamp;
  ASSERT_TRUE(ReadFileStamp(file, stamp));
  EXPECT_TRUE(stamp.isRegular);
  EXPECT_EQ(stamp.mode, 0666u & ~static_cast<uint32_t>(mask));
  EXPECT_GE(stamp.lastWrite.tv_sec, start - 1);
  EXPECT_LE(stamp.lastWrite.tv_sec, ::time(nullptr) + 1);
  EXPECT_EQ(test::JpegSize(file), (std::pair<int32_t, int32_t>{16, 8}));
  EXPECT_EQ(Entries(dir.Path()), std::set<std::string>{"new.jpg"});
}

TEST(JpegWriter, AReadOnlyTargetIsAnAccessErrorAndStays) {
  TempDir dir;
  const std::string file = dir.File("locked.jpg");
  WriteFile(file, "keep me");
  ASSERT_EQ(::chmod(file.c_str(), 0444), 0);
  const Outcome outcome = Save(MakeSurface(8, 8), file);
  EXPECT_EQ(outcome.number, kErrPathFileAccess);
  EXPECT_EQ(outcome.description, "Path/File access error");
  EXPECT_EQ(ReadFile(file), "keep me");
  FileStamp stamp;
  ASSERT_TRUE(ReadFileStamp(file, stamp));
  EXPECT_EQ(stamp.mode, 0444u);
  EXPECT_EQ(Entries(dir.Path()), std::set<std::string>{"locked.jpg"});
}

TEST(JpegWriter, AFolderUnderTheNameIsLeftAlone) {
  TempDir dir;
  const std::string folder = dir.File("album.jpg");
  ASSERT_EQ(::mkdir(folder.c_str(), 0755), 0);
  WriteFile(folder + "/inside.txt", "x");
  EXPECT_EQ(Save(MakeSurface(8, 8), folder).number, kErrPathFileAccess);
  EXPECT_EQ(Save(MakeSurface(8, 8), folder + "/").number, kErrPathFileAccess);
  EXPECT_TRUE(std::filesystem::is_directory(folder));
  EXPECT_EQ(Entries(folder), std::set<std::string>{"inside.txt"});
  EXPECT_EQ(Entries(dir.Path()), std::set<std::string>{"album.jpg"});
}

TEST(JpegWriter, AMissingFolderIsPathNotFound) {
  TempDir dir;
  EXPECT_EQ(Save(MakeSurface(8, 8), dir.File("missing/picture.jpg")).number, kErrPathNotFound);
  WriteFile(dir.File("plain.txt"), "x");
  const Outcome throughFile = Save(MakeSurface(8, 8), dir.File("plain.txt/picture.jpg"));
  EXPECT_EQ(throughFile.number, kErrPathNotFound);
  EXPECT_EQ(throughFile.description, "Path not found");
  EXPECT_EQ(Save(MakeSurface(8, 8), "").number, kErrPathNotFound);
  EXPECT_EQ(Entries(dir.Path()), std::set<std::string>{"plain.txt"});
}

TEST(JpegWriter, AnUnwritableFolderKeepsTheEarlierFile) {
  TempDir dir;
  ASSERT_EQ(::chmod(dir.Path().c_str(), 0755), 0);
  const std::string folder = dir.File("shelf");
  ASSERT_EQ(::mkdir(folder.c_str(), 0755), 0);
  const std::string file = folder + "/old.jpg";
  WriteFile(file, "earlier picture");
  ASSERT_EQ(::chmod(file.c_str(), 0666), 0);
  ASSERT_EQ(::chmod(folder.c_str(), 0555), 0);

  const cDIBSection dib = MakeSurface(8, 8);
  const auto attempt = [&](const std::string& target) {
    return test::RunUnprivileged([&] { return Save(dib, target).number & 0xFF; });
  };
  EXPECT_EQ(attempt(file), kErrPathFileAccess);
  EXPECT_EQ(attempt(folder + "/new.jpg"), kErrPathFileAccess);
  ASSERT_EQ(::chmod(folder.c_str(), 0755), 0);
  EXPECT_EQ(ReadFile(file), "earlier picture");
  EXPECT_EQ(Entries(folder), std::set<std::string>{"old.jpg"});
}

// Files may not grow beyond a few bytes for the scope: writes then fail as on a full disk.
class ScopedFileSizeLimit {
 public:
  explicit ScopedFileSizeLimit(rlim_t bytes) {
    ::getrlimit(RLIMIT_FSIZE, &previous_);
    previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = previous_;
    limit.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~ScopedFileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &previous_);
    std::signal(SIGXFSZ, previousHandler_);
  }

 private:
  rlimit previous_{};
  void (*previousHandler_)(int) = nullptr;
};

TEST(JpegWriter, AFullDiskLeavesNoHalfWrittenFile) {
  TempDir dir;
  const std::string file = dir.File("photo.jpg");
  WriteFile(file, "earlier picture");
  const std::string fresh = dir.File("fresh.jpg");
  Outcome overwrite, create;
  {
    ScopedFileSizeLimit limit(512);
    overwrite = Save(MakeSurface(200, 150, test::PhotoLike), file);
    create = Save(MakeSurface(200, 150, test::PhotoLike), fresh);
  }
  EXPECT_EQ(overwrite.number, kErrDiskFull);
  EXPECT_EQ(overwrite.description, "Disk full");
  EXPECT_EQ(create.number, kErrDiskFull);
  EXPECT_EQ(ReadFile(file), "earlier picture");
  EXPECT_EQ(Entries(dir.Path()), std::set<std::string>{"photo.jpg"});
}

TEST(JpegWriter, EncoderFailureIsError26001AndKeepsTheEarlierFile) {
  TempDir dir;
  const std::string file = dir.File("photo.jpg");
  WriteFile(file, "earlier picture");
  cDIBSection empty = MakeSurface(640, 480);
  empty.ClearUp();  // no pixels, though the header still says 640 x 480
  const Outcome outcome = Save(empty, file);
  EXPECT_EQ(outcome.number, kErrJpegWriter);
  EXPECT_EQ(outcome.description, "Failed to save to JPG -1");
  EXPECT_EQ(outcome.source, "snapwick.mIntelJPEGLibrary");
  EXPECT_EQ(JpegWriterSource(), "snapwick.mIntelJPEGLibrary");
  EXPECT_EQ(ReadFile(file), "earlier picture");
  EXPECT_EQ(Entries(dir.Path()), std::set<std::string>{"photo.jpg"});

  cDIBSection none;
  none.Create(0, 0);
  EXPECT_EQ(Save(none, dir.File("none.jpg")).description, "Failed to save to JPG -1");
  EXPECT_EQ(Entries(dir.Path()), std::set<std::string>{"photo.jpg"});
}

TEST(JpegWriter, CompressorThatCannotStartTouchesNoFile) {
  TempDir dir;
  const std::string file = dir.File("photo.jpg");
  WriteFile(file, "earlier picture");
  gRefuseCompressor = true;
  const Outcome outcome = Save(MakeSurface(8, 8), file);
  gRefuseCompressor = false;
  EXPECT_EQ(outcome.number, kErrJpegWriter);
  EXPECT_EQ(outcome.description, "Failed to initialise the IJL library: -1");
  EXPECT_EQ(outcome.source, "snapwick.mIntelJPEGLibrary");
  EXPECT_EQ(ReadFile(file), "earlier picture");
}

TEST(JpegWriter, QualityOutsideOneToHundredIsClamped) {
  TempDir dir;
  const cDIBSection dib = MakeSurface(64, 48, test::PhotoLike);
  const auto bytesAt = [&](int32_t quality) {
    const std::string file = dir.File("q" + std::to_string(quality) + ".jpg");
    EXPECT_EQ(Save(dib, file, quality).number, 0) << quality;
    return ReadFile(file);
  };
  const std::string lowest = bytesAt(1), highest = bytesAt(100);
  EXPECT_NE(lowest, highest);
  EXPECT_EQ(bytesAt(0), lowest);
  EXPECT_EQ(bytesAt(-20), lowest);
  EXPECT_EQ(bytesAt(200), highest);
  EXPECT_EQ(bytesAt(INT32_MAX), highest);
}

}  // namespace
}  // namespace snapwick
