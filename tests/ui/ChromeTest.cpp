// The window's chrome and its stand-ins for the desktop's services: translucent windows, the
// fading "About", the frame and its style words, the window menu, hiding the menus, the black
// check, the clipboard, the open dialog's filter and selection, and surfaces as images.

#include "chrome/Form3.h"
#include "chrome/modTransparant.h"
#include "platform/Clipboard.h"
#include "platform/clsStyle.h"
#include "ui/UiFixture.h"

namespace snapwick::test {

TEST_F(Form1Test, TranslucencyTheFadingAboutFrameMenusKeysAndTheBlackCheck) {
  Form1& form = Start(2);
  const std::pair<QWidget*, int> windows[] = {{form.form3(), 128}, {form.form2(), 204},
                                              {form.form4(), 204}, {form.form5(), 204},
                                              {form.form6(), 128}, {&form, 255}};
  for (const auto& [window, alpha] : windows)
    EXPECT_NEAR(window->windowOpacity(), alpha / 255.0, 0.002) << alpha;
  Form3& about = *form.form3();
  about.Timer1.stop();  // the test steps the fade itself
  std::vector<int32_t> levels;
  dialogs_.onModal = [&](QDialog*) {
    EXPECT_EQ(about.windowOpacity(), 0);  // it starts invisible
    for (int tick = 0; tick < 12; ++tick, about.Timer1_Timer())
      levels.push_back(about.TransparencyLevel);
  };
  form.About_Click();
  form.About_Click();  // starts again from invisible
  EXPECT_EQ(levels, (std::vector<int32_t>{100, 95, 90, 85, 80, 75, 70, 65, 60, 55, 50, 50,  //
                                          100, 95, 90, 85, 80, 75, 70, 65, 60, 55, 50, 50}));
  EXPECT_EQ(about.Label2[0]->text(), "Canvas Size 640x480");

  // Without the title bar the window stays shown, frameless; the z-order is all that "TopMost"
  // writes.
  clsStyle& style = *form.Style;
  style.Titlebar(false);
  const uint32_t bits = style.StyleBits();
  style.TopMost(true);
  EXPECT_TRUE((bits & clsStyle::WS_CAPTION) == 0 && style.StyleBits() == bits && form.isVisible() &&
              form.windowFlags().testFlags(Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint));
  // The window menu comes on a right release only when switched on, at a 16-bit position.
  style.mClient_MouseUp(Qt::RightButton, QPoint(50, 60));
  style.AutoSysMenu(true);
  style.mClient_MouseUp(Qt::LeftButton, QPoint(50, 60));
  EXPECT_EQ(style.SysMenu(), nullptr);
  style.mClient_MouseUp(Qt::RightButton, QPoint(50, 60));
  ASSERT_TRUE(style.SysMenu() && style.SysMenu()->isVisible());
  style.SysMenu()->hide();
  EXPECT_THROW(style.ShowSysMenu(40000, 5), SnapError);

  // "Border" off and on brings the whole frame back, with the title.
  form.OpenPictures({Pic("a.jpg", MakeJpeg(64, 48)).c_str()});
  form.Border_Click();
  style.MaxButton(false);
  form.Border_Click();
  EXPECT_TRUE(style.Titlebar() && style.AutoSysMenu() && style.MaxButton() && style.MinButton() &&
              style.ControlBox() && style.Sizable());
  EXPECT_EQ(form.windowTitle().toStdString(), form.Session().WindowTitle());
  // "Hide Menu" takes the frame along; showing the menus does not bring it back.
  form.HideMenu_Click();
  EXPECT_FALSE(form.menuBar()->isVisible() || form.Checked(MenuItem::Border) || style.Titlebar());
  form.HideMenu_Click();
  EXPECT_TRUE(form.menuBar()->isVisible() && !form.Checked(MenuItem::Border));
  // Without frame and menus the box takes the whole height.
  form.HideMenu_Click();
  form.resize(700, 500);
  QApplication::processEvents();
  EXPECT_EQ(form.Session().ViewPixelHeight(), form.height());
  form.Border_Click();
  EXPECT_EQ(form.Session().ViewPixelHeight(), form.height() - 40);
  // F11 toggles the menu bar; a right click pops up the View menu.
  QTest::keyRelease(form.Picture2, Qt::Key_F11);
  EXPECT_TRUE(form.menuBar()->isVisible());
  QTest::keyRelease(&form, Qt::Key_F11);
  QTest::mouseClick(form.Picture2, Qt::LeftButton);
  EXPECT_FALSE(form.menuBar()->isVisible() || form.Menu(MenuName::ViewPics)->isVisible());
  QTest::mousePress(form.Picture2, Qt::RightButton);
  EXPECT_TRUE(form.Menu(MenuName::ViewPics)->isVisible());
  // The black check samples the whole picture: black but for a bright patch of about 2 % of the
  // area is not black (the verdict on its ratio is tested with the black check's core).
  QImage black = ImageFromSurface(MakeSurface(640, 480, Solid({2, 2, 2})));
  QPainter(&black).fillRect(QRect(300, 200, 89, 69), QColor(200, 200, 200));
  form.Session().Picture2().SetBoxSize(640, 480);
  form.Session().Picture2().SetPicture(black);
  form.CheckIfBalck_Click();
  EXPECT_EQ(form.LogMessage->text().left(22).toStdString(), "Non Black Picture  0.9");
}

TEST(Platform, TransparencyClipboardOpenDialogAndSurfaces) {
  // The percentage of transparency as the window's opacity, rounded; out of range the opacity is
  // kept (alpha -1).
  QWidget window;
  const int cases[][3] = {{0, 0, 255}, {55, 0, 115}, {95, 0, 13},
                          {100, 0, 0}, {101, 1, -1}, {-1, 1, -1}};
  for (const auto& [percentage, result, alpha] : cases) {
    window.setWindowOpacity(0.5);
    EXPECT_EQ(SetTransparency(&window, static_cast<int16_t>(percentage)), result) << percentage;
    EXPECT_NEAR(window.windowOpacity(), alpha < 0 ? 0.5 : alpha / 255.0, 0.002) << percentage;
  }
  EXPECT_EQ(SetTransparency(nullptr, 20), kTransparencyUnavailable);

  // A surface goes on the clipboard as a picture, and one of an odd width, its rows padded, comes
  // back from the picture as it was. As a DIB it is refused with a message, and an empty one too.
  FakeDialogHost dialogs;
  QGuiApplication::clipboard()->setText("before");
  EXPECT_FALSE(CopyToClipboard(MakeSurface(7, 5), true, dialogs) ||
               CopyToClipboard(cDIBSection(), false, dialogs));
  EXPECT_EQ(std::tuple(dialogs.messages.size(), QGuiApplication::clipboard()->text()),
            std::tuple(1u, "before"));
  EXPECT_TRUE(CopyToClipboard(MakeSurface(7, 5), false, dialogs));
  const QImage copied = QGuiApplication::clipboard()->image();
  EXPECT_EQ(copied.pixelColor(6, 4), QColor(Gradient(6, 4).r, Gradient(6, 4).g, Gradient(6, 4).b));
  cDIBSection back;
  SurfaceFromImage(copied, back);
  EXPECT_TRUE(back.Width() == 7 && PixelAt(back, 6, 0) == Gradient(6, 0) &&
              PixelAt(back, 3, 4) == Gradient(3, 4));

  // The open dialog's filter matches any letter case.
  const QStringList filters = NameFiltersFor("Image Files|*.jpg;*.jpeg;*.bmp");
  QStringList matched;
  for (const char* name : {"a.jpg", "b.JPG", "c.Jpeg", "d.bmP", "e.png", "f.jpg.txt", "jpg"})
    for (const QString& pattern : filters.value(0).section('(', 1).chopped(1).split(' '))
      if (QRegularExpression::fromWildcard(pattern, Qt::CaseSensitive).match(name).hasMatch())
        matched << name;
  EXPECT_EQ(std::tuple(filters.size(), matched),
            std::tuple(1, QStringList({"a.jpg", "b.JPG", "c.Jpeg", "d.bmP"})));
  // Its selection: the folder and the names, in UTF-8; nine names of a thousand characters
  // fit in the limit of 10000, a tenth does not.
  EXPECT_FALSE(SelectionFromPaths({}));
  EXPECT_EQ(*SelectionFromPaths({"/pics/a.jpg", "/pics/b b.jpg", "/pics/ü.jpg"}),
            std::string("/pics\0a.jpg\0b b.jpg\0\xC3\xBC.jpg", 26));
  QStringList paths(9, "/p/" + QString(995, 'a') + ".jpg");
  EXPECT_TRUE(SelectionFromPaths(paths));
  paths << paths[0];
  EXPECT_FALSE(SelectionFromPaths(paths));
}

}  // namespace snapwick::test
