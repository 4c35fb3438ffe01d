// The window's chrome and its stand-ins for the desktop's services: translucent windows, the
// fading "About", the frame and its style words, the window menu, hiding the menus, clicks on
// the box, a screen of two device pixels to a pixel, the clipboard, the open dialog's
// filter and selection, and surfaces as images.

#include "chrome/Form3.h"
#include "chrome/modTransparant.h"
#include "platform/Clipboard.h"
#include "platform/clsStyle.h"
#include "ui/UiFixture.h"

namespace snapwick::test {

// The dialogs and "About" are translucent, the main window is not.
TEST_F(Form1Test, DialogsAreTranslucent) {
  Form1& form = Start();
  const std::pair<QWidget*, int> windows[] = {{form.form3(), 128}, {form.form2(), 204},
                                              {form.form4(), 204}, {form.form5(), 204},
                                              {form.form6(), 128}, {&form, 255}};
  for (const auto& [window, alpha] : windows)
    EXPECT_NEAR(window->windowOpacity(), alpha / 255.0, 0.002) << alpha;
}

// "About" fades in from invisible each time it opens, and tells the canvas's size.
TEST_F(Form1Test, AboutFadesInEachTimeAndTellsTheCanvasSize) {
  Form1& form = Start(2);
  Form3& about = *form.form3();
  about.Timer1.stop();  // the test steps the fade itself
  std::vector<int32_t> levels;
  dialogs_.onModal = [&](QDialog*) {
    EXPECT_EQ(about.windowOpacity(), 0);
    for (int tick = 0; tick < 12; ++tick, about.Timer1_Timer())
      levels.push_back(about.TransparencyLevel);
  };
  form.About_Click();
  form.About_Click();
  EXPECT_EQ(levels, (std::vector<int32_t>{100, 95, 90, 85, 80, 75, 70, 65, 60, 55, 50, 50,  //
                                          100, 95, 90, 85, 80, 75, 70, 65, 60, 55, 50, 50}));
  EXPECT_EQ(about.Label2[0]->text(), "Canvas Size 640x480");
}

// The window menu comes on a right release only when switched on, and on Alt+Space, at a 16-bit
// position. Without a title bar, and where the desktop cannot move or size it with the mouse,
// the window is moved and sized from it by the arrow keys: Enter keeps the change, Escape puts the
// window back.
TEST_F(Form1Test, WindowMenuMovesAndSizesTheWindowByKeys) {
  Form1& form = Start();
  clsStyle& style = *form.Style;
  style.SystemTracking = [](QWindow*, clsStyle::Tracking) { return false; };
  style.Titlebar(false);
  style.mClient_MouseUp(Qt::RightButton, QPoint(50, 60));
  style.AutoSysMenu(true);
  style.mClient_MouseUp(Qt::LeftButton, QPoint(50, 60));
  EXPECT_EQ(style.SysMenu(), nullptr);
  style.mClient_MouseUp(Qt::RightButton, QPoint(50, 60));
  ASSERT_TRUE(style.SysMenu() && style.SysMenu()->isVisible());
  style.SysMenu()->hide();
  QTest::keyClick(&form, Qt::Key_Space, Qt::AltModifier);
  ASSERT_TRUE(style.SysMenu()->isVisible());
  style.SysMenu()->hide();
  QStringList items;  // a disabled item in brackets
  for (QAction* action : style.SysMenu()->actions())
    items << QString(action->isEnabled() || action->isSeparator() ? "%1" : "[%1]")
                 .arg(action->text());
  EXPECT_EQ(items.join(","), "[Restore],Move,Size,Minimize,Maximize,,Close");
  const QPoint from = form.pos();
  const QSize size = form.size();
  style.StartTracking(clsStyle::Tracking::Move);
  QTest::keyClick(&form, Qt::Key_Right);
  QTest::keyClick(&form, Qt::Key_Down);
  EXPECT_EQ(form.pos(), from + QPoint(10, 10));
  QTest::keyClick(&form, Qt::Key_Escape);
  style.StartTracking(clsStyle::Tracking::Size);
  QTest::keyClick(&form, Qt::Key_Left);
  QTest::keyClick(&form, Qt::Key_Return);
  EXPECT_EQ(std::tuple(form.pos(), form.size(), style.Tracked()),
            std::tuple(from, size - QSize(10, 0), clsStyle::Tracking::None));
  EXPECT_THROW(style.ShowSysMenu(40000, 5), SnapError);
}

// "Move" and "Size" take the keyboard only when the desktop cannot move or size the window with
// the mouse itself, and give it back when the window loses focus or a modal dialog opens; keys
// after that reach the dialog and leave the window where it is.
TEST_F(Form1Test, WindowMenuHoldsTheKeyboardOnlyWhileTheKeysTrack) {
  Form1& form = Start();
  clsStyle& style = *form.Style;
  const auto grab = [&] { return std::tuple(QWidget::keyboardGrabber(), style.Tracked()); };
  std::vector<clsStyle::Tracking> asked;
  bool desktopTracks = true;
  style.SystemTracking = [&](QWindow*, clsStyle::Tracking kind) {
    asked.push_back(kind);
    return desktopTracks;
  };
  style.StartTracking(clsStyle::Tracking::Move);
  EXPECT_EQ(grab(), std::tuple(nullptr, clsStyle::Tracking::None));
  form.move(form.pos() + QPoint(30, 20));  // where the desktop put it
  const QPoint moved = form.pos();
  QTest::keyClick(form.windowHandle(), Qt::Key_Escape);
  EXPECT_EQ(form.pos(), moved);

  desktopTracks = false;
  style.StartTracking(clsStyle::Tracking::Size);
  EXPECT_EQ(grab(), std::tuple(&form, clsStyle::Tracking::Size));
  QDialog dialog(&form);
  QLineEdit* field = new QLineEdit(&dialog);
  dialog.open();  // modal to the window
  QApplication::processEvents();
  EXPECT_EQ(grab(), std::tuple(nullptr, clsStyle::Tracking::None));
  // Keys as the desktop delivers them, to the window that has the focus.
  field->setFocus();
  QWindow* focus = QGuiApplication::focusWindow();
  for (const Qt::Key key : {Qt::Key_O, Qt::Key_K, Qt::Key_Escape})
    QTest::keyClick(focus, key);
  EXPECT_EQ(std::tuple(focus, field->text(), form.pos(), dialog.isVisible()),
            std::tuple(dialog.windowHandle(), QString("ok"), moved, false));

  style.StartTracking(clsStyle::Tracking::Move);
  EXPECT_EQ(QWidget::keyboardGrabber(), &form);
  QWidget other;
  other.show();
  QApplication::setActiveWindow(&other);
  QApplication::processEvents();
  EXPECT_EQ(grab(), std::tuple(nullptr, clsStyle::Tracking::None));
  EXPECT_EQ(asked,
            (std::vector<clsStyle::Tracking>{clsStyle::Tracking::Move, clsStyle::Tracking::Size,
                                             clsStyle::Tracking::Move}));
}

// "Border" off takes the title bar, not the border, and leaves the window shown with its window
// menu on a right click (the z-order is all that "TopMost" writes); on again it brings the whole
// frame back, with the picture's title. "Hide Menu" takes the frame along, and showing the menus
// does not bring it back; without frame and menus the box takes the whole height.
TEST_F(Form1Test, BorderAndHideMenuShapeTheFrameAndTheBox) {
  Form1& form = Start();
  clsStyle& style = *form.Style;
  form.OpenPictures({Pic("a.jpg", MakeJpeg(64, 48))});
  form.Border_Click();
  const uint32_t bits = style.StyleBits();
  style.TopMost(true);
  EXPECT_TRUE((bits & clsStyle::WS_CAPTION) == 0 && style.StyleBits() == bits && form.isVisible() &&
              style.AutoSysMenu() &&
              form.windowFlags().testFlags(Qt::CustomizeWindowHint | Qt::WindowStaysOnTopHint) &&
              !form.windowFlags().testAnyFlags(Qt::FramelessWindowHint | Qt::WindowTitleHint));
  style.MaxButton(false);
  form.Border_Click();
  EXPECT_TRUE(style.Titlebar() && style.AutoSysMenu() && style.MaxButton() && style.MinButton() &&
              style.ControlBox() && style.Sizable());
  EXPECT_EQ(form.windowTitle().toStdString(), form.Session().WindowTitle());
  form.HideMenu_Click();
  EXPECT_FALSE(form.menuBar()->isVisible() || form.Checked(MenuItem::Border) || style.Titlebar());
  form.HideMenu_Click();
  EXPECT_TRUE(form.menuBar()->isVisible() && !form.Checked(MenuItem::Border));
  form.HideMenu_Click();
  form.resize(700, 500);
  QApplication::processEvents();
  EXPECT_EQ(form.Session().ViewPixelHeight(), form.height());
  form.Border_Click();
  EXPECT_EQ(form.Session().ViewPixelHeight(), form.height() - 40);
}

// At each size the box is whole above the log line, which never covers the picture: a right
// click anywhere on the picture, its last row too, pops up the View menu; a left click does not.
TEST_F(Form1Test, ARightClickOnTheWholeBoxAboveTheLogLineOpensTheViewMenu) {
  Form1& form = Start();
  QTest::mouseClick(form.Picture2, Qt::LeftButton);
  EXPECT_FALSE(form.Menu(MenuName::ViewPics)->isVisible());
  for (const int size : {2, 3}) {
    form.FixedSize_Click(size);
    QApplication::processEvents();
    const QPoint bottom(form.Picture2->width() / 2, form.Picture2->height() - 1);
    QWidget* central = form.centralWidget();
    EXPECT_EQ(central->childAt(form.Picture2->mapTo(central, bottom)), form.Picture2) << size;
    EXPECT_GE(form.LogMessage->y(), form.Picture2->y() + form.Picture2->height()) << size;
    QTest::mousePress(form.Picture2, Qt::RightButton, {}, bottom);
    EXPECT_TRUE(form.Menu(MenuName::ViewPics)->isVisible()) << size;
    form.Menu(MenuName::ViewPics)->hide();
  }
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

// The percentage of transparency as the window's opacity, rounded; out of range the opacity is
// kept (alpha -1).
TEST(Transparency, PercentageBecomesTheOpacity) {
  QWidget window;
  const int cases[][3] = {{0, 0, 255}, {55, 0, 115}, {95, 0, 13},
                          {100, 0, 0}, {101, 1, -1}, {-1, 1, -1}};
  for (const auto& [percentage, result, alpha] : cases) {
    window.setWindowOpacity(0.5);
    EXPECT_EQ(SetTransparency(&window, static_cast<int16_t>(percentage)), result) << percentage;
    EXPECT_NEAR(window.windowOpacity(), alpha < 0 ? 0.5 : alpha / 255.0, 0.002) << percentage;
  }
  EXPECT_EQ(SetTransparency(nullptr, 20), kTransparencyUnavailable);
}

// A surface goes on the clipboard as a picture, and one of an odd width, its rows padded, comes
// back from the picture as it was. As a DIB it is refused with a message, and an empty one too.
TEST(Clipboard, TakesASurfaceAsAPictureOnly) {
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
}

// The open dialog's filter matches any letter case. Its selection: the folder and the names, in
// UTF-8; nine names of a thousand characters fit in the limit of 10000, a tenth does not.
TEST(OpenDialog, FilterOfAnyCaseAndSelectionWithinItsLimit) {
  const QStringList filters = NameFiltersFor("Image Files|*.jpg;*.jpeg;*.bmp");
  QStringList matched;
  for (const char* name : {"a.jpg", "b.JPG", "c.Jpeg", "d.bmP", "e.png", "f.jpg.txt", "jpg"})
    for (const QString& pattern : filters.value(0).section('(', 1).chopped(1).split(' '))
      if (QRegularExpression::fromWildcard(pattern, Qt::CaseSensitive).match(name).hasMatch())
        matched << name;
  EXPECT_EQ(std::tuple(filters.size(), matched),
            std::tuple(1, QStringList({"a.jpg", "b.JPG", "c.Jpeg", "d.bmP"})));
  EXPECT_FALSE(SelectionFromPaths({}));
  EXPECT_EQ(*SelectionFromPaths({"/pics/a.jpg", "/pics/b b.jpg", "/pics/ü.jpg"}),
            std::string("/pics\0a.jpg\0b b.jpg\0\xC3\xBC.jpg", 26));
  QStringList paths(9, "/p/" + QString(995, 'a') + ".jpg");
  EXPECT_TRUE(SelectionFromPaths(paths));
  paths << paths[0];
  EXPECT_FALSE(SelectionFromPaths(paths));
}

}  // namespace snapwick::test
