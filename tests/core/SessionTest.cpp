// The road of the pictures through a session without any window: loading, stepping, fitting,
// titles, the temporary JPEG, automatic saves and their names, the slide show, the formats of the
// desktop and sideways camera pictures, the stored settings, and a long run.

#include <QImageReader>
#include <QPainter>
#include <map>

#include "base/Error.h"
#include "base/Settings.h"
#include "core/SessionFixture.h"
#include "imaging/Orientation.h"
#include "support/ExifBuilder.h"

namespace snapwick::test {

// Five pictures in a 640 x 480 box: "a.jpg" to "e.jpg".
struct FivePictures : SessionTest {
  void SetUp() override {
    SessionTest::SetUp();
    const int sizes[][2] = {{800, 600}, {600, 800}, {1200, 400}, {400, 300}, {1000, 1000}};
    for (int i = 0; i < 5; ++i)
      Pic(std::string(1, 'a' + i) + ".jpg",
          MakeJpeg(sizes[i][0], sizes[i][1], Solid({30, 60, 90})));
    Start();
  }
  void LoadAll() { Load({"a.jpg", "b.jpg", "c.jpg", "d.jpg", "e.jpg"}); }
};

// With "Auto Save" and a slide show every picture is saved at its fitted size with the date on
// it, and the show names exactly the saved pictures.
TEST_F(FivePictures, AreFittedDatedSavedAndNamedInTheSlideShow) {
  AutoSaveWith(out_.Path(), "trip", false, true);
  LoadAll();
  Auto();
  EXPECT_EQ(Folder(out_.Path()),
            "slides.htm, slideshow.js, tripSlideShow.htm, trip_001.jpg 640x480, trip_002.jpg "
            "360x480, trip_003.jpg 640x213, trip_004.jpg 640x480, trip_005.jpg 480x480");
  EXPECT_NE(ReadFile(out_.File("slides.htm"))
                .find("(\r\n\t\t'trip_001.jpg'\r\n\t\t,'trip_002.jpg'\r\n\t\t,'trip_003.jpg'"
                      "\r\n\t\t,'trip_004.jpg'\r\n\t\t,'trip_005.jpg'\r\n\t)"),
            std::string::npos);
  EXPECT_GT(CountPixels(QImage(out_.File("trip_005.jpg").c_str()), QRect(0, 0, 100, 12),
                        [](QColor c) { return c.lightness() > 200; }),
            30);
}

// Past the end the last picture stays, and there is nothing left to fit: the drawn date stays.
TEST_F(FivePictures, PastTheEndTheLastPictureStaysAndCannotBeFitted) {
  LoadAll();
  Auto();
  const Screen last = Shown();
  EXPECT_FALSE(Next());
  ExpectKept(last);
  session_->SetDate(false);
  const QImage dated = session_->Picture2().Image();
  EXPECT_THROW(session_->FitPicture(session_->PictureRatio(), road_), SnapError);
  EXPECT_EQ(session_->Picture2().Image(), dated);
}

// Stepping back shows the picture before; a new box size refits only when asked.
TEST_F(FivePictures, StepBackAndRefitToANewBoxSize) {
  LoadAll();
  Auto();
  for (int back = 0; back < 3; ++back)
    EXPECT_TRUE(session_->Files().StepBack() && session_->ShowPicture(road_, {}, Travel::Back));
  EXPECT_EQ(session_->WindowTitle(), pics_.File("b.jpg") + "  [ 0.5M 600x800] Photo 2 of 5");
  session_->SetView(160, 120);
  EXPECT_EQ(session_->Picture2().PictureImage().size(), QSize(360, 480));
  session_->FitPicture(session_->PictureRatio(), road_);
  EXPECT_EQ(session_->Picture2().PictureImage().size(), QSize(90, 120));
}

// A single picture is read again on every step, always has more to show, and is saved as the
// first.
TEST_F(SessionTest, ALonePictureIsReadAgainOnEveryStep) {
  Pic("c.jpg", MakeJpeg(1200, 400));
  Start(160, 120);
  AutoSaveWith(out_.Path(), "one");
  Load({"c.jpg"});
  Next();
  Pic("c.jpg", MakeJpeg(320, 240));
  Next();
  EXPECT_EQ(std::tuple(session_->Files().HasMore(), session_->WindowTitle(),
                       JpegSize(out_.File("one_001.jpg"))),
            std::tuple(true, pics_.File("c.jpg") + "  [ 0.1M 320x240]", std::pair(160, 120)));
}

// The box shows its size in blue at the top left.
TEST_F(SessionTest, TheBoxShowsItsSize) {
  Start();
  EXPECT_EQ(session_->Picture2().Image().size(), QSize(640, 480));
  EXPECT_GT(CountPixels(session_->Picture2().Image(), QRect(0, 0, 120, 20),
                        [](QColor c) { return c.blue() > 180 && c.red() < 80; }),
            10);
}

// The file manager offers the program for every type its menu entry lists: each is readable.
TEST(DesktopEntry, EveryListedTypeIsReadable) {
  const QString entry = QString::fromStdString(ReadFile(SNAPWICK_DESKTOP_ENTRY));
  const QStringList types =
      entry.section("\nMimeType=", 1).section('\n', 0, 0).split(';', Qt::SkipEmptyParts);
  EXPECT_TRUE(types.contains("image/jpeg") && types.contains("image/bmp")) << entry.toStdString();
  for (const QString& type : types)
    EXPECT_TRUE(QImageReader::supportedMimeTypes().contains(type.toUtf8())) << type.toStdString();
}

// PNG with transparency, WebP, TIFF, GIF, and JPEGs as a camera held sideways stores them, with
// the EXIF orientation that turns them upright, all take the road of JPEG and BMP: a red block at
// the top left on blue is shown there and saved at the upright size; the PNG's clear parts show
// white.
TEST_F(SessionTest, EachFormatAndOrientationIsShownUprightAndSaved) {
  const Pattern block = [](int32_t x, int32_t y) {
    return x < 30 && y < 20 ? Rgb{230, 20, 20} : Rgb{20, 20, 230};
  };
  const cDIBSection upright = MakeSurface(96, 64, block);
  QImage clear(96, 64, QImage::Format_ARGB32);
  clear.fill(Qt::transparent);
  QPainter(&clear).fillRect(0, 0, 30, 20, QColor(230, 20, 20));
  ASSERT_TRUE(clear.save(pics_.File("clear.png").c_str()) &&
              ImageFromSurface(upright).save(pics_.File("w.webp").c_str(), nullptr, 95) &&
              ImageFromSurface(upright).save(pics_.File("t.tiff").c_str()));
  Pic("g.gif", MakeGif(96, 64, block));
  std::vector<std::string> names = {"clear.png", "w.webp", "t.tiff", "g.gif"};
  for (int32_t orientation = 1; orientation <= 8; ++orientation) {
    cDIBSection stored;
    if (!TurnUpright(upright, orientation == 6 ? 8 : orientation == 8 ? 6 : orientation, stored))
      stored.CreateFrom(upright);
    TiffBuilder tiff(orientation % 2 == 0);
    tiff.AddShort(tiff.AddDirectory(), 0x0112, static_cast<uint16_t>(orientation));
    const auto pixel = [&](int32_t x, int32_t y) { return PixelAt(stored, x, y); };
    names.push_back(std::to_string(orientation) + ".jpg");
    Pic(names.back(),
        ExifJpeg(tiff.Build(), false, MakeJpeg(stored.Width(), stored.Height(), pixel)));
  }
  Start(320, 240);
  AutoSaveWith(out_.Path(), "f");
  Load(names);
  std::string saved;
  for (size_t n = 0; n < names.size(); ++n, Next()) {
    const QImage shown = session_->Picture2().PictureImage();
    const auto red = [&](int x, int y) {
      return qRed(shown.pixel(x, y)) > qBlue(shown.pixel(x, y)) + 99;
    };
    EXPECT_TRUE(shown.size() == QSize(320, 213) && red(15, 15) && !red(300, 15) && !red(15, 200) &&
                !red(300, 200) && (n > 0 || shown.pixelColor(300, 200).green() > 230))
        << names[n];
    saved += QString::asprintf("%sf_%03zu.jpg 320x213", n ? ", " : "", n + 1).toStdString();
  }
  EXPECT_EQ(Folder(out_.Path()), saved);
}

// A slide show whose interval cannot be written shows nothing and says so; its files stay as far
// as they got.
TEST_F(SessionTest, ASlideShowThatCannotBeWrittenStopsTheLoad) {
  Pic("a.jpg", MakeJpeg(64, 48));
  Start();
  AutoSaveWith(out_.Path(), "x", false, true, "soon");
  Load({"a.jpg", "a.jpg"});
  EXPECT_EQ(std::tuple(session_->WindowTitle(), Folder(out_.Path())),
            std::tuple("", "slides.htm, slideshow.js, xSlideShow.htm"));
  EXPECT_TRUE(Log().starts_with("Slide show not written: ")) << Log();
}

// Automatic saves keeping the pictures' names never take the place of a source picture: not in the
// pictures' own folder, not through a link, not another picture of the list; other formats get
// ".jpg" names, and pictures of several folders with one name are numbered (first, while the log
// line is empty). Each row: the pictures made (a name ending in "@" is a link to the next picture
// made), the folder saved into, what it then holds and the log.
TEST_F(SessionTest, AutoSaveNeverWritesOverTheOriginals) {
  struct Row {
    std::vector<std::string> made, opened;
    std::string into, holds, log;
  };
  // clang-format off
  const Row rows[] = {
      {{"x/IMG_1.JPG", "y/IMG_1.JPG", "y/IMG_1.bmp"}, {"x/IMG_1.JPG", "y/IMG_1.JPG", "y/IMG_1.bmp"},
       "o", "IMG_1 (2).JPG 160x120, IMG_1.JPG 160x120, IMG_1.jpg 160x120", ""},
      {{"p/c.bmp", "p/a.jpg"}, {"p/c.bmp", "p/a.jpg"}, "p", "a.jpg 64x48, c.bmp, c.jpg 160x120",
       "Not saved: p/a.jpg is the original"},
      {{"o/a.jpg@", "p/a.jpg"}, {"p/a.jpg"}, "o", "a.jpg 64x48",
       "Not saved: o/a.jpg is the original"},
      {{"p/a.bmp", "p/a.jpg"}, {"p/a.bmp", "p/a.jpg"}, "p", "a (2).jpg 160x120, a.bmp, a.jpg 64x48",
       "Not saved: p/a.jpg is another picture of the list"}};
  // clang-format on
  Start(160, 120);
  for (const Row& row : rows) {
    TempDir root;
    std::map<std::string, std::string> originals;
    for (size_t i = 0; i < row.made.size(); ++i) {
      const std::string name = row.made[i], path = root.File(name.substr(0, name.find('@')));
      QDir().mkpath(QFileInfo(QString::fromStdString(path)).path());
      if (name.back() == '@') {
        QFile::link(QString::fromStdString(root.File(row.made[i + 1])), path.c_str());
      } else {
        WriteBytes(path, name.ends_with(".bmp") ? MakeBmp(64, 48) : MakeJpeg(64, 48));
        originals[path] = ReadFile(path);
      }
    }
    std::vector<std::string> opened;
    for (const std::string& name : row.opened)
      opened.push_back(root.File(name));
    QDir().mkpath(root.File(row.into).c_str());
    AutoSaveWith(root.File(row.into), "", true);
    Open(opened);
    if (opened.size() > 1) Auto();
    EXPECT_EQ(Folder(root.File(row.into)), row.holds) << row.into;
    EXPECT_EQ(Log(), row.log.empty() ? "" : "Not saved: " + root.Path() + "/" + row.log.substr(11));
    for (const auto& [path, bytes] : originals)
      EXPECT_TRUE(ReadFile(path) == bytes) << path;
    // The slide show names the files that are there.
    for (int32_t n = 1; n <= int32_t(opened.size()); ++n)
      EXPECT_NE(row.holds.find(session_->GetImageName("", n) + " "), std::string::npos) << n;
  }
}

// The temporary JPEG never takes the place of a file it did not make: a "temp.jpg" already in the
// working folder (the user's, or a picture opened) sends it to a file of the process's own in the
// cache folder, and so does a working folder that turns read-only during the run. The session
// removes the temporary JPEGs it wrote, and only those, when it ends.
TEST_F(SessionTest, TheTemporaryJpegNeverReplacesAFileItDidNotMake) {
  ScopedFilePermissionsApply permissions;
  const std::string users = MakeJpeg(64, 48);
  WriteBytes(work_.File("temp.jpg"), users);
  Pic("a.jpg", MakeJpeg(400, 300));
  Pic("b.jpg", MakeJpeg(300, 400));
  Start(320, 240);
  const std::string own = session_->TempFile();
  ASSERT_TRUE(own.starts_with(cache_.Path() + "/") &&
              own.ends_with("/temp-" + std::to_string(::getpid()) + ".jpg"))
      << own;
  Open({pics_.File("a.jpg"), work_.File("temp.jpg")});
  Next();
  EXPECT_TRUE(ReadFile(work_.File("temp.jpg")) == users &&
              session_->WindowTitle().starts_with(work_.File("temp.jpg") + "  [ 0.0M 64x48]"))
      << session_->WindowTitle();
  EXPECT_EQ(JpegSize(own), std::pair(320, 240));
  session_.reset();
  EXPECT_EQ(std::tuple(Folder(work_.Path()), ::access(own.c_str(), F_OK)),
            std::tuple("temp.jpg 64x48", -1));

  ASSERT_EQ(::unlink(work_.File("temp.jpg").c_str()), 0);
  Start(320, 240);
  Load({"a.jpg", "b.jpg"});
  ASSERT_EQ(session_->TempFile(), "temp.jpg");
  ASSERT_EQ(::chmod(work_.Path().c_str(), 0555), 0);
  Next();
  ::chmod(work_.Path().c_str(), 0755);
  EXPECT_EQ(std::tuple(session_->WindowTitle(), session_->TempFile(), Log(),
                       JpegSize(session_->TempFile()), Folder(work_.Path())),
            std::tuple(pics_.File("b.jpg") + "  [ 0.1M 300x400] Photo 2 of 2", own, "",
                       std::pair(180, 240), "temp.jpg 320x240"));
  session_.reset();
  EXPECT_EQ(std::tuple(Folder(work_.Path()), ::access(own.c_str(), F_OK)), std::tuple("", -1));
}

// A stored quality is read where sound, else the default of 90 holds; a broken stored font
// leaves the default font. A chosen font is stored and restored.
TEST_F(SessionTest, StoredQualityAndFontAreRestoredWhereSound) {
  const std::tuple<const char*, const char*, int> rows[] = {
      {"75", "Arial:big:True:False", 75}, {"abc", "::::", 90}, {"500", "Arial:12", 500}};
  for (const auto& [quality, font, read] : rows) {
    SettingsStore::SaveSetting("Quality", quality);
    SettingsStore::SaveSetting("Font", font);
    EXPECT_EQ(Start().Quality(), read) << quality;
    EXPECT_EQ(session_->Picture2().Font(), Canvas().Font()) << font;
  }
  QFont chosen("DejaVu Serif", 10, -1, true);
  chosen.setPointSizeF(10.5);
  session_->SetLabelFont(chosen);
  const QFont font = Start().Picture2().Font();
  EXPECT_EQ(std::tuple(font.family(), font.pointSizeF(), font.bold(), font.italic()),
            std::tuple(QString("DejaVu Serif"), 10.5, false, true));
}

// A long run: 300 pictures of mixed sizes up to 12 megapixels, shown one after another with "Auto
// Save" and the date on. Every picture is saved under its number at its fitted size, and the
// resident memory settles: after picture 300 it is within 10 % of its level after picture 20
// (under AddressSanitizer both include the quarantine of freed memory, which fills within the
// first pictures and then stays full).
TEST_F(SessionTest, SoakThreeHundredPictures) {
  // A handful of distinct pictures under 300 names, as hard links: name, size, fitted size.
  const std::tuple<std::string, int, int, const char*> sources[] = {
      {"camera.jpg", 4000, 3000, "640x480"}, {"small.jpg", 640, 480, "640x480"},
      {"wide.jpg", 3000, 2000, "640x427"},   {"portrait.jpg", 2000, 3000, "320x480"},
      {"scan.bmp", 1200, 900, "640x480"},    {"panorama.jpg", 3000, 1000, "640x213"}};
  for (const auto& [name, width, height, fitted] : sources)
    WriteBytes(work_.File(name), name.ends_with("bmp") ? MakeBmp(width, height, PhotoLike)
                                                       : MakeJpeg(width, height, PhotoLike));
  std::vector<std::string> names;
  std::string expected;
  for (int n = 1; n <= 300; ++n) {
    const auto& [name, width, height, fitted] = sources[(n - 1) % 6];
    names.push_back(std::to_string(1000 + n) + name);
    ASSERT_EQ(::link(work_.File(name).c_str(), pics_.File(names.back()).c_str()), 0);
    expected += QString::asprintf("%ssoak_%03d.jpg %s", n > 1 ? ", " : "", n, fitted).toStdString();
  }
  Start();
  AutoSaveWith(out_.Path(), "soak");
  int64_t resident[2] = {-1, -1};  // after pictures 20 and 300
  Load(names);
  while (session_->Files().HasMore()) {
    Next();
    const int32_t next = session_->Files().CurrentFile;
    if (next == 21 || next == 301) resident[next / 300] = ProcStatusKb("VmRSS");
  }
  EXPECT_EQ(std::tuple(Folder(out_.Path()), Log()), std::tuple(expected, ""));
  const double change = 100.0 * (resident[1] - resident[0]) / resident[0];
  std::printf(
      "[   SOAK   ] resident memory after picture 20: %ld kB, after 300: %ld kB (%+.1f %%)\n",
      resident[0], resident[1], change);
  EXPECT_TRUE(resident[0] > 0 && std::abs(change) <= 10.0) << "resident memory did not settle";
}

}  // namespace snapwick::test
