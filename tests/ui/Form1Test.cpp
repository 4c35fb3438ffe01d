// The main window: its menus and shortcuts, quitting, pictures from program arguments and drops,
// the fixed sizes, "Auto" on its timer, the log line, and the open and save dialogs.

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

// Drops files on the window as a file manager does, their names' bytes percent-encoded in the
// URLs; whether the window took them.
static bool Drop(QWidget* window, const std::vector<std::string>& paths) {
  QMimeData data;
  QList<QUrl> urls;
  for (const std::string& path : paths)
    urls << QUrl::fromEncoded("file://" + QByteArray::fromStdString(path).toPercentEncoding("/"));
  data.setUrls(urls);
  QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QDropEvent drop(QPointF(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(window, &enter);
  if (enter.isAccepted()) QApplication::sendEvent(window, &drop);
  return enter.isAccepted() && drop.isAccepted();
}

TEST_F(Form1Test, MenuBarHasItsCaptionsShortcutsAndCheckMarks) {
  EXPECT_EQ(Describe(Start().menuBar()),
            "&File {Load... Ctrl+O, Date Ctrl+D, Label Ctrl+L, Picture Data Ctrl+I [ ], Configure "
            "Picture Data..., -, Auto Date [x], Use PC Time Zone [x], Use Capture Date [ ], Auto "
            "Save [ ], Auto Label [ ], Keep Picture Data in Saved Files [ ], -, Clear Ctrl+C, "
            "Font..., -, Save as... Ctrl+S, Save All Ctrl+Shift+S, Exit Ctrl+Q}, &View {Next "
            "Ctrl+N, Prev Ctrl+P, Auto Ctrl+A [ ], -, Resize {160x120, 320x240, 640x480, 800x600, "
            "1024x768, 1280x960, 1600x1200}, Refresh F5, -, Picture Data}, &Window {Border [x], "
            "Hide Menu F6 [ ], -, Check Black}, &Help {About}");
}

// F11 hides and shows the menus, on the box and on the window; the shortcuts act while the menus
// are hidden too, and a check item switches once.
TEST_F(Form1Test, F11TogglesTheMenusAndShortcutsActWhileTheyAreHidden) {
  Form1& form = Start();
  QTest::keyRelease(form.Picture2, Qt::Key_F11);
  EXPECT_FALSE(form.menuBar()->isVisible());
  QTest::keyClick(&form, Qt::Key_A, Qt::ControlModifier);
  form.Action(MenuItem::AutoDate)->trigger();
  EXPECT_TRUE(form.Checked(MenuItem::AutoNext) && !form.Checked(MenuItem::AutoDate));
  QTest::keyRelease(&form, Qt::Key_F11);
  EXPECT_TRUE(form.menuBar()->isVisible());
}

// "Exit" and closing the window ask first: No keeps the window, Yes quits.
TEST_F(Form1Test, QuittingAsksFirst) {
  Form1& form = Start();
  dialogs_.yesNo = {false, false, true, true};
  form.close();
  form.Exit_Click();
  EXPECT_TRUE(form.isVisible() && quits_ == 0);
  form.Exit_Click();
  form.close();
  EXPECT_EQ(std::tuple(quits_, dialogs_.questions),
            std::tuple(2, std::vector<std::string>(4, "Snapwick|Do you want to quit")));
}

// Program arguments and dropped files take the list road; missing files and folders are passed
// over.
TEST_F(Form1Test, ArgumentsAndDropsOpenTheExistingFiles) {
  Form1& form = Start();
  const std::string a = Pic("a.jpg", MakeJpeg(400, 300)), b = Pic("b.jpg", MakeJpeg(300, 400)),
                    c = work_.File("c.jpg"), other = work_.Path();
  WriteBytes(c, MakeJpeg(500, 100));
  // Several of one folder.
  EXPECT_TRUE(form.OpenPictures({a + "x", a, other, b}));
  EXPECT_EQ(form.windowTitle().toStdString(), a + "  [ 0.1M 400x300] Photo 1 of 2");
  EXPECT_FALSE(form.OpenPictures({a + "x", other, ""}) || Drop(&form, {other}));
  // One picture, named relative to the current folder.
  EXPECT_TRUE(form.OpenPictures({"c.jpg"}));
  EXPECT_EQ(form.windowTitle().toStdString(), c + "  [ 0.1M 500x100]");
  // Pictures of several folders keep the given order; a name that is no UTF-8 (Latin-1 "é") is
  // opened as it is and shown as Latin-1.
  const std::string latin1 = Pic("caf\xE9.jpg", MakeJpeg(300, 400));
  EXPECT_TRUE(Drop(&form, {b, c, a}));
  form.NextFile_Click();
  EXPECT_EQ(form.windowTitle().toStdString(), c + "  [ 0.1M 500x100] Photo 2 of 3");
  for (const bool dropped : {false, true}) {
    EXPECT_TRUE(dropped ? Drop(&form, {latin1}) : form.OpenPictures({latin1}));
    EXPECT_EQ(form.windowTitle(),
              QString::fromStdString(pics_.Path()) + "/café.jpg  [ 0.1M 300x400]");
  }
}

// Fixed sizes that do not fit the screen are disabled; one that fits sizes the box exactly.
TEST_F(Form1Test, FixedSizesFitTheScreenAndSizeTheBox) {
  ScreenMetrics::Override(ScreenMetrics::Values{15, 15, 1024 * 15, 768 * 15});
  Form1& form = Start(2);
  for (int i = 0; i < 7; ++i)
    EXPECT_EQ(form.Action(FixedSizeItem(i))->isEnabled(), i <= 3) << i;
  EXPECT_EQ(form.Session().Picture2().Image().size(), QSize(640, 480));
}

// "Auto" shows the next picture on each tick and switches itself off at the list's end, where
// "Prev" steps back; a single picture is read again on every tick.
TEST_F(Form1Test, AutoStepsOnTheTimerUntilTheListEnds) {
  ThreePics();
  Form1& form = Start(0);
  Load({"a.jpg", "b.jpg"});
  Auto();
  EXPECT_EQ(Title(), pics_.File("b.jpg") + "  [ 0.1M 300x400] Photo 2 of 2");
  form.PrevFile_Click();
  EXPECT_EQ(Title(), pics_.File("a.jpg") + "  [ 0.1M 400x300] Photo 1 of 2");
  Load({"a.jpg"});
  form.SetChecked(MenuItem::AutoNext, true);
  Pic("a.jpg", MakeJpeg(320, 240));
  form.Timer1_Timer();
  EXPECT_TRUE(form.Checked(MenuItem::AutoNext) && Title().ends_with("320x240]"));
}

// No tick of "Auto" steps on while a dialog or message box of the window is open: "Save as..."
// saves and "Label" labels the picture shown when they were chosen. "Auto" goes on afterwards,
// and stays on while "Auto Label" asks for a label for each picture it shows.
TEST_F(Form1Test, AutoWaitsWhileADialogOrMessageIsOpen) {
  Form1& form = Start(2);
  Load(ThreePics());
  const std::string shown = Title();
  form.Timer1.setInterval(1);
  form.SetChecked(MenuItem::AutoNext, true);
  int open = 0;
  dialogs_.whileOpen = [&] {
    const std::string before = Title();
    ++open;
    form.Timer1_Timer();
    QTest::qWait(30);  // many intervals of the timer
    EXPECT_EQ(Title(), before) << open;
  };
  Answer(out_.File("pic.jpg"), &Form1::SaveAs_Click);
  EXPECT_EQ(Folder(out_.Path()), "pic.jpg 640x480");
  form.form4()->Text1->setText("Harbour");
  Press(form.form4()->Command1, &Form1::Lable_Click);
  const Canvas& canvas = form.Session().Picture2();
  EXPECT_TRUE(Title() == shown && canvas.Image() != canvas.PictureImage());
  // The other dialogs and message boxes: a failed save's message, "About", the quit question,
  // the font, the open dialog cancelled, the picture-data items and their listing.
  Answer(out_.File("no folder/pic.jpg"), &Form1::SaveAs_Click);
  for (void (Form1::*command)() :
       {&Form1::About_Click, &Form1::Exit_Click, &Form1::SelectFont_Click, &Form1::Load_Click,
        &Form1::SelectData_Click, &Form1::DisplayPicData_Click})
    (form.*command)();
  EXPECT_EQ(std::tuple(open, Title(), quits_, dialogs_.messages),
            std::tuple(10, shown, 0, std::vector<std::string>{"Path not found"}));
  form.SetChecked(MenuItem::AutoLabel, true);
  EXPECT_TRUE(QTest::qWaitFor([&] { return !form.Checked(MenuItem::AutoNext); }, 120000));
  EXPECT_TRUE(open == 12 && Title().ends_with("Photo 3 of 3")) << open << Title();
}

// The session's messages show on the log line; a message stays while the next picture is shown.
TEST_F(Form1Test, LogLineKeepsItsMessage) {
  Form1& form = Start();
  form.OpenPictures({Pic("bad.jpg", "no picture")});
  EXPECT_TRUE(Log().starts_with("Not shown: " + pics_.File("bad.jpg") + ": ")) << Log();
  Pic("a.jpg", MakeJpeg(64, 48));
  Load({"a.jpg", "a.jpg"});
  form.CheckIfBalck_Click();
  const std::string verdict = Log();
  form.NextFile_Click();
  EXPECT_TRUE(verdict.starts_with("Non Black Picture  ") && Log() == verdict) << verdict;
}

// "Save as..." writes the shown picture under the name given. "Refresh" with nothing shown, a
// cancelled open or save dialog and "Prev" on the first picture change nothing and say nothing;
// a refresh with nothing left to fit (past the end of the list) is told in a message.
TEST_F(Form1Test, SaveAsWritesTheAnsweredFileAndWhatIsCancelledChangesNothing) {
  Form1& form = Start(2);
  form.Resize_Click();
  Pic("a.jpg", MakeJpeg(64, 48));
  Load({"a.jpg", "a.jpg"});
  form.Load_Click();
  form.PrevFile_Click();
  form.SaveAs_Click();
  Answer(out_.File("pic"), &Form1::SaveAs_Click);
  EXPECT_EQ(std::tuple(form.Session().Files().CurrentFile, Folder(out_.Path()),
                       Folder(work_.Path()), dialogs_.messages.size()),
            std::tuple(2, "pic 640x480", "temp.jpg 640x480", 0u));
  form.NextFile_Click();
  form.NextFile_Click();
  form.Resize_Click();
  EXPECT_EQ(dialogs_.messages.size(), 1u);
}

}  // namespace snapwick::test
