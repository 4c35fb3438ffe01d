// Writing fails: the temporary JPEG or the auto-save folder cannot be written, the disk is full,
// the target is read-only. The road goes on silently (a failed auto-save leaves a one-line note in
// the log caption), "Save as..." says what went wrong, and no earlier file is lost, changed or
// joined by stray files.

#include <sys/mount.h>
#include <sys/stat.h>

#include <QLabel>
#include <cstdlib>

#include "ui/UiFixture.h"

namespace snapwick::test {

class OutputFaultTest : public Form1Test {
 protected:
  void SetUp() override {
    Form1Test::SetUp();
    ::setenv("XDG_CACHE_HOME", cache_.Path().c_str(), 1);
    for (const auto& [name, width, height] :
         {std::tuple("a.jpg", 400, 300), {"b.jpg", 300, 400}, {"c.jpg", 200, 100}})
      Pic(name, MakeJpeg(width, height, PhotoLike));
  }
  void TearDown() override {
    Form1Test::TearDown();
    ::unsetenv("XDG_CACHE_HOME");
  }
  std::string Log() const { return form_->LogMessage->text().toStdString(); }
  // The log's note of a failed auto-save.
  static std::string Note(const std::string& file, const std::string& why) {
    return "Not saved: " + file + ": " + why;
  }

