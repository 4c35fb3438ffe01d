#include <gtest/gtest.h>

#include "app/Sizing.h"
#include "app/WindowTitle.h"
#include "platform/Error.h"
#include "support/TestEnvironment.h"

namespace snapwick {
namespace {

TEST(ViewSize, MarginsFollowBorderAndMenu) {
  // 640 x 480 pixels with "Border" on and the menu shown: the window is 10000 x 8000 twips.
  ViewSize v = ComputeViewSize(10000, 8000, true, false, 15, 15);
  EXPECT_EQ(v.widthTwips, 9600);
  EXPECT_EQ(v.heightTwips, 7200);
  EXPECT_EQ(v.pixelWidth, 640);
  EXPECT_EQ(v.pixelHeight, 480);
  EXPECT_DOUBLE_EQ(v.ratio, 640.0 / 480.0);

  EXPECT_EQ(ComputeViewSize(10000, 8000, false, true, 15, 15).heightTwips, 8000);
  EXPECT_EQ(ComputeViewSize(10000, 8000, true, true, 15, 15).heightTwips, 7400);
  EXPECT_EQ(ComputeViewSize(10000, 8000, false, false, 15, 15).heightTwips, 7400);
}

TEST(ViewSize, NeverBelow500TwipsEach) {
  const ViewSize v = ComputeViewSize(850, 900, true, false, 15, 15);
  EXPECT_EQ(v.widthTwips, 500);
  EXPECT_EQ(v.heightTwips, 500);
  EXPECT_EQ(v.pixelWidth, 33);  // 33.33 rounded
}

TEST(ViewSize, PixelsRoundHalvesToEven) {
  // 7.5 px and 8.5 px wide boxes (twips of 15 per pixel).
  EXPECT_EQ(ComputeViewSize(400 + 112.5 * 10, 2000, true, false, 15, 15).pixelWidth, 75);
  EXPECT_EQ(ComputeViewSize(400 + 127.5 * 10, 2000, true, false, 15, 15).pixelWidth, 85);
  EXPECT_EQ(ComputeViewSize(400 + 22.5, 2000, true, false, 1, 15).pixelWidth, 500);
  EXPECT_EQ(ComputeViewSize(400 + 500, 2000, true, false, 2, 15).pixelWidth, 250);
  EXPECT_EQ(ComputeViewSize(400 + 501, 2000, true, false, 2, 15).pixelWidth, 250);  // 250.5
  EXPECT_EQ(ComputeViewSize(400 + 503, 2000, true, false, 2, 15).pixelWidth, 252);  // 251.5
}

TEST(FitToView, LandscapePortraitPanoramaAndEqualRatio) {
  const double box = 640.0 / 480.0;
  FittedSize f = FitToView(2048.0 / 1536.0, 640, 480, box);  // equal ratio: fit to the height
  EXPECT_EQ(f.pixelWidth, 640);
  EXPECT_EQ(f.pixelHeight, 480);
  f = FitToView(1536.0 / 2048.0, 640, 480, box);
  EXPECT_EQ(f.pixelWidth, 360);
  EXPECT_EQ(f.pixelHeight, 480);
  f = FitToView(3000.0 / 1000.0, 640, 480, box);
  EXPECT_EQ(f.pixelWidth, 640);
  EXPECT_EQ(f.pixelHeight, 213);
  EXPECT_FLOAT_EQ(f.height, 640.0f / 3.0f);
  // A tall picture in a wide box takes the box height.
  f = FitToView(0.5, 1000, 400, 2.5);
  EXPECT_EQ(f.pixelHeight, 400);
  EXPECT_EQ(f.pixelWidth, 200);
}

TEST(FitToView, AThreadOfAPictureKeepsOnePixel) {
  FittedSize f = FitToView(1.0 / 2000, 640, 480, 640.0 / 480.0);  // 0.24 pixels wide
  EXPECT_EQ(f.pixelWidth, 1);
  EXPECT_EQ(f.pixelHeight, 480);
  f = FitToView(5000.0, 640, 480, 640.0 / 480.0);
  EXPECT_EQ(f.pixelWidth, 640);
  EXPECT_EQ(f.pixelHeight, 1);
}

TEST(FixedSizes, CaptionsAndWindowSizes) {
  const auto size = ParseFixedSize("640x480");
  ASSERT_TRUE(size);
  EXPECT_EQ(size->first, 640);
  EXPECT_EQ(size->second, 480);
  EXPECT_FALSE(ParseFixedSize("640"));
  EXPECT_FALSE(ParseFixedSize("axb"));
  EXPECT_EQ(FixedSizeWindowWidth(640, 15), 10000);
  EXPECT_EQ(FixedSizeWindowHeight(480, true, 15), 8000);
  EXPECT_EQ(FixedSizeWindowHeight(480, false, 15), 7800);
  // On a 1024 x 768 screen 800x600 needs 12400 x 9800 twips and fits; 1024x768 does not.
  EXPECT_LE(FixedSizeWindowWidth(800, 15), 1024 * 15);
  EXPECT_LE(FixedSizeWindowHeight(600, true, 15), 768 * 15);
  EXPECT_GT(FixedSizeWindowWidth(1024, 15), 1024 * 15);
}

TEST(ViewSizeCaption, RatioAsPercentageInTheLocale) {
  EXPECT_EQ(ViewSizeCaption(640, 480, 640.0 / 480.0), "640x480 ratio: 133.33%");
  test::ScopedLocale german("de_DE");
  EXPECT_EQ(ViewSizeCaption(640, 480, 640.0 / 480.0), "640x480 ratio: 133,33%");
  EXPECT_EQ(ViewSizeCaption(3000, 100, 30.0), "3000x100 ratio: 3000,00%");
}

TEST(WindowTitle, SingleAndListTitles) {
  EXPECT_EQ(BuildWindowTitle("/a.jpg", MegaPixelText(640, 480), 640, 480, true, 0, 0),
            "/a.jpg  [ 0.3M 640x480]");
  EXPECT_EQ(BuildWindowTitle("/pics/a.jpg", MegaPixelText(2048, 1536), 2048, 1536, true, -1, 0),
            "/pics/a.jpg  [ 3.1M 2048x1536]");
  EXPECT_EQ(BuildWindowTitle("/p/b.jpg", "0.3", 640, 480, false, 2, 5),
            "/p/b.jpg  [ 0.3M 640x480] Photo 2 of 5");
}

TEST(WindowTitle, MegaPixelsInTheLocale) {
  EXPECT_EQ(MegaPixelText(640, 480), "0.3");
  EXPECT_EQ(MegaPixelText(4000, 3000), "12.0");
  EXPECT_EQ(MegaPixelText(1, 1), "0.0");
  EXPECT_EQ(MegaPixelText(40000, 40000), "1,600.0");
  test::ScopedLocale german("de_DE");
  EXPECT_EQ(MegaPixelText(640, 480), "0,3");
  EXPECT_EQ(MegaPixelText(40000, 40000), "1.600,0");
}

TEST(WindowTitle, MegaPixelProductIsChecked) {
  EXPECT_THROW(MegaPixelText(65536, 65536), SnapError);
}

}  // namespace
}  // namespace snapwick
