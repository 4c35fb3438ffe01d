#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "app/TempFile.h"
#include "support/TestEnvironment.h"

namespace snapwick {
namespace {

TEST(TempFile, CurrentFolderWhenItCanBeWritten) {
  test::TempDir dir;
  ASSERT_EQ(::chmod(dir.Path().c_str(), 0777), 0);
  const int rc = test::RunUnprivileged([&] {
    if (::chdir(dir.Path().c_str()) != 0) return 1;
    return ChooseTempFile() == "temp.jpg" ? 0 : 2;
  });
  EXPECT_EQ(rc, 0);
}

TEST(TempFile, CacheFolderWhenTheCurrentFolderIsReadOnly) {
  test::TempDir dir;
  ASSERT_EQ(::chmod(dir.Path().c_str(), 0755), 0);
  const std::string locked = dir.File("launcher");
  const std::string cache = dir.File("cache");
  ASSERT_EQ(::mkdir(locked.c_str(), 0555), 0);
  ASSERT_EQ(::mkdir(cache.c_str(), 0777), 0);
  ASSERT_EQ(::chmod(cache.c_str(), 0777), 0);
  const int rc = test::RunUnprivileged([&] {
    setenv("XDG_CACHE_HOME", cache.c_str(), 1);
    if (::chdir(locked.c_str()) != 0) return 1;
    const std::string file = ChooseTempFile();
    if (file.rfind(cache + "/", 0) != 0 || file.size() < 9 ||
        file.compare(file.size() - 9, 9, "/temp.jpg") != 0) {
      return 2;
    }
    // The folder is there to be written in.
    const std::string folder = file.substr(0, file.size() - 9);
    return ::access(folder.c_str(), W_OK) == 0 ? 0 : 3;
  });
  EXPECT_EQ(rc, 0);
}

}  // namespace
}  // namespace snapwick
