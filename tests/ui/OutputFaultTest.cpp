// Writing fails: the temporary JPEG or the auto-save folder cannot be written, the disk is full,
// the target is read-only. The picture road goes on silently (a failed auto-save leaves a
// one-line note in the log caption), "Save as..." says what went wrong, and no earlier file is
// lost, changed or joined by stray temporary files.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QLabel>
#include <cstdlib>

#include "ui/RoadFixture.h"

namespace snapwick::test {
namespace {

// Sets an environment variable for the scope.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const std::string& value) : name_(name) {
    if (const char* old = std::getenv(name)) previous_ = old;
    setenv(name, value.c_str(), 1);
  }
  ~ScopedEnv() {
    if (previous_) {
      setenv(name_, previous_->c_str(), 1);
    } else {
      unsetenv(name_);
    }
  }

 private:
  const char* name_;
  std::optional<std::string> previous_;
};

// Puts a folder's permission bits back at the end of the scope.
class ScopedMode {
 public:
  ScopedMode(std::string path, mode_t mode) : path_(std::move(path)) {
    struct stat st {};
    ::stat(path_.c_str(), &st);
    previous_ = st.st_mode & 07777;
    ::chmod(path_.c_str(), mode);
  }
  ~ScopedMode() { ::chmod(path_.c_str(), previous_); }

 private:
  std::string path_;
  mode_t previous_ = 0755;
};

class OutputFaultTest : public PictureRoadTest {
 protected:
  void SetUp() override {
    PictureRoadTest::SetUp();
    WriteBytes(pics_.File("a.jpg"), MakeJpeg(400, 300, PhotoLike));
    WriteBytes(pics_.File("b.jpg"), MakeJpeg(300, 400, PhotoLike));
    WriteBytes(pics_.File("c.jpg"), MakeJpeg(200, 100, PhotoLike));
  }

  std::string Log() const { return form_->LogMessage->text().toStdString(); }

  // The note of a failed auto-save: one line naming the file.
  void ExpectNote(const std::string& file, const std::string& why) const {
    const std::string log = Log();
    EXPECT_EQ(log.rfind("Not saved: ", 0), 0u) << log;
    EXPECT_NE(log.find(file), std::string::npos) << log;
    EXPECT_NE(log.find(why), std::string::npos) << log;
    EXPECT_EQ(log.find('\n'), std::string::npos) << log;
  }

  TempDir cache_;
  ScopedEnv cacheHome_{"XDG_CACHE_HOME", cache_.Path()};
};

TEST_F(OutputFaultTest, ReadOnlyTempJpegIsLeftAloneForTheCacheFolder) {
  const std::string earlier = MakeJpeg(10, 10);
  WriteBytes(work_.File("temp.jpg"), earlier);
  ASSERT_EQ(::chmod(work_.File("temp.jpg").c_str(), 0444), 0);
  Form1& form = Start();
  FixSize(1);
  EXPECT_EQ(form.TempFile.rfind(cache_.Path() + "/", 0), 0u) << form.TempFile;
  Load(pics_.File("a.jpg"));
  EXPECT_EQ(form.WindowTitle, pics_.File("a.jpg") + "  [ 0.1M 400x300]");
  EXPECT_EQ(form.Picture2->PictureImage().size(), QSize(320, 240));
  EXPECT_EQ(ReadFile(work_.File("temp.jpg")), earlier);
  EXPECT_EQ(ListFolder(work_.Path()), std::vector<std::string>{"temp.jpg"});
}

TEST_F(OutputFaultTest, WorkingFolderTurnedReadOnlyMovesTheTempJpegToTheCacheFolder) {
  ScopedFilePermissionsApply permissions;
  ASSERT_TRUE(permissions.Effective());
  Form1& form = Start();
  FixSize(1);
  AutoSaveWith(out_.Path(), "x");
  Load(Selection(pics_.Path(), {"a.jpg", "b.jpg"}));
  ASSERT_EQ(form.TempFile, "temp.jpg");
  const std::string earlier = ReadFile(work_.File("temp.jpg"));
  ASSERT_EQ(JpegSize(work_.File("temp.jpg")), std::make_pair(320, 240));
  {
    ScopedMode readOnly(work_.Path(), 0555);
    form.NextFile_Click();
    EXPECT_EQ(form.WindowTitle, pics_.File("b.jpg") + "  [ 0.1M 300x400] Photo 2 of 2");
    EXPECT_EQ(form.Picture2->PictureImage().size(), QSize(180, 240));
    EXPECT_EQ(form.TempFile.rfind(cache_.Path() + "/", 0), 0u) << form.TempFile;
    EXPECT_EQ(JpegSize(form.TempFile), std::make_pair(180, 240));
  }
  EXPECT_EQ(ReadFile(work_.File("temp.jpg")), earlier);
  EXPECT_EQ(ListFolder(work_.Path()), std::vector<std::string>{"temp.jpg"});
  EXPECT_EQ(ListFolder(out_.Path()), (std::vector<std::string>{"x_001.jpg", "x_002.jpg"}));
  EXPECT_EQ(Log(), "");
}

