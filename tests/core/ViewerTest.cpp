// The picture list, window titles, auto-save names, the sizing of the view, the stored quality and
// the stored label font.
#include <gtest/gtest.h>

#include "app/PictureList.h"
#include "app/QualitySetting.h"
#include "app/Sizing.h"
#include "app/WindowTitle.h"
#include "base/Error.h"
#include "labels/LabelFont.h"
#include "labels/SaveNaming.h"
#include "support/TestEnvironment.h"

namespace snapwick {
namespace {

TEST(PictureList, SelectionsAndSteps) {
  PictureList list;
  // The next n files that the list delivers, each followed by "|".
  const auto next = [&list](int n) {
    std::string files;
    while (n-- > 0)
      files += list.GetFile() + "|";
    return files;
  };
  list.SetFiles(PictureList::SelectionFor({"/pics/a.jpg", "/pics/b.jpg", "/pics/c.jpg"}));
  EXPECT_EQ(next(1), "/pics/a.jpg|");
  EXPECT_FALSE(list.StepBack());  // the first picture is shown
  EXPECT_EQ(next(2), "/pics/b.jpg|/pics/c.jpg|");
  EXPECT_TRUE(list.StepBack());                     // from the third to the second
  EXPECT_EQ(next(3), "/pics/b.jpg|/pics/c.jpg||");  // then used up
  EXPECT_TRUE(list.StepBack());                     // used up by "Next": picture k - 1
  EXPECT_EQ(next(1), "/pics/b.jpg|");

  // The root gives a double separator; nothing at all gives no file.
  list.SetFiles(PictureList::SelectionFor({"/a.jpg", "/b.jpg"}));
  EXPECT_EQ(next(1), "//a.jpg|");
  list.SetFiles("");
  EXPECT_EQ(next(1), "|");
}

TEST(SaveNaming, NumbersKeptNamesOtherFormatsAndCollisions) {
  // At least three digits; a number below 1 (a lone picture) is taken as 1.
  const AutoSaveSettings numbered{"/out/trip", "/out/", "trip", false};
  EXPECT_EQ(AutoSaveName(numbered, {"/pics/a.jpg"}, 0), "/out/trip_001.jpg");
  EXPECT_EQ(GetImageName(numbered, {"a.jpg"}, 1000), "trip_1000.jpg");
  // Kept names: JPEG names stay as they are, every other name becomes a ".jpg" one, and a name
  // an earlier picture already takes is numbered before its extension.
  const AutoSaveSettings keep{"/out/", "/out/", "trip", true};
  const std::pair<std::vector<std::string>, std::vector<std::string>> rows[] = {
      {{"/cam/IMG_1.JPG", "b.Jpeg", "c.jpg"}, {"IMG_1.JPG", "b.Jpeg", "c.jpg"}},
      {{"scan.bmp", "x.PNG", "a.b.tiff", "noext", ".hidden", "w.webp"},
       {"scan.jpg", "x.jpg", "a.b.jpg", "noext.jpg", ".hidden.jpg", "w.jpg"}},
      {{"/a/IMG_1.JPG", "/b/IMG_1.JPG", "/c/IMG_1.JPG"},
       {"IMG_1.JPG", "IMG_1 (2).JPG", "IMG_1 (3).JPG"}},
      {{"p.jpg", "p (2).jpg", "p.png", "p.jpg"}, {"p.jpg", "p (2).jpg", "p (3).jpg", "p (4).jpg"}}};
  for (const auto& [pictures, names] : rows) {
    EXPECT_EQ(ImageNames(keep, pictures), names);
    for (size_t n = 1; n <= pictures.size(); ++n) {
      EXPECT_EQ(GetImageName(keep, pictures, int32_t(n)), names[n - 1]);
      EXPECT_EQ(AutoSaveName(keep, pictures, int32_t(n)), "/out/" + names[n - 1]);
    }
  }
}

TEST(Sizing, SmallestViewCaptionThreadsAndMegaPixels) {
  // The view of a window of 10000 x 8000 twips with "Border" and the menu; of a tiny one.
  const ViewSize view = ComputeViewSize(10000, 8000, true, false, 15, 15);
  EXPECT_EQ(std::tuple(view.widthTwips, view.pixelWidth, view.pixelHeight),
            std::tuple(9600.0, 640, 480));
  const ViewSize tiny = ComputeViewSize(850, 900, true, false, 15, 15);
  EXPECT_EQ(std::pair(tiny.widthTwips, tiny.heightTwips), std::pair(500.0, 500.0));
  EXPECT_EQ(ViewSizeCaption(640, 480, view.ratio), "640x480 ratio: 133.33%");
  // A thread of a picture keeps a pixel.
  EXPECT_EQ(FitToView(1.0 / 2000, 640, 480, view.ratio).pixelWidth, 1);
  // The size in the title: checked, and in the locale.
  EXPECT_EQ(test::ErrorNumberOf([] { MegaPixelText(65536, 65536); }), kErrOverflow);
  test::ScopedLocale german("de_DE");
  EXPECT_EQ(MegaPixelText(640, 480), "0,3");
}

TEST(StoredSettings, QualityAndLabelFont) {
  // The quality: a whole number of 16 bits, else 90.
  EXPECT_EQ(std::pair(ParseQualitySetting("75"), ParseQualitySetting(" 200 ")), std::pair(75, 200));
  for (const char* text : {"", "abc", "7.5", "32768", "-32769", "75x"})
    EXPECT_EQ(ParseQualitySetting(text), 90) << text;
  // Locale, font and its stored text: the shortest decimal form of the size in the locale.
  const std::tuple<const char*, LabelFont, const char*> rows[] = {
      {"en_US", {"Arial", 12, true, false}, "Arial:12:True:False"},
      {"en_US", {"Sans", 10.1f, false, true}, "Sans:10.1:False:True"},
      {"de_DE", {"Times New Roman", 10.5f, true, true}, "Times New Roman:10,5:True:True"}};
  for (const auto& [locale, font, text] : rows) {
    test::ScopedLocale scoped(locale);
    EXPECT_EQ(FontSettingText(font), text);
    EXPECT_EQ(ParseFontSetting(text), font) << text;
  }
  for (const char* broken :
       {"", "Arial:12:True:False:", ":12:True:False", "Arial:0:True:False", "Arial:nan:True:False",
        "Arial:1e40:True:False", "Arial:1e30:True:False", "Arial:1000.5:True:False",
        "Arial:12:Yes:False"})
    EXPECT_EQ(ParseFontSetting(broken), std::nullopt) << broken;
}

}  // namespace
}  // namespace snapwick
