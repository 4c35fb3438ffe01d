// What a session draws on the shown picture and what it tells of it: the date, the picture
// string and its listing, labels, saving what was drawn, and the black check.

#include <fcntl.h>
#include <sys/stat.h>

#include <QPainter>

#include "base/Settings.h"
#include "core/SessionFixture.h"
#include "support/ExifBuilder.h"

namespace snapwick::test {

constexpr const char* kDate = "Sat Jul-03, 2004 12:05:09";
constexpr timespec kWritten[2] = {{1088856309, 0}, {1088856309, 0}};  // 2004-07-03 12:05:09 UTC

// A picture of a camera "Foto" taken on 12 June 2004 and last written at the date, shown without
// "Auto Date" with the camera's make ticked, then put on a grey box of 600 x 120 where text is
// drawn in plain pixels.
struct DrawingTest : SessionTest {
  void SetUp() override {
    SessionTest::SetUp();
    const std::string picture = Pic("dated.jpg", ExifJpeg(CameraExif(), false, MakeJpeg(60, 12)));
    ASSERT_EQ(::utimensat(AT_FDCWD, picture.c_str(), kWritten, 0), 0);
    Start();
    road_.autoDate = false;
    PicDataFlags make{};
    make[1] = 1;
    session_->SetPictureDataItems(make);
    Open({picture});
    canvas().SetBoxSize(600, 120);
    canvas().SetPicture(ImageFromSurface(MakeSurface(600, 120, Solid({128, 128, 128}))));
    canvas().SetTextAntialiasing(false);
  }
  Canvas& canvas() { return session_->Picture2(); }
  // The image after drawing a text with its shadow at the top left, then cleared again.
  QImage Printed(int y, const std::string& text, uint32_t shadow) {
    session_->PicturePrint(0, y, text, 0xFFFFFF, shadow);
    const QImage image = canvas().Image();
    session_->Clear();
    return image;
  }
  ScopedTimeZone zone_{"UTC0"};
};

// White, with a black shadow where the text lies one pixel up and left, grey elsewhere.
TEST_F(DrawingTest, DateIsWhiteWithABlackShadow) {
  session_->SetDate(false);
  int white = 0, black = 0;
  for (int i = 0; i < 300 * 40; ++i) {
    const int x = i % 300, y = i / 300, c = canvas().Point(x, y);
    white += c == 0xFFFFFF;
    black += c == 0;
    const bool shadow = canvas().Point(x - 1, y - 1) == 0xFFFFFF;
    EXPECT_TRUE(c == 0xFFFFFF || c == (shadow ? 0 : 0x808080)) << x << "," << y;
  }
  EXPECT_TRUE(white > 50 && black > 20) << white << " " << black;
}

TEST_F(DrawingTest, PictureStringFollowsTheDateAfterABlank) {
  const QImage expected = Printed(0, std::string(kDate) + "  Make : Foto", 0);
  session_->SetDate(true);
  EXPECT_EQ(canvas().Image(), expected);
}

// A label sits at twice the font size in points (halves to even), white with a red shadow.
TEST_F(DrawingTest, LabelSitsAtTwiceTheFontSizeWhiteOnRed) {
  for (const auto& [points, y] : {std::pair{8.25, 16}, std::pair{12.0, 24}}) {
    QFont font = canvas().Font();
    font.setPointSizeF(points);
    session_->SetLabelFont(font);
    const QImage expected = Printed(y, "Harbour", 0x0000FF);
    session_->DrawLabel("Harbour");
    EXPECT_EQ(canvas().Image(), expected) << points;
    session_->Clear();
  }
}

// "Clear" takes away what was drawn until a save made it part of the picture; the save writes
// the picture with what was drawn under the name given.
TEST_F(DrawingTest, ClearKeepsWhatASaveMadePartOfThePicture) {
  session_->DrawLabel("Harbour");
  session_->Clear();
  EXPECT_EQ(canvas().Image(), canvas().PictureImage());
  session_->DrawLabel("Harbour");
  const QImage saved = canvas().Image();
  session_->SaveShownPicture(out_.File("pic"));
  session_->Clear();
  EXPECT_EQ(std::tuple(Folder(out_.Path()), canvas().Image() == saved),
            std::tuple("pic 600x120", true));
}

// The stored items (Model, Make, DateTime and SelfTimerMode, which is absent) in catalogue order,
// in the picture string and in the listing.
TEST_F(DrawingTest, PictureStringAndListingFollowTheStoredItems) {
  SettingsStore::SaveSetting("PicData",
                             "0,1,1,0,0,1,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,1,0,0,0,0,0,0,0,");
  Start();
  Load({"dated.jpg"});
  EXPECT_EQ(session_->PictureString(),
            " Make : Foto Model : F-20 Zoom DateTime : 2004:06:12 18:42:07");
  EXPECT_EQ(session_->PictureDataText(),
            " Make \tFoto\r\n Model \tF-20 Zoom\r\n DateTime \t2004:06:12 18:42:07\r\n");
}

// The date of the file in the PC's time zone or in UTC.
TEST_F(DrawingTest, FileDateIsInThePcZoneOrInUtc) {
  const ScopedTimeZone zone("XXX-2");
  Next();
  EXPECT_EQ(session_->FileDateText(), "Sat Jul-03, 2004 14:05:09");
  road_.usePcZone = false;
  Next();
  EXPECT_EQ(session_->FileDateText(), kDate);
}

// The black check samples the whole picture: black but for a bright patch of about 2 % of the
// area is not black (the verdict on its ratio is tested with the black check's core).
TEST_F(SessionTest, BlackCheckSamplesTheWholePicture) {
  QImage black = ImageFromSurface(MakeSurface(640, 480, Solid({2, 2, 2})));
  QPainter(&black).fillRect(QRect(300, 200, 89, 69), QColor(200, 200, 200));
  Start().Picture2().SetPicture(black);
  EXPECT_FALSE(session_->IsBlack());
  EXPECT_EQ(Log().substr(0, 22), "Non Black Picture  0.9");
}

}  // namespace snapwick::test
