#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

#include "labels/Form2.h"
#include "labels/Form4.h"
#include "platform/PictureBox.h"
#include "platform/Settings.h"
#include "support/Fixtures.h"
#include "ui/UiTestSupport.h"

namespace snapwick::test {
namespace {

struct Item {
  const char* name;
  const char* caption;
  const char* shortcut;
  int checked;  // -1 not a check item
};

TEST_F(Form1Test, MenuTreeWithCaptionsShortcutsAndChecks) {
  Form1& form = Start();
  const Item items[] = {
      {"Load", "Load...", "Ctrl+O", -1},
      {"SetDate", "Date", "Ctrl+D", -1},
      {"Lable", "Label", "Ctrl+L", -1},
      {"PictureData", "Picture Data", "Ctrl+I", 0},
      {"SelectData", "Configure Picture Data...", "", -1},
      {"AutoDate", "Auto Date", "", 1},
      {"UsePcZone", "Use PC Time Zone", "", 1},
      {"AutoSave", "Auto Save", "", 0},
      {"AutoLabel", "Auto Label", "", 0},
      {"Clear", "Clear", "Ctrl+C", -1},
      {"SelectFont", "Font...", "", -1},
      {"SaveAs", "Save as...", "Ctrl+S", -1},
      {"Exit", "Exit", "Ctrl+Q", -1},
      {"NextFile", "Next", "Ctrl+N", -1},
      {"PrevFile", "Prev", "Ctrl+P", -1},
      {"AutoNext", "Auto", "Ctrl+A", 0},
      {"FixedSize(0)", "160x120", "", -1},
      {"FixedSize(6)", "1600x1200", "", -1},
      {"Resize", "Refresh", "F5", -1},
      {"DisplayPicData", "Picture Data", "", -1},
      {"Border", "Border", "", 1},
      {"HideMenu", "Hide Menu", "F6", 0},
      {"CheckIfBalck", "Check Black", "", -1},
      {"About", "About", "", -1},
  };
  for (const Item& item : items) {
    QAction* action = form.Action(item.name);
    ASSERT_NE(action, nullptr) << item.name;
    EXPECT_EQ(action->text().toStdString(), item.caption) << item.name;
    EXPECT_EQ(action->shortcut().toString().toStdString(), item.shortcut) << item.name;
    EXPECT_EQ(action->isCheckable(), item.checked >= 0) << item.name;
    if (item.checked >= 0) {
      EXPECT_EQ(action->isChecked(), item.checked == 1) << item.name;
    }
  }
  const QList<QAction*> bar = form.menuBar()->actions();
  ASSERT_EQ(bar.size(), 4);
  EXPECT_EQ(bar[0]->text(), "&File");
  EXPECT_EQ(bar[1]->text(), "&View");
  EXPECT_EQ(bar[2]->text(), "&Window");
  EXPECT_EQ(bar[3]->text(), "&Help");
  QMenu* resize = form.Menu("PredefineResize");
  ASSERT_NE(resize, nullptr);
  EXPECT_EQ(resize->title(), "Resize");
  EXPECT_EQ(resize->actions().size(), 7);
  EXPECT_EQ(form.windowTitle(), "Snapwick");
}

TEST_F(Form1Test, ShortcutsAreBoundAsListed) {
  Form1& form = Start();
  form.activateWindow();
  EXPECT_FALSE(form.Checked("AutoNext"));
  QTest::keyClick(&form, Qt::Key_A, Qt::ControlModifier);
  EXPECT_TRUE(form.Checked("AutoNext"));
  QTest::keyClick(&form, Qt::Key_I, Qt::ControlModifier);
  EXPECT_TRUE(form.Checked("PictureData"));
  // Checking an item through the menu switches it once.
  form.Action("AutoDate")->trigger();
  EXPECT_FALSE(form.Checked("AutoDate"));
  form.Action("AutoDate")->trigger();
  EXPECT_TRUE(form.Checked("AutoDate"));
}

TEST_F(Form1Test, StartsWithTheDefaultQualityOnAnEmptyStore) {
  Form1& form = Start();
  EXPECT_EQ(form.Quality, 90);
  EXPECT_EQ(form.form2()->QScroll->value(), 90);
  EXPECT_EQ(form.TempFile, "temp.jpg");
  EXPECT_EQ(form.PictureString, "No Picture Data");
}

TEST_F(Form1Test, StoredQualityIsRestored) {
  SettingsStore::SaveSetting("Quality", "75");
  Form1& form = Start();
  EXPECT_EQ(form.Quality, 75);
  EXPECT_EQ(form.form2()->QScroll->value(), 75);
  form.SaveQuality(60);
  EXPECT_EQ(SettingsStore::GetSetting("Quality", ""), "60");
}

TEST_F(Form1Test, BrokenQualityStartsWith90) {
  for (const char* stored : {"abc", "70000", "", "-40000"}) {
    SettingsStore::SaveSetting("Quality", stored);
    Form1& form = Start();
    EXPECT_EQ(form.Quality, 90) << stored;
    EXPECT_EQ(form.GetQuality(), 90);
    form_.reset();
  }
  // A stored quality beyond the bar is shown at its end.
  SettingsStore::SaveSetting("Quality", "500");
  EXPECT_EQ(Start().form2()->QScroll->value(), 200);
}

TEST_F(Form1Test, FixedSizesThatDoNotFitTheScreenAreDisabled) {
  ScreenMetrics::Override(ScreenMetrics::Values{15, 15, 1024 * 15, 768 * 15});
  Form1& form = Start();
  for (int i = 0; i < 7; ++i) {
    EXPECT_EQ(form.Action("FixedSize(" + std::to_string(i) + ")")->isEnabled(), i <= 3) << i;
  }
}

TEST_F(Form1Test, FixedSizeGivesADisplayBoxOfExactlyThatSize) {
  Form1& form = Start();
  FixSize(2);
  EXPECT_EQ(form.ViewPixelWidth, 640);
  EXPECT_EQ(form.ViewPixelHeight, 480);
  EXPECT_EQ(form.Picture2->Image().size(), QSize(640, 480));
  FixSize(0);
  EXPECT_EQ(form.Picture2->Image().size(), QSize(160, 120));
  FixSize(4);
  EXPECT_EQ(form.ViewPixelWidth, 1024);
  EXPECT_EQ(form.ViewPixelHeight, 768);
}

TEST_F(Form1Test, ResizeDrawsTheViewSizeCaption) {
  Form1& form = Start();
  FixSize(2);
  // The blue caption with its white shadow sits at the top left.
  bool blue = false;
  for (int y = 0; y < 20 && !blue; ++y) {
    for (int x = 0; x < 120 && !blue; ++x) {
      const int32_t c = form.Picture2->Point(x, y);
      blue = (c & 0xFF) < 80 && ((c >> 16) & 0xFF) > 180;
    }
  }
  EXPECT_TRUE(blue);
  EXPECT_GE(form.ViewWidth, 500);
}

TEST_F(Form1Test, QuitQuestionOnCloseAndExit) {
  Form1& form = Start();
  dialogs_.yesNoAnswers = {false};
  form.close();
  EXPECT_TRUE(form.isVisible());
  EXPECT_EQ(quits_, 0);
  ASSERT_EQ(dialogs_.questions.size(), 1u);
  EXPECT_EQ(dialogs_.questions[0], "Snapwick|Do you want to quit");

  dialogs_.yesNoAnswers = {false};
  form.Exit_Click();
  EXPECT_EQ(quits_, 0);
  dialogs_.yesNoAnswers = {true};
  form.Exit_Click();
  EXPECT_EQ(quits_, 1);
  EXPECT_EQ(dialogs_.questions.size(), 3u);

  dialogs_.yesNoAnswers = {true};
  form.close();
  EXPECT_EQ(quits_, 2);
}

// Pictures of the road: generated JPEG files in a folder of their own.
class RoadTest : public Form1Test {
 protected:
  void SetUp() override {
    Form1Test::SetUp();
    WriteBytes(pics_.File("a.jpg"), MakeJpeg(800, 600, PhotoLike));
    WriteBytes(pics_.File("b.jpg"), MakeJpeg(600, 800, Gradient));
    WriteBytes(pics_.File("c.jpg"), MakeJpeg(1200, 400, PhotoLike));
  }

