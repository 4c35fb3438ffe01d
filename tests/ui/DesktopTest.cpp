#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QCheckBox>
#include <QDropEvent>
#include <QImage>
#include <QLabel>
#include <QMimeData>
#include <QUrl>

#include "labels/Form2.h"
#include "metadata/Form5.h"

#include "imaging/Orientation.h"
#include "platform/PictureBox.h"
#include "support/ExifBuilder.h"
#include "support/Fixtures.h"
#include "ui/UiTestSupport.h"

namespace snapwick::test {
namespace {

class DesktopTest : public Form1Test {
 protected:
  void SetUp() override {
    Form1Test::SetUp();
    ASSERT_EQ(::mkdir(pics_.File("other").c_str(), 0755), 0);
    WriteBytes(pics_.File("a.jpg"), MakeJpeg(400, 300));
    WriteBytes(pics_.File("b.jpg"), MakeJpeg(300, 400));
    WriteBytes(pics_.File("other/c.jpg"), MakeJpeg(500, 100));
  }

  static QString Q(const std::string& path) { return QString::fromStdString(path); }

  // Drops files on the window as a file manager does.
  bool Drop(const QStringList& paths) {
    QMimeData data;
    QList<QUrl> urls;
    for (const QString& path : paths)
      urls << QUrl::fromLocalFile(path);
    data.setUrls(urls);
    QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(form_.get(), &enter);
    if (!enter.isAccepted()) return false;
    QDropEvent drop(QPointF(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(form_.get(), &drop);
    return drop.isAccepted();
  }

  TempDir pics_;
};

TEST_F(DesktopTest, PicturesOfOneFolderFromTheCommandLineBecomeAList) {
  Form1& form = Start();
  EXPECT_TRUE(form.OpenPictures({Q(pics_.File("missing.jpg")), Q(pics_.File("a.jpg")),
                                 Q(pics_.File("other")), Q(pics_.File("b.jpg"))}));
  EXPECT_EQ(form.Files.FileList, (std::vector<std::string>{pics_.Path(), "a.jpg", "b.jpg"}));
  EXPECT_EQ(form.CurrentFileName, pics_.File("a.jpg"));
  EXPECT_EQ(form.WindowTitle, pics_.File("a.jpg") + "  [ 0.1M 400x300] Photo 1 of 2");
}

TEST_F(DesktopTest, OnePictureIsOpenedAsASinglePicture) {
  Form1& form = Start();
  ASSERT_EQ(::chdir(pics_.Path().c_str()), 0);
  EXPECT_TRUE(form.OpenPictures({"b.jpg"}));  // a relative name counts from the current folder
  EXPECT_EQ(form.Files.FileCount, 1);
  EXPECT_EQ(form.CurrentFileName, pics_.File("b.jpg"));
  EXPECT_EQ(form.WindowTitle, pics_.File("b.jpg") + "  [ 0.1M 300x400]");
}

TEST_F(DesktopTest, PicturesOfSeveralFoldersKeepTheGivenOrder) {
  Form1& form = Start();
  EXPECT_TRUE(form.OpenPictures(
      {Q(pics_.File("b.jpg")), Q(pics_.File("other/c.jpg")), Q(pics_.File("a.jpg"))}));
  EXPECT_EQ(form.CurrentFileName, pics_.File("b.jpg"));
  form.NextFile_Click();
  EXPECT_EQ(form.CurrentFileName, pics_.File("other/c.jpg"));
  EXPECT_EQ(form.WindowTitle, pics_.File("other/c.jpg") + "  [ 0.1M 500x100] Photo 2 of 3");
  form.NextFile_Click();
  EXPECT_EQ(form.CurrentFileName, pics_.File("a.jpg"));
  form.PrevFile_Click();
  EXPECT_EQ(form.CurrentFileName, pics_.File("other/c.jpg"));
}

TEST_F(DesktopTest, NothingUsableChangesNothing) {
  Form1& form = Start();
  form.OpenPictures({Q(pics_.File("a.jpg"))});
  const std::string title = form.WindowTitle;
  EXPECT_FALSE(form.OpenPictures({Q(pics_.File("gone.jpg")), Q(pics_.File("other")), ""}));
  EXPECT_EQ(form.WindowTitle, title);
  EXPECT_EQ(form.CurrentFileName, pics_.File("a.jpg"));
}

TEST_F(DesktopTest, DroppedFilesOpenLikeChosenOnes) {
  Form1& form = Start();
  EXPECT_TRUE(Drop({Q(pics_.File("a.jpg")), Q(pics_.File("b.jpg"))}));
  EXPECT_EQ(form.Files.FileList, (std::vector<std::string>{pics_.Path(), "a.jpg", "b.jpg"}));
  EXPECT_EQ(form.WindowTitle, pics_.File("a.jpg") + "  [ 0.1M 400x300] Photo 1 of 2");
  EXPECT_FALSE(Drop({Q(pics_.File("other"))}));
  EXPECT_EQ(form.CurrentFileName, pics_.File("a.jpg"));
}

TEST_F(DesktopTest, DroppedPicturesGetTheirSlideShowWhenDue) {
  TempDir out;
  Form1& form = Start();
  form.Text1 = out.Path() + "/trip";
  form.FilePath = out.Path() + "/";
  form.FilePreFix = "trip";
  form.SetChecked("AutoSave", true);
  form.form2()->GenerateSlideShow->setChecked(true);
  EXPECT_TRUE(Drop({Q(pics_.File("b.jpg")), Q(pics_.File("other/c.jpg"))}));
  EXPECT_NE(ReadFile(out.File("slides.htm")).find("'trip_002.jpg'"), std::string::npos);
  EXPECT_EQ(JpegSize(out.File("trip_001.jpg")).second, form.ViewPixelHeight);
}

// PNG (with transparency), GIF, TIFF and WebP pictures take the same road as JPEG and BMP.
TEST_F(DesktopTest, OtherFormatsThroughTheWholeRoad) {
  TempDir out;
  QImage picture(320, 200, QImage::Format_ARGB32);
  picture.fill(qRgba(0, 0, 0, 0));
  for (int y = 50; y < 150; ++y) {
    for (int x = 0; x < 160; ++x)
      picture.setPixel(x, y, qRgba(200, 30, 30, 255));
  }
  ASSERT_TRUE(picture.save(Q(pics_.File("clear.png")), "PNG"));
  ASSERT_TRUE(
      picture.convertToFormat(QImage::Format_RGB32).save(Q(pics_.File("w.webp")), "WEBP", 95));
  ASSERT_TRUE(picture.convertToFormat(QImage::Format_RGB32).save(Q(pics_.File("t.tiff")), "TIFF"));
  WriteBytes(pics_.File("g.gif"), MakeGif(320, 200, [&](int32_t x, int32_t y) {
               const QColor c = QColor::fromRgba(picture.pixel(x, y));
               return c.alpha() == 0
                          ? Rgb{255, 255, 255}
                          : Rgb{static_cast<uint8_t>(c.red()), static_cast<uint8_t>(c.green()),
                                static_cast<uint8_t>(c.blue())};
             }));

  Form1& form = Start();
  FixSize(1);  // 320x240
  form.Text1 = out.Path() + "/f";
  form.FilePath = out.Path() + "/";
  form.SetChecked("AutoSave", true);
  form.form5()->PictureDataItem[1]->setChecked(true);
  dialogs_.openAnswers.push_back(
      Selection(pics_.Path(), {"clear.png", "w.webp", "t.tiff", "g.gif"}));
  form.Load_Click();
  for (int n = 1; n <= 4; ++n) {
    SCOPED_TRACE(n);
    EXPECT_EQ(form.PixelWidth, 320);
    EXPECT_EQ(form.PixelHeight, 200);
    EXPECT_EQ(form.PictureString, "");
    EXPECT_EQ(JpegSize(out.File("f_00" + std::to_string(n) + ".jpg")), std::make_pair(320, 200));
    // The red half shows red; the transparent parts of the PNG show white.
    const QImage shown = form.Picture2->PictureImage();
    EXPECT_GT(QColor(shown.pixel(40, 100)).red(), 150);
    EXPECT_LT(QColor(shown.pixel(40, 100)).green(), 90);
    if (n == 1) {
      EXPECT_GT(QColor(shown.pixel(300, 20)).green(), 230);
    }
    form.IsBlack();
    EXPECT_TRUE(form.LogMessage->text().startsWith("Non Black Picture  "));
    form.NextFile_Click();
  }
}

// A picture stored as a camera held sideways, with its EXIF orientation: red block at the upright
// picture's top left, on blue.
std::string SidewaysJpeg(int32_t orientation) {
  const auto upright = [](int32_t x, int32_t y) {
    return x < 30 && y < 20 ? Rgb{230, 20, 20} : Rgb{20, 20, 230};
  };
  const cDIBSection uprightSurface = MakeSurface(96, 64, upright);
  // The stored picture is the one that the orientation turns upright again.
  const int32_t inverse = orientation == 6 ? 8 : orientation == 8 ? 6 : orientation;
  cDIBSection stored;
  if (!TurnUpright(uprightSurface, inverse, stored)) stored.CreateFrom(uprightSurface);
  const std::string body = MakeJpeg(
      stored.Width(), stored.Height(), [&](int32_t x, int32_t y) { return PixelAt(stored, x, y); },
      95);
  TiffBuilder tiff(orientation % 2 == 0);
  const int ifd0 = tiff.AddDirectory();
  tiff.AddAscii(ifd0, 0x010F, "Foto");
  tiff.AddShort(ifd0, 0x0112, static_cast<uint16_t>(orientation));
  return ExifJpeg(tiff.Build(), false, body);
}

TEST_F(DesktopTest, SidewaysPhotosComeOutUpright) {
  Form1& form = Start();
  FixSize(1);
  form.form5()->PictureDataItem[3]->setChecked(true);  // Orientation
  for (int32_t orientation = 1; orientation <= 8; ++orientation) {
    SCOPED_TRACE(orientation);
    const std::string file = pics_.File("o" + std::to_string(orientation) + ".jpg");
    WriteBytes(file, SidewaysJpeg(orientation));
    ASSERT_TRUE(form.OpenPictures({Q(file)}));
    EXPECT_EQ(form.WindowTitle, file + "  [ 0.0M 96x64]");
    EXPECT_EQ(form.PictureString, " Orientation : " + std::to_string(orientation));
    const cDIBSection& loaded = form.Picture1.Surface();
    EXPECT_GT(PixelAt(loaded, 5, 5).r, 180);
    EXPECT_LT(PixelAt(loaded, 5, 5).b, 80);
    EXPECT_GT(PixelAt(loaded, 90, 5).b, 180);
    EXPECT_GT(PixelAt(loaded, 5, 58).b, 180);
    EXPECT_GT(PixelAt(loaded, 90, 58).b, 180);
    // Shown and saved upright too: 320 wide, 213 high.
    EXPECT_EQ(form.Picture2->Image().size(), QSize(320, 213));
  }
}

}  // namespace
}  // namespace snapwick::test
