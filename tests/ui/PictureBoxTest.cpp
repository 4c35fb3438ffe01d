#include <gtest/gtest.h>

#include <QFont>
#include <QImage>

#include "platform/PictureBox.h"
#include "support/Fixtures.h"

namespace snapwick {
namespace {

QImage Filled(int w, int h, QRgb colour) {
  QImage image(w, h, QImage::Format_RGB32);
  image.fill(colour);
  return image;
}

TEST(PictureBox, PictureSitsTopLeftOnTheBackground) {
  PictureBox box;
  box.SetBoxSize(40, 30);
  box.SetPicture(Filled(10, 5, qRgb(255, 0, 0)));
  EXPECT_EQ(box.Image().size(), QSize(40, 30));
  EXPECT_EQ(box.Point(0, 0), 0x0000FF);
  EXPECT_EQ(box.Point(9, 4), 0x0000FF);
  EXPECT_NE(box.Point(10, 4), 0x0000FF);
  EXPECT_EQ(box.Point(40, 0), -1);
  EXPECT_EQ(box.Point(-1, 0), -1);
  EXPECT_EQ(box.ImageWidth(), 1058);  // 40 px in 0.01 mm
}

TEST(PictureBox, TextIsDrawnOnTheImageAndClearedByCls) {
  PictureBox box;
  box.SetBoxSize(120, 40);
  box.SetPicture(Filled(120, 40, qRgb(0, 0, 0)));
  box.SetTextAntialiasing(false);
  box.ForeColor = 0xFFFFFF;
  box.CurrentX = 2;
  box.CurrentY = 3;
  box.Print("XX");
  int white = 0;
  for (int y = 0; y < 40; ++y) {
    for (int x = 0; x < 120; ++x)
      white += box.Point(x, y) == 0xFFFFFF;
  }
  EXPECT_GT(white, 10);
  // Nothing above the position, and the background between the glyphs stays.
  for (int x = 0; x < 120; ++x)
    EXPECT_EQ(box.Point(x, 2), 0);
  EXPECT_EQ(box.Point(119, 39), 0);
  EXPECT_EQ(box.CurrentX, 0);
  EXPECT_GT(box.CurrentY, 3);

  box.Cls();
  EXPECT_EQ(box.CurrentY, 0);
  for (int y = 0; y < 40; ++y) {
    for (int x = 0; x < 120; ++x)
      ASSERT_EQ(box.Point(x, y), 0);
  }
}

TEST(PictureBox, ImageBecomesThePictureWithItsText) {
  PictureBox box;
  box.SetBoxSize(60, 20);
  box.SetPicture(Filled(60, 20, qRgb(0, 0, 0)));
  box.SetTextAntialiasing(false);
  box.ForeColor = 0xFFFFFF;
  box.Print("II");
  const QImage drawn = box.Image();
  box.ImageToPicture();
  box.Cls();
  EXPECT_EQ(box.Image(), drawn);
  // A new picture replaces it all.
  box.SetPicture(Filled(60, 20, qRgb(0, 0, 0)));
  EXPECT_NE(box.Image(), drawn);
}

TEST(PictureBox, SurfaceRoundTrip) {
  const cDIBSection surface = test::MakeSurface(7, 5);
  const QImage image = ImageFromSurface(surface);
  ASSERT_EQ(image.size(), QSize(7, 5));
  EXPECT_EQ(QColor(image.pixel(3, 1)),
            QColor(test::Gradient(3, 1).r, test::Gradient(3, 1).g, test::Gradient(3, 1).b));
  cDIBSection back;
  SurfaceFromImage(image, back);
  ASSERT_EQ(back.Width(), 7);
  EXPECT_EQ(0, std::memcmp(back.DIBSectionBitsPtr(), surface.DIBSectionBitsPtr(),
                           static_cast<size_t>(surface.Header().biSizeImage)));
}

TEST(PictureBox, ColoursInTheBgrOrder) {
  EXPECT_EQ(ColorFromBgr(0x0000FF), QColor(255, 0, 0));
  EXPECT_EQ(ColorFromBgr(0xFF0000), QColor(0, 0, 255));
  EXPECT_EQ(BgrFromColor(QColor(1, 2, 3)), 0x030201u);
}

}  // namespace
}  // namespace snapwick

#include <QClipboard>
#include <QGuiApplication>

#include "platform/Clipboard.h"
#include "ui/UiTestSupport.h"

namespace snapwick::test {
namespace {

TEST(Clipboard, SurfaceGoesOnTheClipboardAsAPicture) {
  FakeDialogHost dialogs;
  QGuiApplication::clipboard()->setText("before");
  EXPECT_FALSE(CopyToClipboard(MakeSurface(6, 4), true, dialogs));
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages[0],
            "I don't know how to put a DIB on the clipboard! Copy as bitmap instead!!!");
  EXPECT_EQ(QGuiApplication::clipboard()->text(), "before");

  EXPECT_TRUE(CopyToClipboard(MakeSurface(6, 4), false, dialogs));
  const QImage image = QGuiApplication::clipboard()->image();
  ASSERT_EQ(image.size(), QSize(6, 4));
  EXPECT_EQ(QColor(image.pixel(5, 3)),
            QColor(Gradient(5, 3).r, Gradient(5, 3).g, Gradient(5, 3).b));
  EXPECT_FALSE(CopyToClipboard(cDIBSection(), false, dialogs));
}

}  // namespace
}  // namespace snapwick::test