  std::string Three() const { return Selection(pics_.Path(), {"a.jpg", "b.jpg", "c.jpg"}); }

  void Load(const std::string& selection) {
    dialogs_.openAnswers.push_back(selection);
    form_->Load_Click();
  }

  // Auto-save into out_ with a prefix, as the auto-save dialog's "Ok" leaves it.
  void AutoSaveWith(const std::string& prefix, bool keepNames = false, bool slideShow = false) {
    dialogs_.onModal = [&](QDialog* dialog) {
      if (auto* form2 = qobject_cast<Form2*>(dialog)) {
        form2->Text1->setText(QString::fromStdString(out_.Path()));
        form2->Text2->setText(QString::fromStdString(prefix));
        form2->KeepFileName->setChecked(keepNames);
        form2->GenerateSlideShow->setChecked(slideShow);
        form2->Command1->click();
      }
    };
    form_->AutoSave_Click();
    dialogs_.onModal = nullptr;
  }

  TempDir pics_;
  TempDir out_;
};

TEST_F(RoadTest, LoadShowsTheFirstPictureFittedWithItsTitle) {
  Form1& form = Start();
  FixSize(2);
  Load(Three());
  EXPECT_EQ(dialogs_.openTitles.back(), "Choose file to load");
  EXPECT_EQ(form.CurrentFileName, pics_.File("a.jpg"));
  EXPECT_EQ(form.Files.CurrentFile, 2);
  EXPECT_EQ(form.PixelWidth, 800);
  EXPECT_EQ(form.PixelHeight, 600);
  EXPECT_EQ(form.WindowTitle, pics_.File("a.jpg") + "  [ 0.5M 800x600] Photo 1 of 3");
  EXPECT_EQ(form.windowTitle().toStdString(), form.WindowTitle);
  EXPECT_EQ(form.Picture2->Image().size(), QSize(640, 480));
  ASSERT_TRUE(form.FittedDib);
  EXPECT_EQ(form.FittedDib->Width(), 640);
  EXPECT_TRUE(FileExists(work_.File("temp.jpg")));
  EXPECT_EQ(JpegSize(work_.File("temp.jpg")), std::make_pair(640, 480));
  EXPECT_NE(form.FileDateText, "");

  form.NextFile_Click();  // portrait
  EXPECT_EQ(form.Picture2->Image().size(), QSize(360, 480));
  EXPECT_EQ(form.WindowTitle, pics_.File("b.jpg") + "  [ 0.5M 600x800] Photo 2 of 3");
  form.NextFile_Click();  // panorama
  EXPECT_EQ(form.Picture2->Image().size(), QSize(640, 213));

  // Past the end the last picture stays, with its title.
  const QImage last = form.Picture2->PictureImage();
  form.NextFile_Click();
  EXPECT_EQ(form.Files.CurrentFile, 4);
  EXPECT_EQ(form.CurrentFileName, "");
  EXPECT_EQ(form.Picture2->PictureImage(), last);
  EXPECT_EQ(form.WindowTitle, pics_.File("c.jpg") + "  [ 0.5M 1200x400] Photo 3 of 3");

  form.PrevFile_Click();
  EXPECT_EQ(form.CurrentFileName, pics_.File("b.jpg"));
}

TEST_F(RoadTest, PrevDoesNothingOnTheFirstPictureOrASingleOne) {
  Form1& form = Start();
  Load(Three());
  form.PrevFile_Click();
  EXPECT_EQ(form.CurrentFileName, pics_.File("a.jpg"));
  EXPECT_EQ(form.Files.CurrentFile, 2);
  form.NextFile_Click();
  form.NextFile_Click();
  form.PrevFile_Click();
  EXPECT_EQ(form.CurrentFileName, pics_.File("b.jpg"));
  EXPECT_EQ(form.Files.CurrentFile, 3);

  Load(pics_.File("c.jpg"));
  EXPECT_EQ(form.WindowTitle, pics_.File("c.jpg") + "  [ 0.5M 1200x400]");
  form.PrevFile_Click();
  EXPECT_EQ(form.Files.CurrentFile, 0);
  form.NextFile_Click();  // the single picture again
  EXPECT_EQ(form.CurrentFileName, pics_.File("c.jpg"));
}

TEST_F(RoadTest, CancelledOpenDialogChangesNothing) {
  Form1& form = Start();
  Load(Three());
  const std::string title = form.WindowTitle;
  dialogs_.openAnswers.push_back(std::nullopt);
  form.Load_Click();
  EXPECT_EQ(form.WindowTitle, title);
  EXPECT_EQ(form.Files.CurrentFile, 2);
  EXPECT_EQ(form.CurrentFileName, pics_.File("a.jpg"));
  // "Image Files" comes first and takes every format the road reads.
  EXPECT_EQ(dialogs_.openFilters.back().rfind(
                "Image Files|*.jpg;*.jpeg;*.bmp;*.png;*.gif;*.tif;*.tiff;*.webp|", 0),
            0u);
}

TEST_F(RoadTest, FileThatIsNotAPictureKeepsThePreviousOne) {
  WriteBytes(pics_.File("broken.jpg"), "no picture here");
  Form1& form = Start();
  FixSize(2);
  Load(Selection(pics_.Path(), {"a.jpg", "broken.jpg", "b.jpg"}));
  form.SetDate_Click();
  const QImage shown = form.Picture2->PictureImage();
  const std::string title = form.WindowTitle;
  form.NextFile_Click();
  EXPECT_EQ(form.CurrentFileName, pics_.File("broken.jpg"));
  EXPECT_EQ(form.WindowTitle, title);
  EXPECT_EQ(form.Picture2->PictureImage(), shown);
  // Its drawn text is gone.
  EXPECT_EQ(form.Picture2->Image(), form.Picture2->PictureImage());
  form.NextFile_Click();
  EXPECT_EQ(form.WindowTitle, pics_.File("b.jpg") + "  [ 0.5M 600x800] Photo 3 of 3");
}

TEST_F(RoadTest, AutoStepsThroughTheListAndSwitchesItselfOff) {
  Form1& form = Start();
  Load(Three());
  form.Timer1.setInterval(10);
  form.AutoNext_Click();
  ASSERT_TRUE(form.Checked("AutoNext"));
  for (int i = 0; i < 200 && form.Checked("AutoNext"); ++i)
    QTest::qWait(10);
  EXPECT_FALSE(form.Checked("AutoNext"));
  EXPECT_EQ(form.CurrentFileName, pics_.File("c.jpg"));
  EXPECT_EQ(form.Files.CurrentFile, 4);
}

TEST_F(RoadTest, TimerShowsASinglePictureAgainOnEveryTick) {
  Form1& form = Start();
  Load(pics_.File("a.jpg"));
  form.SetChecked("AutoNext", true);
  form.Picture2->Cls();
  form.Timer1_Timer();
  EXPECT_TRUE(form.Checked("AutoNext"));
  EXPECT_EQ(form.CurrentFileName, pics_.File("a.jpg"));
}

TEST_F(RoadTest, AutoSaveWritesEveryShownPictureAtTheFittedSize) {
  Form1& form = Start();
  FixSize(2);
  AutoSaveWith("trip");
  ASSERT_TRUE(form.Checked("AutoSave"));
  EXPECT_EQ(form.Text1, out_.Path() + "/trip");
  Load(Three());
  form.Timer1.setInterval(5);
  form.SetChecked("AutoNext", true);
  for (int i = 0; i < 400 && form.Checked("AutoNext"); ++i)
    QTest::qWait(5);
  EXPECT_EQ(JpegSize(out_.File("trip_001.jpg")), std::make_pair(640, 480));
  EXPECT_EQ(JpegSize(out_.File("trip_002.jpg")), std::make_pair(360, 480));
  EXPECT_EQ(JpegSize(out_.File("trip_003.jpg")), std::make_pair(640, 213));
  EXPECT_EQ(form.SaveName, out_.File("trip_003.jpg"));
  EXPECT_FALSE(FileExists(out_.File("trip_004.jpg")));
}

TEST_F(RoadTest, SaveCarriesTheDrawnDate) {
  Form1& form = Start();
  FixSize(2);
  AutoSaveWith("dated");
  Load(pics_.File("a.jpg"));
  // A lone picture is number 1.
  ASSERT_TRUE(FileExists(out_.File("dated_001.jpg")));
  form.SetChecked("AutoDate", false);
  form.SetChecked("AutoSave", false);
  form.Resize_Click();
  const cDIBSection plain = DecodeJpegFile("temp.jpg");
  const cDIBSection dated = DecodeJpegFile(out_.File("dated_001.jpg"));
  ASSERT_EQ(dated.Width(), plain.Width());
  // The white date with its black shadow changes the top left well beyond what a second pass
  // through the encoder does.
  int differing = 0;
  for (int y = 0; y < 14; ++y) {
    for (int x = 0; x < 120; ++x) {
      const Rgb a = PixelAt(dated, x, y), b = PixelAt(plain, x, y);
      differing += std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b) > 150;
    }
  }
  EXPECT_GT(differing, 50);
  int elsewhere = 0;
  for (int y = 200; y < 214; ++y) {
    for (int x = 300; x < 420; ++x) {
      const Rgb a = PixelAt(dated, x, y), b = PixelAt(plain, x, y);
      elsewhere += std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b) > 150;
    }
  }
  EXPECT_EQ(elsewhere, 0);
}

