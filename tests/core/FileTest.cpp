// The one file module: every reader and writer of the program gives the same error number for
// the same faulty path, whole-file reads keep to their cap, and a replacement leaves nothing
// behind.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "base/Error.h"
#include "base/PosixFile.h"
#include "imaging/PictureLoader.h"
#include "imaging/mIntelJPEGLibrary.h"
#include "metadata/ExifReader.h"
#include "slideshow/SlideShow.h"
#include "support/Fixtures.h"
#include "support/Probes.h"
#include "support/TestEnvironment.h"

namespace snapwick {
namespace {

using test::ErrorNumberOf;
using test::ReadFile;
using test::TempDir;
using test::WriteBytes;

TEST(PosixFile, EveryReaderAndWriterGivesOneNumberForAFaultyPath) {
  TempDir dir;
  WriteBytes(dir.File("file.jpg"), test::MakeJpeg(8, 8));
  ASSERT_EQ(::mkdir(dir.File("folder").c_str(), 0755), 0);
  ASSERT_EQ(::symlink("loop", dir.File("loop").c_str()), 0);
  ASSERT_EQ(::mkfifo(dir.File("fifo.jpg").c_str(), 0644), 0);
  const cDIBSection surface = test::MakeSurface(8, 8);
  struct Case {
    std::string path;
    int32_t read, write;  // -1: not written (a FIFO would wait for a reader)
  };
  const std::vector<Case> cases = {
      {dir.File("missing.jpg"), kErrFileNotFound, -1},
      {dir.File("no folder/x.jpg"), kErrFileNotFound, kErrPathNotFound},
      {dir.File("file.jpg/x.jpg"), kErrPathNotFound, kErrPathNotFound},  // through a file
      {dir.File(std::string(300, 'n') + ".jpg"), kErrPathNotFound, kErrPathNotFound},
      {dir.File("loop"), kErrPathNotFound, kErrPathNotFound},
      {dir.File("folder"), kErrPathFileAccess, kErrPathFileAccess},
      {dir.File("fifo.jpg"), kErrPathFileAccess, -1},
      {dir.File(std::string("nul\0.jpg", 8)), kErrFileNotFound, kErrPathNotFound},
  };
  for (const auto& [path, read, write] : cases) {
    SCOPED_TRACE(path);
    Picture picture;
    ExifReader reader;
    EXPECT_EQ(std::vector({ErrorNumberOf([&] { LoadPicture(path, picture); }),
                           ErrorNumberOf([&] { reader.Load(path); })}),
              std::vector({read, read}));
    if (write < 0) continue;
    EXPECT_EQ(std::vector({ErrorNumberOf([&] { SaveJPG(surface, path, 90); }), ErrorNumberOf([&] {
                             GenerateSlideShow(path, dir.Path() + "/", {}, [] { return "5"; });
                           })}),
              std::vector({write, write}));
  }
  // Nothing was made, not even a file of the name cut short at its NUL.
  EXPECT_EQ(test::Folder(dir.Path()), "fifo.jpg, file.jpg 8x8, folder, loop");
}

TEST(PosixFile, WholeFileReadsKeepToTheirCap) {
  TempDir dir;
  const std::string path = dir.File("ten");
  WriteBytes(path, "0123456789");
  const SnapError tooLarge(kErrInvalidPicture, "too large");
  const std::vector<unsigned char> ten = ReadWholeFile(path, 10, tooLarge);
  EXPECT_EQ(std::string(ten.begin(), ten.end()), "0123456789");
  try {
    ReadWholeFile(path, 9, tooLarge);
    ADD_FAILURE() << "read beyond the cap";
  } catch (const SnapError& error) {
    EXPECT_EQ(std::pair(error.Number(), error.Description()),
              std::pair(int32_t{kErrInvalidPicture}, std::string("too large")));
  }
  WriteBytes(path, "");
  EXPECT_TRUE(ReadWholeFile(path, 0, tooLarge).empty());
}

// The hidden file beside the target is named after it, cut short so that even a target of the
// longest name has one.
TEST(PosixFile, ReplacesAFileOfTheLongestName) {
  TempDir dir;
  const std::string longest = dir.File(std::string(251, 'n') + ".jpg");
  WriteBytes(longest, "old");
  ReplaceFile(longest, std::vector<unsigned char>{'n', 'e', 'w'}, SaveDurability::Durable);
  EXPECT_EQ(std::pair(ReadFile(longest), test::Folder(dir.Path())),
            std::pair(std::string("new"), std::string(251, 'n') + ".jpg"));
}

// What a kill during the renaming left beside a target, and only that, is removed: a hidden name
// made of the target's, eight hex digits and ".tmp".
TEST(PosixFile, LeftTemporariesOfTheTargetsAreRemoved) {
  TempDir dir;
  const std::string longest = std::string(251, 'n') + ".jpg";
  for (const std::string& name : std::vector<std::string>{
           ".x.jpg.0123abcd.tmp", "." + longest.substr(0, 200) + ".89abcdef.tmp",
           ".y.jpg.0123abcd.tmp", ".x.jpg.0123abcz.tmp", ".x.jpg.0123abcd.tmpx",
           "x.jpg.0123abcd.tmp"})
    WriteBytes(dir.File(name), "left");
  RemoveLeftTemporaries({dir.File("x.jpg"), dir.File(longest), dir.File("none/z.jpg")});
  EXPECT_EQ(test::Folder(dir.Path()),
            ".x.jpg.0123abcd.tmpx, .x.jpg.0123abcz.tmp, .y.jpg.0123abcd.tmp, x.jpg.0123abcd.tmp");
}

}  // namespace
}  // namespace snapwick
