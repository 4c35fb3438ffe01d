#include <gtest/gtest.h>

#include <QAction>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>

#include "chrome/Form3.h"
#include "chrome/Form6.h"
#include "chrome/modTransparant.h"
#include "labels/Form2.h"
#include "labels/Form4.h"
#include "metadata/Form5.h"
#include "platform/Error.h"
#include "platform/PictureBox.h"
#include "platform/clsStyle.h"
#include "support/TestEnvironment.h"
#include "ui/UiTestSupport.h"

namespace snapwick::test {
namespace {

TEST(Transparency, PercentageToAlpha) {
  QWidget window;
  const struct {
    int percentage;
    int32_t result;
    int alpha;  // -1: unchanged
  } cases[] = {{0, 0, 255}, {20, 0, 204}, {50, 0, 128}, {55, 0, 115}, {90, 0, 26},
               {95, 0, 13}, {100, 0, 0},  {101, 1, -1}, {-1, 1, -1}};
  for (const auto& c : cases) {
    window.setWindowOpacity(0.5);
    EXPECT_EQ(SetTransparency(&window, static_cast<int16_t>(c.percentage)), c.result)
        << c.percentage;
    const double expected = c.alpha < 0 ? 0.5 : c.alpha / 255.0;
    EXPECT_NEAR(window.windowOpacity(), expected, 0.002) << c.percentage;
  }
  EXPECT_EQ(SetTransparency(nullptr, 20), kTransparencyUnavailable);
}

TEST_F(Form1Test, DialogsAreTranslucentFromTheStart) {
  Form1& form = Start();
  EXPECT_NEAR(form.form3()->windowOpacity(), 128 / 255.0, 0.002);
  EXPECT_NEAR(form.form2()->windowOpacity(), 204 / 255.0, 0.002);
  EXPECT_NEAR(form.form4()->windowOpacity(), 204 / 255.0, 0.002);
  EXPECT_NEAR(form.form5()->windowOpacity(), 204 / 255.0, 0.002);
  EXPECT_NEAR(form.form6()->windowOpacity(), 128 / 255.0, 0.002);
  EXPECT_EQ(form.windowOpacity(), 1.0);
}

TEST_F(Form1Test, AboutFadesInFromInvisibleToHalfTransparent) {
  Form1& form = Start();
  FixSize(2);
  Form3* about = form.form3();
  std::vector<int32_t> levels;
  dialogs_.onModal = [&](QDialog* dialog) {
    if (dialog != about) return;
    EXPECT_EQ(about->TransparencyLevel, 100);
    EXPECT_NEAR(about->windowOpacity(), 0, 0.002);
    for (int tick = 0; tick < 12; ++tick) {
      about->Timer1_Timer();
      levels.push_back(about->TransparencyLevel);
    }
  };
  form.About_Click();
  EXPECT_EQ(about->Label1[0]->text(), "Snapwick v1.0.0");
  EXPECT_EQ(about->Label2[0]->text(), "Canvas Size 640x480");
  EXPECT_EQ(about->Label1[1]->text(), about->Label1[0]->text());
  EXPECT_EQ(about->Label2[1]->pos(), about->Label2[0]->pos() + QPoint(3, 3));
  const std::vector<int32_t> expected = {95, 90, 85, 80, 75, 70, 65, 60, 55, 50, 50, 50};
  EXPECT_EQ(levels, expected);
  EXPECT_NEAR(about->windowOpacity(), 128 / 255.0, 0.002);
  // A second "About" starts again from invisible.
  levels.clear();
  form.About_Click();
  ASSERT_FALSE(levels.empty());
  EXPECT_EQ(levels.front(), 95);
  EXPECT_EQ(about->Timer1.interval(), 100);
}

TEST_F(Form1Test, StyleWordsFollowTheFrame) {
  Form1& form = Start();
  clsStyle& style = *form.Style;
  EXPECT_NE(style.hWnd(), 0u);
  EXPECT_TRUE(style.Titlebar());
  EXPECT_TRUE(style.ControlBox());
  style.Titlebar(false);
  EXPECT_EQ(style.StyleBits() & clsStyle::WS_CAPTION, 0u);
  EXPECT_FALSE(style.Titlebar());
  EXPECT_TRUE(form.windowFlags() & Qt::FramelessWindowHint);
  EXPECT_TRUE(form.isVisible());
  // Either of the caption's two bits reads as a title bar.
  style.Titlebar(true);
  EXPECT_TRUE(style.Titlebar());
  EXPECT_FALSE(form.windowFlags() & Qt::FramelessWindowHint);
  EXPECT_TRUE(form.windowFlags() & Qt::WindowTitleHint);

  style.MaxButton(false);
  EXPECT_FALSE(style.MaxButton());
  EXPECT_FALSE(form.windowFlags() & Qt::WindowMaximizeButtonHint);
  style.MaxButton(true);
  EXPECT_TRUE(form.windowFlags() & Qt::WindowMaximizeButtonHint);

  const uint32_t before = style.StyleBits();
  style.TopMost(true);
  EXPECT_TRUE(style.TopMost());
  EXPECT_EQ(style.StyleBits(), before);
  EXPECT_TRUE(form.windowFlags() & Qt::WindowStaysOnTopHint);
  style.TopMost(false);
  EXPECT_FALSE(form.windowFlags() & Qt::WindowStaysOnTopHint);

  style.Sizable(false);
  EXPECT_EQ(form.minimumSize(), form.maximumSize());
  style.Sizable(true);
  EXPECT_NE(form.minimumSize(), form.maximumSize());
}

TEST(Style, WithoutAClientNothingHappens) {
  clsStyle style;
  EXPECT_EQ(style.hWnd(), 0u);
  style.Titlebar(false);
  style.ShowSysMenu(10, 10);
  EXPECT_EQ(style.SysMenu(), nullptr);
}

TEST_F(Form1Test, WindowMenuOnRightReleaseOnlyWhenSwitchedOn) {
  Form1& form = Start();
  clsStyle& style = *form.Style;
  style.mClient_MouseUp(Qt::RightButton, QPoint(50, 60));
  EXPECT_EQ(style.SysMenu(), nullptr);
  style.AutoSysMenu(true);
  style.mClient_MouseUp(Qt::LeftButton, QPoint(50, 60));
  EXPECT_EQ(style.SysMenu(), nullptr);
  style.mClient_MouseUp(Qt::RightButton, QPoint(50, 60));
  ASSERT_NE(style.SysMenu(), nullptr);
  EXPECT_TRUE(style.SysMenu()->isVisible());
  QStringList captions;
  for (QAction* action : style.SysMenu()->actions()) {
    if (!action->isSeparator()) captions << action->text();
  }
  EXPECT_EQ(captions, QStringList({"Restore", "Minimize", "Maximize", "Close"}));
  style.SysMenu()->hide();
  EXPECT_THROW(style.ShowSysMenu(40000, 5), SnapError);
}

TEST_F(Form1Test, BorderSwitchesTheFrameAndBringsTheTitleBack) {
  Form1& form = Start();
  form.WindowTitle = "/p/a.jpg  [ 0.3M 640x480]";
  form.Border_Click();
  EXPECT_FALSE(form.Checked("Border"));
  EXPECT_FALSE(form.Style->Titlebar());
  EXPECT_TRUE(form.Style->ControlBox());  // the other parts keep their state
  form.setWindowTitle("something else");
  form.Border_Click();
  EXPECT_TRUE(form.Checked("Border"));
  EXPECT_TRUE(form.Style->Titlebar());
  EXPECT_TRUE(form.Style->AutoSysMenu());
  EXPECT_TRUE(form.Style->MaxButton());
  EXPECT_TRUE(form.Style->MinButton());
  EXPECT_TRUE(form.Style->Sizable());
  EXPECT_EQ(form.windowTitle().toStdString(), form.WindowTitle);
}

TEST_F(Form1Test, HideMenuTakesTheFrameButShowingMenusDoesNotBringItBack) {
  Form1& form = Start();
  form.HideMenu_Click();
  EXPECT_TRUE(form.Checked("HideMenu"));
  EXPECT_FALSE(form.menuBar()->isVisible());
  EXPECT_FALSE(form.Checked("Border"));
  EXPECT_FALSE(form.Style->Titlebar());
  // Shortcuts still work without the menus.
  QTest::keyClick(&form, Qt::Key_A, Qt::ControlModifier);
  EXPECT_TRUE(form.Checked("AutoNext"));
  form.HideMenu_Click();
  EXPECT_FALSE(form.Checked("HideMenu"));
  EXPECT_TRUE(form.menuBar()->isVisible());
  EXPECT_FALSE(form.Checked("Border"));
  // With the frame off and the menus hidden the box takes the whole height.
  form.HideMenu_Click();
  form.resize(700, 500);
  QApplication::processEvents();
  EXPECT_EQ(form.ViewHeight, form.height() * 15.0);
  form.Border_Click();
  EXPECT_EQ(form.ViewHeight, form.height() * 15.0 - 600);
}

TEST_F(Form1Test, CheckBlackOnGeneratedPictures) {
  Form1& form = Start();
  FixSize(2);
  const auto check = [&](const QImage& picture) {
    form.Picture2->SetBoxSize(picture.width(), picture.height());
    form.Picture2->SetPicture(picture);
    return form.IsBlack();
  };
  QImage black(640, 480, QImage::Format_RGB32);
  black.fill(qRgb(2, 2, 2));
  EXPECT_TRUE(check(black));
  EXPECT_EQ(form.LogMessage->text(), "Black Picture  1");

  QImage white(640, 480, QImage::Format_RGB32);
  white.fill(Qt::white);
  EXPECT_FALSE(check(white));
  EXPECT_EQ(form.LogMessage->text(), "Non Black Picture  0");

  // Black but for a bright patch of about 2 % of the area.
  QImage patch = black;
  for (int y = 0; y < 69; ++y) {
    for (int x = 0; x < 89; ++x)
      patch.setPixel(300 + x, 200 + y, qRgb(200, 200, 200));
  }
  EXPECT_FALSE(check(patch));
  EXPECT_TRUE(form.LogMessage->text().startsWith("Non Black Picture  0.9"));

  ScopedLocale german("de_DE");
  check(patch);
  EXPECT_TRUE(form.LogMessage->text().startsWith("Non Black Picture  0,9"));
}

}  // namespace
}  // namespace snapwick::test