TEST_F(RoadTest, KeepOriginalNamesSavesUnderThePicturesOwnNames) {
  WriteBytes(pics_.File("IMG_0001.JPG"), MakeJpeg(320, 240));
  Form1& form = Start();
  FixSize(0);
  AutoSaveWith("", true);
  Load(pics_.File("IMG_0001.JPG"));
  EXPECT_EQ(form.SaveName, out_.File("IMG_0001.JPG"));
  EXPECT_EQ(JpegSize(out_.File("IMG_0001.JPG")), std::make_pair(160, 120));
}

TEST_F(RoadTest, RefreshRefitsAndAFailureKeepsEverything) {
  Form1& form = Start();
  FixSize(2);
  Load(Selection(pics_.Path(), {"a.jpg", "b.jpg"}));
  FixSize(0);
  // Resizing does not refit; Refresh does.
  EXPECT_EQ(form.Picture2->PictureImage().size(), QSize(640, 480));
  form.Resize_Click();
  EXPECT_EQ(form.Picture2->Image().size(), QSize(160, 120));
  EXPECT_TRUE(dialogs_.messages.empty());

  form.NextFile_Click();
  form.NextFile_Click();  // past the end: nothing left to fit
  form.SetDate_Click();
  const QImage before = form.Picture2->Image();
  form.Resize_Click();
  ASSERT_EQ(dialogs_.messages.size(), 1u);
  EXPECT_FALSE(dialogs_.messages[0].empty());
  EXPECT_EQ(form.Picture2->Image(), before);
}

