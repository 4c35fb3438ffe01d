// The main window: its menus, its start-up, quitting, and the road of the pictures through it.

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QScrollBar>

#include "platform/Settings.h"
#include "ui/UiFixture.h"

namespace snapwick::test {

// A menu's items in order: caption, submenu in braces, shortcut, and [x] or [ ] for a check item
// as it starts; "-" for a separator.
static QString Describe(QMenu* menu) {
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

TEST_F(Form1Test, MenuTreeShortcutsAndQuitting) {
  Form1& form = Start();
  QStringList menus;
  for (QAction* top : form.menuBar()->actions())
    menus << top->text() + ": " + Describe(top->menu());
  EXPECT_EQ(menus.join("\n"),
            "&File: Load... Ctrl+O, Date Ctrl+D, Label Ctrl+L, Picture Data Ctrl+I [ ], Configure "
            "Picture Data..., -, Auto Date [x], Use PC Time Zone [x], Auto Save [ ], Auto Label "
            "[ ], -, Clear Ctrl+C, Font..., -, Save as... Ctrl+S, Exit Ctrl+Q\n&View: Next "
            "Ctrl+N, Prev Ctrl+P, Auto Ctrl+A [ ], -, Resize {160x120, 320x240, 640x480, "
            "800x600, 1024x768, 1280x960, 1600x1200}, Refresh F5, -, Picture Data\n&Window: "
            "Border [x], Hide Menu F6 [ ], -, Check Black\n&Help: About");
  // The shortcuts act while the menus are hidden too; a check item switches once.
  form.HideMenu_Click();
  form.activateWindow();
  QTest::keyClick(&form, Qt::Key_A, Qt::ControlModifier);
  form.Action("AutoDate")->trigger();
  EXPECT_TRUE(form.Checked("AutoNext") && !form.Checked("AutoDate"));
  form.Picture2->Cls();
  const QImage clean = form.Picture2->Image();
  form.PicturePrint(0, 0, "drawn", 0xFFFFFF, 0);
  QTest::keyClick(&form, Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(form.Picture2->Image(), clean);
  // The quit question: No keeps the window, Yes quits.
  dialogs_.yesNo = {false, false, true, true};
  form.close();
  form.Exit_Click();
  EXPECT_TRUE(form.isVisible() && quits_ == 0);
  form.Exit_Click();
  EXPECT_EQ(quits_, 1);
  form.close();
  EXPECT_EQ(std::tuple(quits_, dialogs_.questions),
            std::tuple(2, std::vector<std::string>(4, "Snapwick|Do you want to quit")));
}

TEST_F(Form1Test, StartUp) {
  // Stored quality, font and picture data items are read where sound, else the defaults hold:
  // {quality, font, items, quality read, the auto-save dialog's bar}.
  const std::string zeros = "0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,";
  // clang-format off
  const std::tuple<const char*, const char*, std::string, int, int> cases[] = {
      {nullptr, nullptr, "", 90, 90}, {"75", "Arial", "1,1,1", 75, 75},
      {"abc", "Arial:big:True:False", "1,x," + zeros + "0,0,0", 90, 90},
      {"70000", "A:B:12:True:False", "5," + zeros + "0,0,0,0,", 90, 90},
      {"", "::::", "1", 90, 90}, {"-40000", "", "", 90, 90}, {"500", "Arial:12", ",", 500, 200}};
  // clang-format on
  for (const auto& [quality, font, items, read, bar] : cases) {
    ClearSettings();
    if (quality) SettingsStore::SaveSetting("Quality", quality);
    if (font) SettingsStore::SaveSetting("Font", font);
    if (!items.empty()) SettingsStore::SaveSetting("PicData", items);
    Form1& form = Start();
    EXPECT_EQ(std::tuple(form.Quality, form.form2()->QScroll->value(),
                         form.Picture2->font() == PictureBox().font(), Ticked()),
              std::tuple(read, bar, true, std::string(27, '0')))
        << (quality ? quality : "nothing stored");
  }
  // Fixed sizes that do not fit the screen are disabled; one that fits sizes the box exactly and
  // shows the size caption in blue.
  ScreenMetrics::Override(ScreenMetrics::Values{15, 15, 1024 * 15, 768 * 15});
  Form1& form = Start(2);
  for (int i = 0; i < 7; ++i)
    EXPECT_EQ(form.Action("FixedSize(" + std::to_string(i) + ")")->isEnabled(), i <= 3) << i;
  EXPECT_EQ(form.Picture2->Image().size(), QSize(640, 480));
  EXPECT_GT(CountPixels(form.Picture2->Image(), QRect(0, 0, 120, 20),
                        [](QColor c) { return c.blue() > 180 && c.red() < 80; }),
            10);
}

// Five pictures through the road with "Auto Save", the date and a slide show: fitted, titled,
// stepped by "Prev", "Auto" and "Next", saved with the date on them, and named by the show.
TEST_F(Form1Test, RoadOfFivePictures) {
  const int sizes[][2] = {{800, 600}, {600, 800}, {1200, 400}, {400, 300}, {1000, 1000}};
  for (int i = 0; i < 5; ++i)
    Pic(std::string(1, 'a' + i) + ".jpg", MakeJpeg(sizes[i][0], sizes[i][1], Solid({30, 60, 90})));
  Form1& form = Start(2);
  AutoSaveWith(out_.Path(), "trip", false, true);
  Load({"a.jpg", "b.jpg", "c.jpg", "d.jpg", "e.jpg"});
  EXPECT_EQ(form.windowTitle().toStdString(),
            pics_.File("a.jpg") + "  [ 0.5M 800x600] Photo 1 of 5");
  // A cancelled open dialog and "Prev" on the first picture change nothing.
  form.Load_Click();
  form.PrevFile_Click();
  EXPECT_EQ(form.Files.CurrentFile, 2);
  Auto();
  EXPECT_EQ(form.WindowTitle, pics_.File("e.jpg") + "  [ 1.0M 1000x1000] Photo 5 of 5");
  EXPECT_EQ(Folder(out_.Path()),
            "slides.htm, slideshow.js, tripSlideShow.htm, trip_001.jpg 640x480, trip_002.jpg "
            "360x480, trip_003.jpg 640x213, trip_004.jpg 640x480, trip_005.jpg 480x480");
  // The date in white at the top left of each saved picture; the show names exactly them.
  std::string names;
  for (int n = 1; n <= 5; ++n) {
    const std::string name = "trip_00" + std::to_string(n) + ".jpg";
    names += (n == 1 ? "\r\n\t\t'" : "\r\n\t\t,'") + name + "'";
    EXPECT_GT(CountPixels(QImage(out_.File(name).c_str()), QRect(0, 0, 100, 12), Bright), 30);
  }
  EXPECT_NE(ReadFile(out_.File("slides.htm")).find("(" + names + "\r\n\t)"), std::string::npos);
  // Past the end the last picture stays; "Refresh" has nothing to fit and says so.
  const Screen last = Shown();
  form.NextFile_Click();
  ExpectKept(last);
  form.SetDate_Click();
  const QImage dated = form.Picture2->Image();
  form.Resize_Click();
  EXPECT_EQ(std::tuple(form.Picture2->Image(), dialogs_.messages.size()), std::tuple(dated, 1u));
  for (int back = 0; back < 3; ++back)
    form.PrevFile_Click();
  EXPECT_EQ(form.WindowTitle, pics_.File("b.jpg") + "  [ 0.5M 600x800] Photo 2 of 5");
  // A new size refits on "Refresh" only.
  form.FixedSize_Click(0);
  QApplication::processEvents();
  EXPECT_EQ(form.Picture2->PictureImage().size(), QSize(360, 480));
  form.Resize_Click();
  EXPECT_EQ(form.Picture2->PictureImage().size(), QSize(90, 120));
}

TEST_F(Form1Test, SinglePictures) {
  const std::string c = Pic("c.jpg", MakeJpeg(1200, 400));
  Form1& form = Start(0);
  AutoSaveWith(out_.Path(), "one");
  Load({"c.jpg"});
  EXPECT_EQ(form.WindowTitle, c + "  [ 0.5M 1200x400]");
  form.PrevFile_Click();
  EXPECT_EQ(form.Files.CurrentFile, 0);
  // "Next" and every tick of "Auto" read it again.
  form.NextFile_Click();
  form.SetChecked("AutoNext", true);
  Pic("c.jpg", MakeJpeg(320, 240));
  form.Timer1_Timer();
  EXPECT_TRUE(form.Checked("AutoNext"));
  EXPECT_EQ(form.WindowTitle, c + "  [ 0.1M 320x240]");
  // Saved under its own name.
  AutoSaveWith(out_.Path(), "", true);
  Pic("IMG_0001.JPG", MakeJpeg(320, 240));
  Load({"IMG_0001.JPG"});
  EXPECT_EQ(Folder(out_.Path()), "IMG_0001.JPG 160x120, one_001.jpg 160x120");
}

}  // namespace snapwick::test
