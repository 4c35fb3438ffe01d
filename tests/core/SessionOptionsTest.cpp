// What the session does beyond the road itself: the capture date in place of the file date, the
// picture data kept in saved files, and texts drawn again at their place.
#include <fcntl.h>
#include <sys/stat.h>

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

#include "core/SessionFixture.h"
#include "support/ExifBuilder.h"

namespace snapwick::test {
namespace {

// A session with a 160 x 120 box; the pictures are made in its working folder.
struct SessionOptionsTest : SessionTest {
  void SetUp() override {
    SessionTest::SetUp();
    Start(160, 120);
  }
  // Shows one picture with the switches; whether it was shown.
  bool Show(const std::string& path, RoadSwitches switches = {}) {
    session_->Files().SetFiles(path);
    return session_->ShowPicture(switches, nullptr);
  }
  // A JPEG of a camera "Foto", turned (orientation 6), with the dates given and a thumbnail.
  std::string CameraJpeg(const std::string& name, const std::string& original) {
    TiffBuilder tiff(true);
    const int ifd0 = tiff.AddDirectory(), exif = tiff.AddDirectory(), ifd1 = tiff.AddDirectory();
    tiff.AddAscii(ifd0, 0x010F, "Foto");
    tiff.AddShort(ifd0, 0x0112, 6);
    tiff.AddExifPointer(ifd0, exif);
    if (!original.empty()) tiff.AddAscii(exif, 0x9003, original);
    tiff.AddShort(ifd1, 0x0103, 6);
    const std::string path = work_.File(name);
    WriteBytes(path, ExifJpeg(tiff.Build(), false, MakeJpeg(64, 48)));
    return path;
  }
};

TEST_F(SessionOptionsTest, UseCaptureDateDrawsWhenThePictureWasTakenElseTheFileDate) {
  ScopedTimeZone zone("UTC0");
  const timespec written[2] = {{1088856309, 0}, {1088856309, 0}};  // 2004-07-03 12:05:09 UTC
  const std::string fileDate = "Sat Jul-03, 2004 12:05:09";
  // The EXIF capture date of the picture ("" none), whether to use it, and the date shown.
  const std::tuple<std::string, bool, std::string> rows[] = {
      {"2001:02:03 04:05:06", true, "Sat Feb-03, 2001 04:05:06"},
      {"2001:02:03 04:05:06", false, fileDate},
      {"", true, fileDate},
      {"0000:00:00 00:00:00", true, fileDate}};
  for (const auto& [original, use, shown] : rows) {
    const std::string path = CameraJpeg("camera.jpg", original);
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), written, 0), 0);
    ASSERT_TRUE(Show(path, {.useCaptureDate = use}));
    EXPECT_EQ(session_->FileDateText(), shown) << original << " " << use;
  }
}

// exiv2's keys and values of a file's EXIF tags ("Exif.Image.Make Foto"), and its warnings.
std::pair<std::string, std::string> Exiv2Tags(const std::string& file) {
  QProcess exiv2;
  exiv2.start("exiv2", {"-u", "-PEkv", QString::fromStdString(file)});
  exiv2.waitForFinished(30000);
  // Where the Exif directory lies in the block is the writer's own affair.
  const QString tags = QString(exiv2.readAllStandardOutput().simplified())
                           .remove(QRegularExpression("Exif.Image.ExifTag \\d+ "));
  return {tags.toStdString(), exiv2.readAllStandardError().toStdString()};
}

TEST_F(SessionOptionsTest, SavedFilesKeepThePictureDataTrueOfTheSavedPictureOnlyWhenAsked) {
  if (QStandardPaths::findExecutable("exiv2").isEmpty())
    GTEST_SKIP() << "exiv2 is not installed (Debian package exiv2)";
  const std::string camera = CameraJpeg("camera.jpg", "2001:02:03 04:05:06");
  std::string damaged = ReadFile(camera);
  damaged[damaged.find("II*") + 4] = '\x7F';  // IFD0 far beyond the block
  WriteBytes(work_.File("damaged.jpg"), damaged);
  const RoadSwitches plain{.autoDate = false};
  // The source, whether to keep its data, exiv2's view of the saved file, and the log line.
  const std::tuple<std::string, bool, std::string, std::string> rows[] = {
      {"camera.jpg", false, "", ""},
      {"camera.jpg", true,
       "Exif.Image.Make Foto Exif.Image.Orientation 1 "
       "Exif.Photo.DateTimeOriginal 2001:02:03 04:05:06 Exif.Photo.PixelXDimension 90 "
       "Exif.Photo.PixelYDimension 120",
       ""},
      {"damaged.jpg", true, "",
       "Picture data not kept: " + work_.File("damaged.jpg") +
           ": Invalid picture: damaged EXIF block: IFD0 lies outside the block"}};
  for (const auto& [source, keep, tags, log] : rows) {
    session_->MyLog("");
    session_->SetKeepPictureData(keep);
    ASSERT_TRUE(Show(work_.File(source), plain));
    const std::string saved = work_.File("saved.jpg");
    session_->SaveShownPicture(saved);
    const auto [got, warnings] = Exiv2Tags(saved);
    EXPECT_EQ(got, tags) << source << " " << keep;
    EXPECT_EQ(warnings, "") << source;
    EXPECT_EQ(session_->Log(), log);
    // The upright picture, fitted (a damaged block tells no orientation).
    EXPECT_EQ(JpegSize(saved), source == "damaged.jpg" ? std::pair(160, 120) : std::pair(90, 120));
  }
}

TEST_F(SessionOptionsTest, ADateOrLabelDrawnTwiceSavesThePixelsOfOnce) {
  const std::string picture = work_.File("p.jpg");
  WriteBytes(picture, MakeJpeg(64, 48, PhotoLike));
  const RoadSwitches plain{.autoDate = false};
  // The file saved after drawing n times (the date and a label), and after a save in between.
  const auto saved = [&](int times, bool saveBetween) {
    Show(picture, plain);
    for (int i = 0; i < times; ++i) {
      session_->SetDate(false);
      session_->DrawLabel("Harbour");
      if (saveBetween) session_->SaveShownPicture(work_.File("between.jpg"));
    }
    session_->SaveShownPicture(work_.File("out.jpg"));
    return ReadFile(work_.File("out.jpg"));
  };
  const std::string once = saved(1, false);
  EXPECT_TRUE(saved(2, false) == once);
  EXPECT_TRUE(saved(3, true) == saved(1, true));
  EXPECT_FALSE(saved(0, false) == once);
}

}  // namespace
}  // namespace snapwick::test
