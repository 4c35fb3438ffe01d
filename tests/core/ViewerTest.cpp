// The picture list, window titles, auto-save names, the sizing of the view, the temporary file,
// the stored quality and the stored label font.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "app/PictureList.h"
#include "app/QualitySetting.h"
#include "app/Sizing.h"
#include "app/TempFile.h"
#include "app/WindowTitle.h"
#include "labels/LabelFont.h"
#include "labels/SaveNaming.h"
#include "platform/Error.h"
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
  EXPECT_EQ(next(1), "|");  // nothing loaded yet
  list.SetFiles(PictureList::SelectionFor({"/pics/a.jpg"}));
  EXPECT_EQ(next(2), "/pics/a.jpg|/pics/a.jpg|");
  EXPECT_EQ(list.CurrentFile, 0);
  EXPECT_FALSE(list.StepBack());

  list.SetFiles(PictureList::SelectionFor({"/pics/a.jpg", "/pics/b.jpg", "/pics/c.jpg"}));
  EXPECT_EQ(list.FileList, (std::vector<std::string>{"/pics", "a.jpg", "b.jpg", "c.jpg"}));
  EXPECT_EQ(next(1), "/pics/a.jpg|");
  EXPECT_EQ(list.CurrentFile, 2);
  EXPECT_FALSE(list.StepBack());  // the first picture is shown
  EXPECT_EQ(next(2), "/pics/b.jpg|/pics/c.jpg|");
  EXPECT_TRUE(list.StepBack());                     // from the third to the second
  EXPECT_EQ(next(3), "/pics/b.jpg|/pics/c.jpg||");  // then used up
  EXPECT_EQ(list.CurrentFile, 4);
  EXPECT_TRUE(list.StepBack());  // used up by "Next": picture k - 1
  EXPECT_EQ(next(1), "/pics/b.jpg|");

  // Several folders keep full paths in the order given; the root gives a double separator.
  list.SetFiles(PictureList::SelectionFor({"/p/b.jpg", "/q/a.jpg"}));
  EXPECT_EQ(next(3), "/p/b.jpg|/q/a.jpg||");
  list.SetFiles(PictureList::SelectionFor({"/a.jpg", "/b.jpg"}));
  EXPECT_EQ(next(1), "//a.jpg|");
  list.SetFiles("");
  EXPECT_EQ(next(1), "|");
}

TEST(WindowTitle, TitlesAndMegaPixels) {
  EXPECT_EQ(BuildWindowTitle("/a.jpg", MegaPixelText(640, 480), 640, 480, true, 1, 1),
            "/a.jpg  [ 0.3M 640x480]");
  EXPECT_EQ(BuildWindowTitle("/p/b.jpg", MegaPixelText(2048, 1536), 2048, 1536, false, 2, 5),
            "/p/b.jpg  [ 3.1M 2048x1536] Photo 2 of 5");
  EXPECT_EQ(test::ErrorNumberOf([] { MegaPixelText(65536, 65536); }), kErrOverflow);
  test::ScopedLocale german("de_DE");
  EXPECT_EQ(MegaPixelText(640, 480), "0,3");
}

TEST(SaveNaming, NumbersKeptNamesAndTheLonePicture) {
  const AutoSaveSettings numbered{"/out/trip", "/out/", "trip", false};
  for (const std::string digits :
       {"001", "007", "009", "010", "012", "042", "099", "100", "1000"}) {
    const int32_t number = std::stoi(digits);
    EXPECT_EQ(AutoSaveName(numbered, "/pics/a.jpg", number), "/out/trip_" + digits + ".jpg");
    EXPECT_EQ(GetImageName(numbered, "a.jpg", number), "trip_" + digits + ".jpg");
  }
  // A lone picture is number 1.
  PictureList single;
  single.SetFiles("/pics/a.jpg");
  single.GetFile();
  EXPECT_EQ(AutoSaveName(numbered, "/pics/a.jpg", single.ShownNumber()), "/out/trip_001.jpg");

  const AutoSaveSettings keep{"/out/", "/out/", "trip", true};
  EXPECT_EQ(AutoSaveName(keep, "/cam/IMG_0042.JPG", 5), "/out/IMG_0042.JPG");
  EXPECT_EQ(AutoSaveName(keep, "/cam/scan.bmp", 1), "/out/scan.bmp");
  EXPECT_EQ(GetImageName(keep, "/cam/sub/a.jpg", 1), "a.jpg");
  EXPECT_EQ(GetImageName(keep, "IMG_0042.JPG", 1), "IMG_0042.JPG");
}