  const std::string earlier_ = MakeJpeg(50, 40);
  TempDir cache_;
  ScopedFilePermissionsApply permissions_;
};

TEST_F(OutputFaultTest, ReadOnlyTempJpegOrFolderMovesItToTheCacheFolder) {
  // Read-only at start: left alone.
  WriteBytes("temp.jpg", earlier_);
  ASSERT_EQ(::chmod("temp.jpg", 0444), 0);
  EXPECT_EQ(Start(1).TempFile.rfind(cache_.Path() + "/", 0), 0u);
  Load({"a.jpg"});
  EXPECT_EQ(std::tuple(form_->WindowTitle, ReadFile("temp.jpg")),
            std::tuple(pics_.File("a.jpg") + "  [ 0.1M 400x300]", earlier_));
  // Writable at start, its folder turned read-only later.
  ASSERT_EQ(::chmod("temp.jpg", 0644), 0);
  Form1& form = Start(1);
  AutoSaveWith(out_.Path(), "x");
  Load({"a.jpg", "b.jpg"});
  ASSERT_EQ(form.TempFile, "temp.jpg");
  const std::string shown = ReadFile("temp.jpg");
  ASSERT_EQ(::chmod(work_.Path().c_str(), 0555), 0);
  form.NextFile_Click();
  ::chmod(work_.Path().c_str(), 0755);
  EXPECT_EQ(form.WindowTitle, pics_.File("b.jpg") + "  [ 0.1M 300x400] Photo 2 of 2");
  EXPECT_EQ(form.TempFile.rfind(cache_.Path() + "/", 0), 0u);
  EXPECT_EQ(std::tuple(JpegSize(form.TempFile), ReadFile("temp.jpg"), Folder(work_.Path()), Log()),
            std::tuple(std::pair(180, 240), shown, "temp.jpg 320x240", ""));
  EXPECT_EQ(Folder(out_.Path()), "x_001.jpg 320x240, x_002.jpg 180x240");
}

// A small disk that fills up, for the auto-saved pictures and then for the temporary JPEG too.
TEST_F(OutputFaultTest, FullDisk) {
  const std::string small = work_.File("small"), cache = small + "/cache";
  ASSERT_EQ(::mkdir(small.c_str(), 0755), 0);
  if (::geteuid() != 0 || ::mount("tmpfs", small.c_str(), "tmpfs", 0, "size=256k") != 0)
    GTEST_SKIP() << "no small disk to fill: mounting one needs root";
  const std::unique_ptr<const char, void (*)(const char*)> unmount(
      small.c_str(), [](const char* folder) { ::umount2(folder, MNT_DETACH); });
  ::setenv("XDG_CACHE_HOME", cache.c_str(), 1);
  WriteBytes(small + "/x_001.jpg", earlier_);
  WriteBytes(small + "/temp.jpg", earlier_);
  Form1& form = Start(1);
  AutoSaveWith(small, "x");
  ASSERT_TRUE(FillFileSystem(small + "/filler"));
  Load({"a.jpg", "b.jpg", "c.jpg"});
  EXPECT_EQ(std::tuple(form.WindowTitle, Log()),
            std::tuple(pics_.File("a.jpg") + "  [ 0.1M 400x300] Photo 1 of 3",
                       Note(small + "/x_001.jpg", "Disk full")));
  Answer(small + "/x_001.jpg", &Form1::SaveAs_Click);
  EXPECT_EQ(dialogs_.messages, std::vector<std::string>{"Disk full"});
  // The temporary JPEG on the full disk too: the next picture cannot be shown.
  ASSERT_EQ(::chdir(small.c_str()), 0);
  form.PicturePrint(10, 100, "drawn text", 0xFFFFFF, 0);
  const Screen shown = Shown();
  form.NextFile_Click();
  EXPECT_EQ(form.CurrentFileName, pics_.File("b.jpg"));
  ExpectKept(shown);
  EXPECT_EQ(std::tuple(Folder(small), ReadFile("temp.jpg"), ReadFile("x_001.jpg"), Folder(cache)),
            std::tuple("filler, temp.jpg 50x40, x_001.jpg 50x40", earlier_, earlier_, ""));
  // With room again the road goes on.
  ASSERT_EQ(::unlink("filler"), 0);
  Auto(true);
  EXPECT_EQ(form.WindowTitle, pics_.File("c.jpg") + "  [ 0.0M 200x100] Photo 3 of 3");
  EXPECT_EQ(JpegSize("x_003.jpg"), std::make_pair(320, 160));
  ASSERT_EQ(::chdir(work_.Path().c_str()), 0);
}

TEST_F(OutputFaultTest, ReadOnlyOrMissingTargetsAreNeverWrittenOver) {
  const std::string odd = "new\nline.jpg", denied = "Path/File access error";
  Pic(odd, MakeJpeg(120, 90));
  for (const std::string& name : {std::string("x_001.jpg"), odd}) {
    WriteBytes(out_.File(name), earlier_);
    ASSERT_EQ(::chmod(out_.File(name).c_str(), 0444), 0);
  }
  ASSERT_EQ(::mkdir(out_.File("x_003.jpg").c_str(), 0755), 0);
  Form1& form = Start(1);
  // A missing folder is noted, not made.
  AutoSaveWith(out_.File("missing"), "x");
  Load({"a.jpg"});
  EXPECT_EQ(std::tuple(form.WindowTitle, Log()),
            std::tuple(pics_.File("a.jpg") + "  [ 0.1M 400x300]",
                       Note(out_.File("missing/x_001.jpg"), "Path not found")));
  // Read-only files and folders of the pictures' names are passed over with a note.
  AutoSaveWith(out_.Path(), "x");
  Load({"a.jpg", "b.jpg", "c.jpg"});
  EXPECT_EQ(Log(), Note(out_.File("x_001.jpg"), denied));
  form.NextFile_Click();
  form.NextFile_Click();
  EXPECT_EQ(Log(), Note(out_.File("x_003.jpg"), denied));
  // A name with a line break: the note stays on one line.
  AutoSaveWith(out_.Path(), "", true);
  Load({odd});
  EXPECT_EQ(Log(), Note(out_.File("new line.jpg"), denied));
  // A read-only folder keeps what it holds.
  ASSERT_EQ(::chmod(out_.Path().c_str(), 0555), 0);
  AutoSaveWith(out_.Path(), "y");
  Load({"b.jpg"});
  ::chmod(out_.Path().c_str(), 0755);
  EXPECT_EQ(Log(), Note(out_.File("y_001.jpg"), denied));
  Answer(out_.File("x_001.jpg"), &Form1::SaveAs_Click);
  Answer(out_.File("no folder/picture.jpg"), &Form1::SaveAs_Click);
  EXPECT_EQ(dialogs_.messages, (std::vector<std::string>{denied, "Path not found"}));
  EXPECT_EQ(Folder(out_.Path()), odd + " 50x40, x_001.jpg 50x40, x_002.jpg 180x240, x_003.jpg");
  EXPECT_TRUE(ListFolder(out_.File("x_003.jpg")).empty());
  for (const std::string& name : {std::string("x_001.jpg"), odd}) {
    struct stat st {};
    EXPECT_TRUE(ReadFile(out_.File(name)) == earlier_ &&
                ::stat(out_.File(name).c_str(), &st) == 0 && (st.st_mode & 07777) == 0444)
        << name;
  }
}

}  // namespace snapwick::test