TEST_F(RoadTest, AutoLabelPausesAutoWhileTheDialogIsOpen) {
  Form1& form = Start();
  form.SetChecked("AutoLabel", true);
  form.SetChecked("AutoNext", true);
  bool autoDuringDialog = true;
  dialogs_.onModal = [&](QDialog* dialog) {
    if (auto* form4 = qobject_cast<Form4*>(dialog)) {
      autoDuringDialog = form.Checked("AutoNext");
      form4->Text1->setText("Hello");
      form4->Command1->click();
    }
  };
  Load(pics_.File("a.jpg"));
  EXPECT_FALSE(autoDuringDialog);
  EXPECT_TRUE(form.Checked("AutoNext"));

  form.SetChecked("AutoNext", false);
  form.NextFile_Click();
  EXPECT_FALSE(form.Checked("AutoNext"));
}

TEST_F(RoadTest, RightClickPopsUpTheViewMenuAndF11TogglesTheMenuBar) {
  Form1& form = Start();
  QTest::mouseClick(form.Picture2, Qt::LeftButton);
  EXPECT_FALSE(form.Menu("ViewPics")->isVisible());
  QTest::mousePress(form.Picture2, Qt::RightButton);
  EXPECT_TRUE(form.Menu("ViewPics")->isVisible());
  form.Menu("ViewPics")->hide();

  QTest::keyRelease(form.Picture2, Qt::Key_F11);
  EXPECT_TRUE(form.Checked("HideMenu"));
  EXPECT_FALSE(form.menuBar()->isVisible());
  QTest::keyRelease(&form, Qt::Key_F10);
  EXPECT_TRUE(form.Checked("HideMenu"));
  QTest::keyRelease(&form, Qt::Key_F11);
  EXPECT_FALSE(form.Checked("HideMenu"));
  EXPECT_TRUE(form.menuBar()->isVisible());
}

}  // namespace
}  // namespace snapwick::test
