// The window on the desktop: program arguments and dropped files, the picture formats of the
// desktop, sideways camera pictures, a screen of two device pixels to a pixel, the menu entry.

#include <sys/stat.h>

#include <QDropEvent>
#include <QImageReader>
#include <QMimeData>
#include <QPainter>

#include "imaging/Orientation.h"
#include "support/ExifBuilder.h"
#include "ui/UiFixture.h"

namespace snapwick::test {

// Drops files on the window as a file manager does; whether the window took them.
static bool Drop(QWidget* window, const QStringList& paths) {
  QMimeData data;
  QList<QUrl> urls;
  for (const QString& path : paths)
    urls << QUrl::fromLocalFile(path);
  data.setUrls(urls);
  QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QDropEvent drop(QPointF(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(window, &enter);
  if (enter.isAccepted()) QApplication::sendEvent(window, &drop);
  return enter.isAccepted() && drop.isAccepted();
}

TEST_F(Form1Test, ArgumentsAndDropsTakeTheListRoad) {
  ASSERT_EQ(::mkdir(pics_.File("other").c_str(), 0755), 0);
  const QString a = Pic("a.jpg", MakeJpeg(400, 300)).c_str(),
                b = Pic("b.jpg", MakeJpeg(300, 400)).c_str();
  const QString c = Pic("other/c.jpg", MakeJpeg(500, 100)).c_str(),
                other = pics_.File("other").c_str();
  Form1& form = Start();
  // Several of one folder; missing files and folders are passed over.
  EXPECT_TRUE(form.OpenPictures({a + "x", a, other, b}));
  EXPECT_EQ(form.Files.FileList, (std::vector<std::string>{pics_.Path(), "a.jpg", "b.jpg"}));
  EXPECT_EQ(form.windowTitle(), a + "  [ 0.1M 400x300] Photo 1 of 2");
  EXPECT_FALSE(form.OpenPictures({a + "x", other, ""}) || Drop(&form, {other}));
  // One picture, named relative to the current folder.
  ASSERT_EQ(::chdir(pics_.Path().c_str()), 0);
  EXPECT_TRUE(form.OpenPictures({"b.jpg"}));
  EXPECT_EQ(form.windowTitle(), b + "  [ 0.1M 300x400]");
  // Pictures of several folders keep the given order.
  EXPECT_TRUE(Drop(&form, {b, c, a}));
  form.NextFile_Click();
  EXPECT_EQ(form.windowTitle(), c + "  [ 0.1M 500x100] Photo 2 of 3");
  form.NextFile_Click();
  form.PrevFile_Click();
  EXPECT_EQ(form.CurrentFileName, c.toStdString());
  // Dropped pictures get their slide show.
  AutoSaveWith(out_.Path(), "trip", false, true);
  EXPECT_TRUE(Drop(&form, {b, c}));
  EXPECT_EQ(JpegSize(out_.File("trip_001.jpg")).second, form.ViewPixelHeight);
  EXPECT_NE(ReadFile(out_.File("slides.htm")).find("'trip_002.jpg'"), std::string::npos);
}

// PNG with transparency, WebP, TIFF and GIF take the road of JPEG and BMP: red shows red and
// the transparent parts of the PNG white.
TEST_F(Form1Test, OtherFormatsTakeTheWholeRoad) {
  QImage picture(320, 200, QImage::Format_ARGB32);
  picture.fill(Qt::transparent);
  QPainter(&picture).fillRect(0, 50, 160, 100, QColor(200, 30, 30));
  ASSERT_TRUE(picture.save(pics_.File("clear.png").c_str()));
  ASSERT_TRUE(picture.convertToFormat(QImage::Format_RGB32)
                  .save(pics_.File("w.webp").c_str(), nullptr, 95));
  ASSERT_TRUE(picture.convertToFormat(QImage::Format_RGB32).save(pics_.File("t.tiff").c_str()));
  Pic("g.gif", MakeGif(320, 200, [&](int32_t x, int32_t y) {
        return picture.pixelColor(x, y).alpha() == 0 ? Rgb{255, 255, 255} : Rgb{200, 30, 30};
      }));
  Form1& form = Start(1);
  AutoSaveWith(out_.Path(), "f");
  Load({"clear.png", "w.webp", "t.tiff", "g.gif"});
  for (int n = 1; n <= 4; ++n, form.NextFile_Click()) {
    const QImage shown = form.Picture2->PictureImage();
    EXPECT_TRUE(shown.pixelColor(40, 100).red() > 150 && shown.pixelColor(40, 100).green() < 90)
        << n;
    EXPECT_TRUE(n > 1 || shown.pixelColor(300, 20).green() > 230);
  }
  EXPECT_EQ(Folder(out_.Path()),
            "f_001.jpg 320x200, f_002.jpg 320x200, f_003.jpg 320x200, f_004.jpg 320x200");
}

// Pictures as a camera held sideways stores them, with the EXIF orientation that turns them
// upright: a red block at the top left on blue, shown and saved upright.
TEST_F(Form1Test, SidewaysPhotosComeOutUpright) {
  const cDIBSection upright = MakeSurface(96, 64, [](int32_t x, int32_t y) {
    return x < 30 && y < 20 ? Rgb{230, 20, 20} : Rgb{20, 20, 230};
  });
  Form1& form = Start(1);
  for (int32_t orientation = 1; orientation <= 8; ++orientation) {
    cDIBSection stored;
    if (!TurnUpright(upright, orientation == 6 ? 8 : orientation == 8 ? 6 : orientation, stored))
      stored.CreateFrom(upright);
    TiffBuilder tiff(orientation % 2 == 0);
    tiff.AddShort(tiff.AddDirectory(), 0x0112, static_cast<uint16_t>(orientation));
    const auto pixel = [&](int32_t x, int32_t y) { return PixelAt(stored, x, y); };
    const std::string name = std::to_string(orientation) + ".jpg";
    Pic(name, ExifJpeg(tiff.Build(), false, MakeJpeg(stored.Width(), stored.Height(), pixel)));
    Load({name});
    EXPECT_EQ(form.WindowTitle, pics_.File(name) + "  [ 0.0M 96x64]");
    const QImage shown = form.Picture2->PictureImage();
    EXPECT_EQ(shown.size(), QSize(320, 213));
    EXPECT_TRUE(shown.pixelColor(15, 15).red() > 180 && shown.pixelColor(15, 15).blue() < 80)
        << orientation;
    for (const QPoint& at : {QPoint(300, 15), QPoint(15, 200), QPoint(300, 200)})
      EXPECT_GT(shown.pixelColor(at).blue(), 180) << orientation;
  }
}

// Runs as its own CTest entry with QT_SCALE_FACTOR=2 (see tests/CMakeLists.txt): the box keeps
// its pixel size while the date is drawn at the device's resolution, so that 2 x 2 blocks of
// device pixels where white text meets the picture are many on screen and none in the picture
// enlarged from its own pixels.
TEST_F(Form1Test, HiDpiKeepsPixelSizesAndDrawsSharpText) {
  Form1& form = Start(2);
  if (form.devicePixelRatioF() != 2) GTEST_SKIP() << "needs a device pixel ratio of 2";
  form.Picture2->SetTextAntialiasing(false);
  AutoSaveWith(out_.Path(), "hd");
  Pic("a.jpg", MakeJpeg(800, 600, Solid({20, 60, 140})));
  Load({"a.jpg"});
  EXPECT_EQ(Folder(out_.Path()), "hd_001.jpg 640x480");
  const auto mixed = [](const QImage& device) {
    int blocks = 0;
    for (int i = 0; i < 200 * 20; ++i) {
      const int white = CountPixels(device, QRect(i % 200 * 2, i / 200 * 2, 2, 2),
                                    [](QColor c) { return c == Qt::white; });
      blocks += white > 0 && white < 4;
    }
    return blocks;
  };
  const QImage shown = form.Picture2->grab().toImage();
  EXPECT_EQ(shown.size(), QSize(1280, 960));
  EXPECT_EQ(mixed(form.Picture2->Image().scaled(1280, 960)), 0);
  EXPECT_GT(mixed(shown), 20);
}

// The file manager offers the program for every type its menu entry lists: each must be readable.
TEST(DesktopEntry, EveryListedTypeIsReadable) {
  QFile file(SNAPWICK_DESKTOP_ENTRY);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QString entry = file.readAll();
  const QStringList types =
      entry.section("\nMimeType=", 1).section('\n', 0, 0).split(';', Qt::SkipEmptyParts);
  EXPECT_TRUE(types.contains("image/jpeg") && types.contains("image/bmp")) << entry.toStdString();
  for (const QString& type : types)
    EXPECT_TRUE(QImageReader::supportedMimeTypes().contains(type.toUtf8())) << type.toStdString();
}

}  // namespace snapwick::test