// The working folder and the cache on a small disk that fills up: the next picture cannot pass
// through the temporary JPEG, so the road ends silently with the previous picture and title.
TEST_F(OutputFaultTest, FullDiskForTheTempJpegKeepsThePreviousPicture) {
  const std::string small = work_.File("small");
  ASSERT_EQ(::mkdir(small.c_str(), 0755), 0);
  ScopedTmpfs disk(small, "256k");
  if (!disk.Mounted()) GTEST_SKIP() << "no small disk to fill: " << disk.Reason();
  ScopedEnv cacheHome("XDG_CACHE_HOME", small + "/cache");
  ASSERT_EQ(::chdir(small.c_str()), 0);

  Form1& form = Start();
  FixSize(1);
  AutoSaveWith(out_.Path(), "x");
  Load(Selection(pics_.Path(), {"a.jpg", "b.jpg", "c.jpg"}));
  ASSERT_EQ(form.TempFile, "temp.jpg");
  const std::string earlier = ReadFile("temp.jpg");
  ASSERT_EQ(JpegSize("temp.jpg"), std::make_pair(320, 240));
  ASSERT_TRUE(FillFileSystem(small, "filler", 0));
  form.PicturePrint(10, 100, "drawn text", 0xFFFFFF, 0x000000);

  const Screen before = Shown();
  form.NextFile_Click();
  EXPECT_EQ(form.CurrentFileName, pics_.File("b.jpg"));
  ExpectPreviousPictureKept(before);
  EXPECT_EQ(ReadFile("temp.jpg"), earlier);
  std::vector<std::string> left = ListFolder(small);
  left.erase(std::remove(left.begin(), left.end(), "cache"), left.end());
  EXPECT_EQ(left, (std::vector<std::string>{"filler", "temp.jpg"}));
  for (const std::string& name : ListFolder(small + "/cache")) {
    for (const std::string& inner : ListFolder(small + "/cache/" + name))
      ADD_FAILURE() << "left in the cache: " << inner;
  }
  EXPECT_EQ(ListFolder(out_.Path()), std::vector<std::string>{"x_001.jpg"});
  EXPECT_TRUE(dialogs_.messages.empty());

  // With room again the road goes on.
  ASSERT_EQ(::unlink((small + "/filler").c_str()), 0);
  AutoStep();
  EXPECT_EQ(form.WindowTitle, pics_.File("c.jpg") + "  [ 0.0M 200x100] Photo 3 of 3");
  EXPECT_EQ(ListFolder(out_.Path()), (std::vector<std::string>{"x_001.jpg", "x_003.jpg"}));
  ASSERT_EQ(::chdir(work_.Path().c_str()), 0);
}

TEST_F(OutputFaultTest, MissingAutoSaveFolderIsNotedAndNotMade) {
  Form1& form = Start();
  FixSize(1);
  AutoSaveWith(out_.File("missing"), "x");
  Load(Selection(pics_.Path(), {"a.jpg", "b.jpg"}));
  EXPECT_EQ(form.WindowTitle, pics_.File("a.jpg") + "  [ 0.1M 400x300] Photo 1 of 2");
  ExpectNote(out_.File("missing/x_001.jpg"), "Path not found");
  form.NextFile_Click();
  ExpectNote(out_.File("missing/x_002.jpg"), "Path not found");
  EXPECT_EQ(form.WindowTitle, pics_.File("b.jpg") + "  [ 0.1M 300x400] Photo 2 of 2");
  EXPECT_TRUE(ListFolder(out_.Path()).empty());
  EXPECT_TRUE(dialogs_.messages.empty());
}

TEST_F(OutputFaultTest, ReadOnlyAutoSaveFolderKeepsWhatItHolds) {
  ScopedFilePermissionsApply permissions;
  ASSERT_TRUE(permissions.Effective());
  const std::string earlier = MakeJpeg(50, 40);
  WriteBytes(out_.File("x_001.jpg"), earlier);
  Form1& form = Start();
  FixSize(1);
  AutoSaveWith(out_.Path(), "x");
  {
    ScopedMode readOnly(out_.Path(), 0555);
    Load(Selection(pics_.Path(), {"a.jpg", "b.jpg"}));
    ExpectNote(out_.File("x_001.jpg"), "access error");
    form.NextFile_Click();
    ExpectNote(out_.File("x_002.jpg"), "access error");
    EXPECT_EQ(form.WindowTitle, pics_.File("b.jpg") + "  [ 0.1M 300x400] Photo 2 of 2");
  }
  EXPECT_EQ(ListFolder(out_.Path()), std::vector<std::string>{"x_001.jpg"});
  EXPECT_EQ(ReadFile(out_.File("x_001.jpg")), earlier);
  EXPECT_TRUE(dialogs_.messages.empty());
}

