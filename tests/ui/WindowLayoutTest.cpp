// Where things sit in the window: the log line below the display box, never over the picture,
// keeping its message; the whole picture answers a right click; Refresh with nothing shown.

#include "platform/clsStyle.h"
#include "ui/UiFixture.h"

namespace snapwick::test {

TEST_F(Form1Test, TheLogLineLiesBelowTheBoxAndTheWholePictureOpensTheViewMenu) {
  Form1& form = Start();
  // With nothing shown, Refresh does nothing and says nothing.
  form.Resize_Click();
  EXPECT_TRUE(dialogs_.messages.empty());
  for (const int size : {2, 3}) {
    form.FixedSize_Click(size);
    QApplication::processEvents();
    EXPECT_GE(form.LogMessage->y(), form.Picture2->y() + form.Picture2->height()) << size;
    // A right click on the picture's last row opens the View menu.
    const QPoint bottom(form.Picture2->width() / 2, form.Picture2->height() - 1);
    QWidget* under =
        form.centralWidget()->childAt(form.Picture2->mapTo(form.centralWidget(), bottom));
    EXPECT_EQ(under, form.Picture2) << size;
    QTest::mousePress(form.Picture2, Qt::RightButton, {}, bottom);
    EXPECT_TRUE(form.Menu(MenuName::ViewPics)->isVisible()) << size;
    form.Menu(MenuName::ViewPics)->hide();
  }
  // The black check's verdict stays while the next picture is shown.
  Pic("a.jpg", MakeJpeg(64, 48));
  Load({"a.jpg", "a.jpg"});
  form.CheckIfBalck_Click();
  const QString verdict = form.LogMessage->text();
  form.NextFile_Click();
  EXPECT_TRUE(verdict.startsWith("Non Black Picture") && form.LogMessage->text() == verdict);
}

TEST_F(Form1Test, ACaptionlessWindowKeepsItsBorderAndOffersMoveAndSize) {
  Form1& form = Start();
  form.Border_Click();
  const Qt::WindowFlags flags = form.windowFlags();
  EXPECT_TRUE(flags.testFlag(Qt::CustomizeWindowHint) &&
              !flags.testAnyFlags(Qt::FramelessWindowHint | Qt::WindowTitleHint));
  // The window menu comes on a right release and on Alt+Space, with "Move" and "Size" on.
  EXPECT_TRUE(form.Style->AutoSysMenu());
  QTest::keyClick(&form, Qt::Key_Space, Qt::AltModifier);
  ASSERT_TRUE(form.Style->SysMenu() && form.Style->SysMenu()->isVisible());
  QStringList enabled;
  for (QAction* action : form.Style->SysMenu()->actions())
    if (action->isEnabled() && !action->isSeparator()) enabled << action->text();
  form.Style->SysMenu()->hide();
  EXPECT_EQ(enabled.join(","), "Move,Size,Minimize,Maximize,Close");
}

}  // namespace snapwick::test
