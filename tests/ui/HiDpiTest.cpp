#include <gtest/gtest.h>

#include <QPixmap>

#include "platform/PictureBox.h"
#include "support/Fixtures.h"
#include "ui/UiTestSupport.h"

namespace snapwick::test {
namespace {

// Aligned 2 x 2 blocks of device pixels in which pure white text meets any other colour: text
// drawn at the device's resolution has many, an image enlarged from its own pixels has none.
int MixedBlocks(const QImage& device, int width, int height) {
  int mixed = 0;
  for (int y = 0; y + 1 < height; y += 2) {
    for (int x = 0; x + 1 < width; x += 2) {
      int white = 0;
      for (int dy = 0; dy < 2; ++dy) {
        for (int dx = 0; dx < 2; ++dx)
          white += (device.pixel(x + dx, y + dy) & 0xFFFFFF) == 0xFFFFFF;
      }
      mixed += white > 0 && white < 4;
    }
  }
  return mixed;
}

// Runs in its own test entry with QT_SCALE_FACTOR=2 (see tests/CMakeLists.txt).
TEST_F(Form1Test, HiDpiKeepsPixelSizesAndDrawsSharpText) {
  Form1& form = Start();
  if (form.devicePixelRatioF() != 2) GTEST_SKIP() << "needs a device pixel ratio of 2";
  TempDir pics, out;
  WriteBytes(pics.File("a.jpg"), MakeJpeg(800, 600, Solid({20, 60, 140})));
  FixSize(2);
  EXPECT_EQ(form.ViewPixelWidth, 640);
  EXPECT_EQ(form.ViewPixelHeight, 480);
  form.Picture2->SetTextAntialiasing(false);
  form.Text1 = out.Path() + "/hd";
  form.FilePath = out.Path() + "/";
  form.SetChecked("AutoSave", true);
  dialogs_.openAnswers.push_back(pics.File("a.jpg"));
  form.Load_Click();
  EXPECT_EQ(form.Picture2->Image().size(), QSize(640, 480));
  EXPECT_EQ(JpegSize(out.File("hd_001.jpg")), std::make_pair(640, 480));

  // On screen the box has twice as many device pixels, and the date is drawn at that resolution.
  const QImage shown = form.Picture2->grab().toImage();
  ASSERT_EQ(shown.size(), QSize(1280, 960));
  const QImage enlarged = form.Picture2->Image().scaled(1280, 960);
  EXPECT_EQ(MixedBlocks(enlarged, 400, 40), 0);
  EXPECT_GT(MixedBlocks(shown, 400, 40), 20);
}

}  // namespace
}  // namespace snapwick::test
