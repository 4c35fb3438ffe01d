// Where things sit in the window: the log line below the display box, never over the picture,
// keeping its message; the whole picture answers a right click; Refresh with nothing shown.

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

}  // namespace snapwick::test