// The auto-save folder on a small disk that is full: the earlier picture of the same name stays
// whole, no part of the new one is left, and "Save as..." says that the disk is full.
TEST_F(OutputFaultTest, FullDiskKeepsTheEarlierFileWhole) {
  const std::string small = out_.File("small");
  ASSERT_EQ(::mkdir(small.c_str(), 0755), 0);
  ScopedTmpfs disk(small, "64k");
  if (!disk.Mounted()) GTEST_SKIP() << "no small disk to fill: " << disk.Reason();
  const std::string earlier = MakeJpeg(60, 40, PhotoLike);
  WriteBytes(small + "/x_001.jpg", earlier);
  ASSERT_TRUE(FillFileSystem(small, "filler", 0));
  const std::vector<std::string> files = {"filler", "x_001.jpg"};

  Form1& form = Start();
  FixSize(1);
  AutoSaveWith(small, "x");
  Load(Selection(pics_.Path(), {"a.jpg", "b.jpg"}));
  EXPECT_EQ(form.WindowTitle, pics_.File("a.jpg") + "  [ 0.1M 400x300] Photo 1 of 2");
  ExpectNote(small + "/x_001.jpg", "Disk full");
  form.NextFile_Click();
  ExpectNote(small + "/x_002.jpg", "Disk full");
  EXPECT_EQ(ListFolder(small), files);
  EXPECT_EQ(ReadFile(small + "/x_001.jpg"), earlier);

  SaveAs(small + "/x_001.jpg");
  ASSERT_EQ(dialogs_.messages.size(), 1u);
  EXPECT_NE(dialogs_.messages[0].find("Disk full"), std::string::npos) << dialogs_.messages[0];
  EXPECT_EQ(ListFolder(small), files);
  EXPECT_EQ(ReadFile(small + "/x_001.jpg"), earlier);
}

TEST_F(OutputFaultTest, ReadOnlyFilesAndFoldersAreNeverWrittenOver) {
  const std::string earlier = MakeJpeg(50, 40);
  const std::string oddName = "new\nline.jpg";
  WriteBytes(pics_.File(oddName), MakeJpeg(120, 90));
  for (const std::string& name : {std::string("x_001.jpg"), oddName}) {
    WriteBytes(out_.File(name), earlier);
    ASSERT_EQ(::chmod(out_.File(name).c_str(), 0444), 0);
  }
  ASSERT_EQ(::mkdir(out_.File("x_003.jpg").c_str(), 0755), 0);
  Form1& form = Start();
  FixSize(1);
  AutoSaveWith(out_.Path(), "x");
  Load(Selection(pics_.Path(), {"a.jpg", "b.jpg", "c.jpg"}));
  ExpectNote(out_.File("x_001.jpg"), "access error");
  form.NextFile_Click();
  EXPECT_EQ(JpegSize(out_.File("x_002.jpg")), std::make_pair(180, 240));
  form.NextFile_Click();
  ExpectNote(out_.File("x_003.jpg"), "access error");
  EXPECT_TRUE(ListFolder(out_.File("x_003.jpg")).empty());

  // Saved under its own name, which holds a line break: the note stays on one line.
  AutoSaveWith(out_.Path(), "", true);
  Load(pics_.File(oddName));
  ExpectNote(out_.File("new line.jpg"), "access error");

  SaveAs(out_.File("x_001.jpg"));
  ASSERT_EQ(dialogs_.messages.size(), 1u);
  EXPECT_NE(dialogs_.messages[0].find("access error"), std::string::npos) << dialogs_.messages[0];
  SaveAs(out_.File("no folder/picture.jpg"));
  ASSERT_EQ(dialogs_.messages.size(), 2u);
  EXPECT_NE(dialogs_.messages[1].find("Path not found"), std::string::npos) << dialogs_.messages[1];

  EXPECT_EQ(ListFolder(out_.Path()),
            (std::vector<std::string>{oddName, "x_001.jpg", "x_002.jpg", "x_003.jpg"}));
  for (const std::string& name : {std::string("x_001.jpg"), oddName}) {
    SCOPED_TRACE(name);
    EXPECT_EQ(ReadFile(out_.File(name)), earlier);
    struct stat st {};
    ASSERT_EQ(::stat(out_.File(name).c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0444u);
  }
}

}  // namespace
}  // namespace snapwick::test
