// The main window: its menus, its start-up, quitting, and the road of the pictures through it,
// from "Load...", program arguments and dropped files, in the formats of the desktop, sideways
// camera pictures, a screen of two device pixels to a pixel, and a long run.

#include "imaging/Orientation.h"
#include "ui/UiFixture.h"

namespace snapwick::test {

// The items of a menu bar or menu in order: caption, submenu in braces, shortcut, and [x] or [ ]
// for a check item as it starts; "-" for a separator.
static QString Describe(QWidget* menu) {
  QStringList items;
  for (QAction* action : menu->actions()) {
    QString item = action->isSeparator() ? "-" : action->text();
    if (action->menu()) item += " {" + Describe(action->menu()) + "}";
    if (!action->shortcut().isEmpty()) item += " " + action->shortcut().toString();
    if (action->isCheckable()) item += action->isChecked() ? " [x]" : " [ ]";
    items << item;
  }
  return items.join(", ");
}

// Drops files on the window as a file manager does; whether the window took them.
static bool Drop(QWidget* window, const QStringList& paths) {
  QMimeData data;
  QList<QUrl> urls;
  std::ranges::transform(paths, std::back_inserter(urls), QUrl::fromLocalFile);
  data.setUrls(urls);
  QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QDropEvent drop(QPointF(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(window, &enter);
  if (enter.isAccepted()) QApplication::sendEvent(window, &drop);
  return enter.isAccepted() && drop.isAccepted();
}

TEST_F(Form1Test, MenusQuittingStartUpArgumentsAndDrops) {
  Form1& first = Start();
  EXPECT_EQ(Describe(first.menuBar()),
            "&File {Load... Ctrl+O, Date Ctrl+D, Label Ctrl+L, Picture Data Ctrl+I [ ], Configure "
            "Picture Data..., -, Auto Date [x], Use PC Time Zone [x], Auto Save [ ], Auto Label "
            "[ ], -, Clear Ctrl+C, Font..., -, Save as... Ctrl+S, Exit Ctrl+Q}, &View {Next "
            "Ctrl+N, Prev Ctrl+P, Auto Ctrl+A [ ], -, Resize {160x120, 320x240, 640x480, "
            "800x600, 1024x768, 1280x960, 1600x1200}, Refresh F5, -, Picture Data}, &Window "
            "{Border [x], Hide Menu F6 [ ], -, Check Black}, &Help {About}");
  // Program arguments and dropped files take the list road.
  const QString a = Pic("a.jpg", MakeJpeg(400, 300)).c_str(),
                b = Pic("b.jpg", MakeJpeg(300, 400)).c_str();
  WriteBytes(work_.File("c.jpg"), MakeJpeg(500, 100));
  const QString c = work_.File("c.jpg").c_str(), other = work_.Path().c_str();
  // Several of one folder; missing files and folders are passed over.
  EXPECT_TRUE(first.OpenPictures({a + "x", a, other, b}));
  EXPECT_EQ(first.windowTitle(), a + "  [ 0.1M 400x300] Photo 1 of 2");
  EXPECT_FALSE(first.OpenPictures({a + "x", other, ""}) || Drop(&first, {other}));
  // One picture, named relative to the current folder.
  EXPECT_TRUE(first.OpenPictures({"c.jpg"}));
  EXPECT_EQ(first.windowTitle(), c + "  [ 0.1M 500x100]");
  // Pictures of several folders keep the given order.
  EXPECT_TRUE(Drop(&first, {b, c, a}));
  first.NextFile_Click();
  EXPECT_EQ(first.windowTitle(), c + "  [ 0.1M 500x100] Photo 2 of 3");
  // The shortcuts act while the menus are hidden too; a check item switches once.
  first.HideMenu_Click();
  QTest::keyClick(&first, Qt::Key_A, Qt::ControlModifier);
  first.Action(MenuItem::AutoDate)->trigger();
  EXPECT_TRUE(first.Checked(MenuItem::AutoNext) && !first.Checked(MenuItem::AutoDate));
  // The quit question: No keeps the window, Yes quits.
  dialogs_.yesNo = {false, false, true, true};
  first.close();
  first.Exit_Click();
  EXPECT_TRUE(first.isVisible() && quits_ == 0);
  first.Exit_Click();
  first.close();
  EXPECT_EQ(std::tuple(quits_, dialogs_.questions),
            std::tuple(2, std::vector<std::string>(4, "Snapwick|Do you want to quit")));

  // A stored quality is read where sound, else the default of 90 holds, and the auto-save
  // dialog's bar shows it within its range; a broken stored font leaves the default font:
  // {quality, font, quality read, bar}.
  // clang-format off
  const std::tuple<const char*, const char*, int, int> cases[] = {
      {"75", "Arial:big:True:False", 75, 75}, {"abc", "::::", 90, 90}, {"500", "Arial:12", 500, 200}};
  // clang-format on
  for (const auto& [quality, font, read, bar] : cases) {
    SettingsStore::SaveSetting("Quality", quality);
    SettingsStore::SaveSetting("Font", font);
    Form1& form = Start();
    EXPECT_EQ(std::pair(form.Session().Quality(), form.form2()->QScroll->value()),
              std::pair(read, bar))
        << quality;
    EXPECT_EQ(form.Session().Picture2().Font(), Canvas().Font()) << font;
  }
  // Fixed sizes that do not fit the screen are disabled; one that fits sizes the box exactly and
  // shows the size caption in blue.
  ScreenMetrics::Override(ScreenMetrics::Values{15, 15, 1024 * 15, 768 * 15});
  Form1& form = Start(2);
  for (int i = 0; i < 7; ++i)
    EXPECT_EQ(form.Action(FixedSizeItem(i))->isEnabled(), i <= 3) << i;
  EXPECT_EQ(form.Session().Picture2().Image().size(), QSize(640, 480));
  EXPECT_GT(CountPixels(form.Session().Picture2().Image(), QRect(0, 0, 120, 20),
                        [](QColor c) { return c.blue() > 180 && c.red() < 80; }),
            10);
}

// Five pictures through the road with "Auto Save", the date and a slide show: fitted, titled,
// stepped by "Prev", "Auto" and "Next", saved with the date on them, and named by the show; then
// one of them alone.
TEST_F(Form1Test, RoadOfFivePicturesAndOfOne) {
  const int sizes[][2] = {{800, 600}, {600, 800}, {1200, 400}, {400, 300}, {1000, 1000}};
  for (int i = 0; i < 5; ++i)
    Pic(std::string(1, 'a' + i) + ".jpg", MakeJpeg(sizes[i][0], sizes[i][1], Solid({30, 60, 90})));
  Form1& form = Start(2);
  AutoSaveWith(out_.Path(), "trip", false, true);
  Load({"a.jpg", "b.jpg", "c.jpg", "d.jpg", "e.jpg"});
  // A cancelled open dialog and "Prev" on the first picture change nothing.
  form.Load_Click();
  form.PrevFile_Click();
  EXPECT_EQ(form.Session().Files().CurrentFile, 2);
  Auto();
  EXPECT_EQ(Folder(out_.Path()),
            "slides.htm, slideshow.js, tripSlideShow.htm, trip_001.jpg 640x480, trip_002.jpg "
            "360x480, trip_003.jpg 640x213, trip_004.jpg 640x480, trip_005.jpg 480x480");
  // The show names exactly the saved pictures; the date is drawn in white at their top left.
  EXPECT_NE(ReadFile(out_.File("slides.htm"))
                .find("(\r\n\t\t'trip_001.jpg'\r\n\t\t,'trip_002.jpg'\r\n\t\t,'trip_003.jpg'"
                      "\r\n\t\t,'trip_004.jpg'\r\n\t\t,'trip_005.jpg'\r\n\t)"),
            std::string::npos);
  EXPECT_GT(CountPixels(QImage(out_.File("trip_005.jpg").c_str()), QRect(0, 0, 100, 12),
                        [](QColor c) { return c.lightness() > 200; }),
            30);
  // Past the end the last picture stays; "Refresh" has nothing to fit and says so.
  const Screen last = Shown();
  form.NextFile_Click();
  ExpectKept(last);
  form.SetDate_Click();
  const QImage dated = form.Session().Picture2().Image();
  form.Resize_Click();
  EXPECT_EQ(std::tuple(form.Session().Picture2().Image(), dialogs_.messages.size()),
            std::tuple(dated, 1u));
  for (int back = 0; back < 3; ++back)
    form.PrevFile_Click();
  EXPECT_EQ(form.Session().WindowTitle(), pics_.File("b.jpg") + "  [ 0.5M 600x800] Photo 2 of 5");
  // A new size refits on "Refresh" only.
  form.FixedSize_Click(0);
  EXPECT_EQ(form.Session().Picture2().PictureImage().size(), QSize(360, 480));
  form.Resize_Click();
  EXPECT_EQ(form.Session().Picture2().PictureImage().size(), QSize(90, 120));
  // A single picture: "Next" and every tick of "Auto" read it again, and it is saved as the first.
  AutoSaveWith(out_.Path(), "one");
  Load({"c.jpg"});
  form.NextFile_Click();
  form.SetChecked(MenuItem::AutoNext, true);
  Pic("c.jpg", MakeJpeg(320, 240));
  form.Timer1_Timer();
  EXPECT_EQ(std::tuple(form.Checked(MenuItem::AutoNext), form.Session().WindowTitle(),
                       JpegSize(out_.File("one_001.jpg"))),
            std::tuple(true, pics_.File("c.jpg") + "  [ 0.1M 320x240]", std::pair(160, 120)));
}

// The file manager offers the program for every type its menu entry lists: each is readable.
// PNG with transparency, WebP, TIFF, GIF, and JPEGs as a camera held sideways stores them, with the
// EXIF orientation that turns them upright, all take the road of JPEG and BMP: a red block at the
// top left on blue is shown there and saved at the upright size; the PNG's clear parts show white.
TEST_F(Form1Test, EveryListedTypeIsReadableAndEachFormatAndOrientationTakesTheWholeRoad) {
  const QString entry = QString::fromStdString(ReadFile(SNAPWICK_DESKTOP_ENTRY));
  const QStringList types =
      entry.section("\nMimeType=", 1).section('\n', 0, 0).split(';', Qt::SkipEmptyParts);
  EXPECT_TRUE(types.contains("image/jpeg") && types.contains("image/bmp")) << entry.toStdString();
  for (const QString& type : types)
    EXPECT_TRUE(QImageReader::supportedMimeTypes().contains(type.toUtf8())) << type.toStdString();
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
  Form1& form = Start(1);
  AutoSaveWith(out_.Path(), "f");
  Load(names);
  std::string saved;
  for (size_t n = 0; n < names.size(); ++n, form.NextFile_Click()) {
    const QImage shown = form.Session().Picture2().PictureImage();
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

// Runs as its own CTest entry with QT_SCALE_FACTOR=2 (see tests/CMakeLists.txt): the box keeps
// its pixel size while the date is drawn at the device's resolution, so that many 2 x 2 blocks of
// device pixels where white text meets the picture are partly white (text drawn at the box's own
// pixels and enlarged would leave each block whole).
TEST_F(Form1Test, HiDpiKeepsPixelSizesAndDrawsSharpText) {
  Form1& form = Start(2);
  if (form.devicePixelRatioF() != 2) GTEST_SKIP() << "needs a device pixel ratio of 2";
  form.Session().Picture2().SetTextAntialiasing(false);
  AutoSaveWith(out_.Path(), "hd");
  Pic("a.jpg", MakeJpeg(800, 600, Solid({20, 60, 140})));
  Load({"a.jpg"});
  EXPECT_EQ(Folder(out_.Path()), "hd_001.jpg 640x480");
  const QImage shown = form.Picture2->grab().toImage();
  int mixed = 0;
  for (int i = 0; i < 200 * 20; ++i) {
    const int white = CountPixels(shown, QRect(i % 200 * 2, i / 200 * 2, 2, 2),
                                  [](QColor c) { return c == Qt::white; });
    mixed += white > 0 && white < 4;
  }
  EXPECT_TRUE(shown.size() == QSize(1280, 960) && mixed > 20) << mixed;
}

// A long run: 300 pictures of mixed sizes up to 12 megapixels, stepped through by "Auto" on a fast
// timer with "Auto Save" and the date on. Every picture is saved under its number at its fitted
// size, and the resident memory settles: after picture 300 it is within 10 % of its level after
// picture 20 (under AddressSanitizer both include the quarantine of freed memory, which fills
// within the first pictures and then stays full).
TEST_F(Form1Test, SoakThreeHundredPictures) {
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
  Form1& form = Start(2);
  AutoSaveWith(out_.Path(), "soak");
  int64_t resident[2] = {-1, -1};  // after pictures 20 and 300
  QObject::connect(&form.Timer1, &QTimer::timeout, &form, [&] {
    if (form.Session().Files().CurrentFile == 21 || form.Session().Files().CurrentFile == 301)
      resident[form.Session().Files().CurrentFile / 300] = ProcStatusKb("VmRSS");
  });
  Load(names);
  Auto();
  EXPECT_EQ(std::tuple(Folder(out_.Path()), Log()), std::tuple(expected, ""));
  const double change = 100.0 * (resident[1] - resident[0]) / resident[0];
  std::printf(
      "[   SOAK   ] resident memory after picture 20: %ld kB, after 300: %ld kB (%+.1f %%)\n",
      resident[0], resident[1], change);
  EXPECT_TRUE(resident[0] > 0 && std::abs(change) <= 10.0) << "resident memory did not settle";
}

}  // namespace snapwick::test
