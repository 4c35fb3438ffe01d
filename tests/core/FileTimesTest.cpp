#include <gtest/gtest.h>

#include <cerrno>

#include "platform/FileTimes.h"
#include "support/TestEnvironment.h"

namespace snapwick {
namespace {

TEST(FileTimes, StampsRoundTripToTheNanosecondAndMissingFilesFail) {
  test::TempDir dir;
  const std::string file = dir.File("a.txt");
  test::WriteFile(file, "a");
  ASSERT_TRUE(SetFileTimes(file, {1234567890, 1}, {987654321, 999999999}));
  ASSERT_TRUE(SetFileMode(file, 0604));
  FileStamp stamp;
  ASSERT_TRUE(ReadFileStamp(file, stamp));
  EXPECT_EQ(stamp.lastAccess.tv_sec, 1234567890);
  EXPECT_EQ(stamp.lastAccess.tv_nsec, 1);
  EXPECT_EQ(stamp.lastWrite.tv_sec, 987654321);
  EXPECT_EQ(stamp.lastWrite.tv_nsec, 999999999);
  EXPECT_EQ(stamp.mode, 0604u);
  EXPECT_TRUE(stamp.isRegular && !stamp.isDirectory);
  ASSERT_TRUE(ReadFileStamp(dir.Path(), stamp));
  EXPECT_TRUE(stamp.isDirectory);

  errno = 0;
  EXPECT_FALSE(ReadFileStamp(dir.File("missing"), stamp));
  EXPECT_EQ(errno, ENOENT);
  EXPECT_FALSE(SetFileTimes(dir.File("missing"), {}, {}));
  EXPECT_FALSE(SetFileMode(dir.File("missing"), 0644));
}

}  // namespace
}  // namespace snapwick