TEST(Sizing, ViewMarginsFixedSizesAndFits) {
  // "Border", "Hide Menu", and the height of the view in a window of 10000 x 8000 twips.
  for (const auto& [border, hideMenu, height] :
       {std::tuple(true, false, 7200.0), std::tuple(false, true, 8000.0),
        std::tuple(true, true, 7400.0), std::tuple(false, false, 7400.0)}) {
    EXPECT_EQ(ComputeViewSize(10000, 8000, border, hideMenu, 15, 15).heightTwips, height);
  }
  const ViewSize tiny = ComputeViewSize(850, 900, true, false, 15, 15);
  EXPECT_EQ(std::pair(tiny.widthTwips, tiny.heightTwips), std::pair(500.0, 500.0));
  const ViewSize view = ComputeViewSize(10000, 8000, true, false, 15, 15);
  EXPECT_EQ(std::tuple(view.widthTwips, view.pixelWidth, view.pixelHeight),
            std::tuple(9600.0, 640, 480));
  EXPECT_EQ(ViewSizeCaption(640, 480, view.ratio), "640x480 ratio: 133.33%");

  EXPECT_EQ(ParseFixedSize("1600x1200"), (std::pair<float, float>{1600, 1200}));
  EXPECT_EQ(std::tuple(FixedSizeWindowWidth(640, 15), FixedSizeWindowHeight(480, true, 15),
                       FixedSizeWindowHeight(480, false, 15)),
            std::tuple(10000.0, 8000.0, 7800.0));

  // Picture ratio, fitted width and height in a 640 x 480 box.
  const std::tuple<double, int32_t, int32_t> fits[] = {
      {2048.0 / 1536.0, 640, 480},  // as wide as the box: fitted to its height
      {1536.0 / 2048.0, 360, 480},
      {3000.0 / 1000.0, 640, 213},
      {1.0 / 2000, 1, 480}};  // a thread of a picture keeps a pixel
  for (const auto& [ratio, width, height] : fits) {
    const FittedSize fitted = FitToView(ratio, 640, 480, view.ratio);
    EXPECT_EQ(std::pair(fitted.pixelWidth, fitted.pixelHeight), std::pair(width, height)) << ratio;
  }
}

TEST(TempFile, CurrentFolderOrTheCacheFolderWhenItIsReadOnly) {
  test::TempDir dir;
  ASSERT_EQ(::chmod(dir.Path().c_str(), 0777), 0);
  const std::string cache = dir.File("cache");
  // 10 for "temp.jpg", 20 for a file in a folder of the cache that can be written.
  const auto chosenIn = [&](mode_t mode) {
    return test::RunUnprivileged([&] {
      setenv("XDG_CACHE_HOME", cache.c_str(), 1);
      const std::string folder = dir.File(std::to_string(mode));
      if (::mkdir(folder.c_str(), mode) != 0 || ::chdir(folder.c_str()) != 0) return 1;
      const std::string file = ChooseTempFile(), in = file.substr(0, file.rfind('/') + 1);
      if (file == "temp.jpg") return 10;
      const bool inCache = in.rfind(cache + "/", 0) == 0 && file == in + "temp.jpg";
      return inCache && ::access(in.c_str(), W_OK) == 0 ? 20 : 2;
    });
  };
  EXPECT_EQ(chosenIn(0777), 10);
  EXPECT_EQ(chosenIn(0555), 20);
}

TEST(QualitySetting, BrokenValuesGiveNinety) {
  EXPECT_EQ(ParseQualitySetting("75"), 75);
  EXPECT_EQ(ParseQualitySetting(" 200 "), 200);
  for (const char* text : {"", "abc", "7.5", "32768", "-32769", "75x"})
    EXPECT_EQ(ParseQualitySetting(text), 90) << text;
}

TEST(LabelFont, StoredForm) {
  EXPECT_EQ(FontSettingText({"Arial", 12, true, false}), "Arial:12:True:False");
  EXPECT_EQ(ParseFontSetting("Arial:12:True:False"), (LabelFont{"Arial", 12, true, false}));
  const LabelFont fonts[] = {{"Times New Roman", 10.5f, false, true}, {"Sans", 10.1f, true, true}};
  for (const char* locale : {"en_US", "de_DE"}) {
    test::ScopedLocale scoped(locale);
    for (const auto& font : fonts)
      EXPECT_EQ(ParseFontSetting(FontSettingText(font)), font) << locale;
  }
  for (const char* broken : {"", "Arial:12:True", "Arial:12:True:False:", ":12:True:False",
                             "Arial:big:True:False", "Arial:0:True:False", "Arial:nan:True:False",
                             "Arial:1e40:True:False", "Arial:12:Yes:False"}) {
    EXPECT_EQ(ParseFontSetting(broken), std::nullopt) << broken;
  }
  test::ScopedLocale german("de_DE");
  EXPECT_EQ(FontSettingText({"Arial", 10.5f, true, true}), "Arial:10,5:True:True");
  EXPECT_EQ(ParseFontSetting("Arial:10,5:False:True"), (LabelFont{"Arial", 10.5f, false, true}));
}

}  // namespace
}  // namespace snapwick
