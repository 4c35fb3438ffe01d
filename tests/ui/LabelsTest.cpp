#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

#include "labels/Form2.h"
#include "labels/Form4.h"
#include "platform/PictureBox.h"
#include "platform/Settings.h"
#include "support/Fixtures.h"
#include "ui/UiTestSupport.h"

namespace snapwick::test {
namespace {

constexpr int32_t kGrey = 0x808080;

class LabelsTest : public Form1Test {
 protected:
  // A grey picture in the box, drawn text in plain pixels.
  Form1& StartWithGreyPicture(int width = 300, int height = 120) {
    Form1& form = Start();
    QImage grey(width, height, QImage::Format_RGB32);
    grey.fill(qRgb(128, 128, 128));
    form.Picture2->SetBoxSize(width, height);
    form.Picture2->SetPicture(grey);
    form.Picture2->SetTextAntialiasing(false);
    return form;
  }

  // Types a label in "Enter Title" and presses a button.
  void Label(const QString& text, bool ok = true) {
    dialogs_.onModal = [&](QDialog* dialog) {
      auto* form4 = qobject_cast<Form4*>(dialog);
      if (!form4) return;
      selectedWhenShown_ = form4->Text1->selectedText();
      form4->Text1->setText(text);
      (ok ? form4->Command1 : form4->Command2)->click();
    };
    form_->Lable_Click();
    dialogs_.onModal = nullptr;
  }

  // Rows that hold anything but the grey picture.
  std::pair<int, int> DrawnRows() const {
    int first = -1, last = -1;
    const QImage& image = form_->Picture2->Image();
    for (int y = 0; y < image.height(); ++y) {
      for (int x = 0; x < image.width(); ++x) {
        if (form_->Picture2->Point(x, y) != kGrey) {
          if (first < 0) first = y;
          last = y;
          break;
        }
      }
    }
    return {first, last};
  }

  QString selectedWhenShown_;
};

TEST_F(LabelsTest, DateIsWhiteWithABlackShadowOnePixelRightAndDown) {
  Form1& form = StartWithGreyPicture();
  form.FileDateText = "Sat Jul-03, 2004 12:05:09";
  form.SetDate_Click();
  int white = 0, black = 0;
  for (int y = 0; y < 40; ++y) {
    for (int x = 0; x < 300; ++x) {
      const int32_t c = form.Picture2->Point(x, y);
      const int32_t upperLeft = form.Picture2->Point(x - 1, y - 1);
      if (c == 0xFFFFFF) {
        ++white;
      } else if (c == 0x000000) {
        // A shadow pixel: the glyph covers the pixel up and to the left of it.
        ++black;
        EXPECT_EQ(upperLeft, 0xFFFFFF) << x << "," << y;
      } else {
        EXPECT_EQ(c, kGrey) << x << "," << y;
        EXPECT_NE(upperLeft, 0xFFFFFF) << x << "," << y;
      }
    }
  }
  EXPECT_GT(white, 50);
  EXPECT_GT(black, 20);
  EXPECT_LT(DrawnRows().first, 6);

  // Drawing it again changes nothing; Clear takes it away.
  const QImage once = form.Picture2->Image();
  form.SetDate_Click();
  EXPECT_EQ(form.Picture2->Image(), once);
  form.Clear_Click();
  EXPECT_EQ(DrawnRows().first, -1);
}

TEST_F(LabelsTest, DateWithThePictureStringWhenPictureDataIsTicked) {
  Form1& form = StartWithGreyPicture(600, 60);
  form.FileDateText = "Sat Jul-03, 2004 12:05:09";
  form.SetDate_Click();
  const QImage plain = form.Picture2->Image();
  form.Clear_Click();
  form.PictureData_Click();
  EXPECT_TRUE(form.Checked("PictureData"));
  form.SetDate_Click();  // the date, a blank, then "No Picture Data"
  const QImage withData = form.Picture2->Image();
  EXPECT_NE(withData, plain);
  // The same date at the same place, more text behind it.
  EXPECT_EQ(withData.copy(0, 0, 100, 30), plain.copy(0, 0, 100, 30));
  form.PictureData_Click();
  EXPECT_FALSE(form.Checked("PictureData"));
}

TEST_F(LabelsTest, LabelSitsAtTwiceTheFontSize) {
  for (const auto& [points, y] : {std::pair{12.0, 24}, std::pair{8.25, 16}, std::pair{14.0, 28}}) {
    Form1& form = StartWithGreyPicture();
    QFont font = form.Picture2->font();
    font.setPointSizeF(points);
    form.Picture2->setFont(font);
    Label("Harbour");
    const auto [first, last] = DrawnRows();
    // The character cell starts at y; the glyphs and their shadow lie below it.
    EXPECT_GE(first, y) << points;
    EXPECT_LT(first, y + 8) << points;
    EXPECT_GT(last, first) << points;
    // White text, red shadow.
    int red = 0;
    for (int yy = first; yy <= last; ++yy) {
      for (int x = 0; x < 300; ++x)
        red += form.Picture2->Point(x, yy) == 0x0000FF;
    }
    EXPECT_GT(red, 10) << points;
    form_.reset();
  }
}

TEST_F(LabelsTest, LabelDialogOffersTheLastTextFullySelected) {
  Form1& form = StartWithGreyPicture();
  Form4& dialog = *form.form4();
  EXPECT_EQ(dialog.windowTitle(), "Enter Title");
  EXPECT_EQ(dialog.Label1->text(), "Label");
  EXPECT_TRUE(dialog.Command1->isDefault());
  Label("First");
  Label("Second", false);  // cancelled: nothing drawn
  const QImage afterCancel = form.Picture2->Image();
  Label("Third", false);
  EXPECT_EQ(form.Picture2->Image(), afterCancel);
  EXPECT_EQ(selectedWhenShown_, "Second");
  EXPECT_EQ(dialog.Text1->text(), "Third");
}

TEST_F(LabelsTest, ClearBeforeASaveRemovesTheLabelAfterItKeepsIt) {
  Form1& form = StartWithGreyPicture();
  Label("Kept");
  EXPECT_NE(DrawnRows().first, -1);
  form.Clear_Click();
  EXPECT_EQ(DrawnRows().first, -1);
  Label("Kept");
  dialogs_.saveAnswers.push_back(work_.File("saved.jpg"));
  form.SaveAs_Click();
  ASSERT_TRUE(FileExists(work_.File("saved.jpg")));
  form.Clear_Click();
  EXPECT_NE(DrawnRows().first, -1);
}

TEST_F(LabelsTest, SaveAsUsesTheNameAsGivenAndReportsFailures) {
  Form1& form = StartWithGreyPicture();
  dialogs_.saveAnswers.push_back(work_.File("pic"));
  form.SaveAs_Click();
  EXPECT_EQ(JpegSize(work_.File("pic")), std::make_pair(300, 120));
  dialogs_.saveAnswers.push_back(std::nullopt);
  form.SaveAs_Click();
  EXPECT_TRUE(dialogs_.messages.empty());
  dialogs_.saveAnswers.push_back(work_.File("missing/pic.jpg"));
  form.SaveAs_Click();
  EXPECT_EQ(dialogs_.messages.size(), 1u);
}

TEST_F(LabelsTest, FontIsChosenStoredAndRestored) {
  Form1& form = Start();
  EXPECT_FALSE(SettingsStore::HasSetting("Font"));
  QFont chosen("DejaVu Serif");
  chosen.setPointSizeF(10.5);
  chosen.setItalic(true);
  dialogs_.fontAnswer = chosen;
  form.SelectFont_Click();
  EXPECT_EQ(SettingsStore::GetSetting("Font", ""), "DejaVu Serif:10.5:False:True");
  // A cancelled dialog changes nothing.
  dialogs_.fontAnswer = std::nullopt;
  form.SelectFont_Click();
  EXPECT_EQ(SettingsStore::GetSetting("Font", ""), "DejaVu Serif:10.5:False:True");
  form_.reset();
  Form1& again = Start();
  EXPECT_EQ(again.Picture2->font().family(), "DejaVu Serif");
  EXPECT_EQ(again.Picture2->font().pointSizeF(), 10.5);
  EXPECT_TRUE(again.Picture2->font().italic());
  EXPECT_FALSE(again.Picture2->font().bold());
}

TEST_F(LabelsTest, BrokenStoredFontKeepsTheDefault) {
  const QFont standard = PictureBox().font();
  for (const char* stored : {"Arial", "Arial:big:True:False", "A:B:12:True:False", "::::"}) {
    SettingsStore::SaveSetting("Font", stored);
    Form1& form = Start();
    EXPECT_EQ(form.Picture2->font(), standard) << stored;
    form_.reset();
  }
}

TEST_F(LabelsTest, AutoSaveDialogSwitchesAndKeepsItsEntries) {
  Form1& form = Start();
  Form2& dialog = *form.form2();
  EXPECT_EQ(dialog.windowTitle(), "Auto Save File Name Setting");
  EXPECT_EQ(dialog.SlideTime->text(), "5");
  EXPECT_EQ(dialog.QScroll->minimum(), 10);
  EXPECT_EQ(dialog.QScroll->maximum(), 200);
  dialogs_.onModal = [&](QDialog* d) {
    if (d != &dialog) return;
    dialog.Text1->setText("/out");
    dialog.Text2->setText("holiday");
    dialog.QScroll->setValue(75);
    dialog.Command1->click();
  };
  form.AutoSave_Click();
  EXPECT_TRUE(form.Checked("AutoSave"));
  EXPECT_EQ(form.Text1, "/out/holiday");
  EXPECT_EQ(form.FilePath, "/out/");
  EXPECT_EQ(form.FilePreFix, "holiday");
  EXPECT_EQ(form.Quality, 75);
  EXPECT_EQ(SettingsStore::GetSetting("Quality", ""), "75");
  EXPECT_EQ(form.GetImageName("x.jpg", 12), "holiday_012.jpg");

  // Chosen again while checked: switched off without the dialog.
  dialogs_.modalShown.clear();
  form.AutoSave_Click();
  EXPECT_FALSE(form.Checked("AutoSave"));
  EXPECT_TRUE(dialogs_.modalShown.empty());

  // "Cancel" keeps the earlier settings and the quality, and leaves it off.
  dialogs_.onModal = [&](QDialog* d) {
    if (d != &dialog) return;
    EXPECT_EQ(dialog.Text2->text(), "holiday");
    dialog.QScroll->setValue(30);
    dialog.Command2->click();
  };
  form.AutoSave_Click();
  EXPECT_FALSE(form.Checked("AutoSave"));
  EXPECT_EQ(form.Quality, 75);
  EXPECT_EQ(form.Text1, "/out/holiday");

  // Keeping the pictures' own names.
  dialogs_.onModal = [&](QDialog* d) {
    if (d != &dialog) return;
    dialog.KeepFileName->setChecked(true);
    dialog.Command1->click();
  };
  form.AutoSave_Click();
  EXPECT_TRUE(form.KeepOriginalFileName);
  EXPECT_EQ(form.Text1, "/out/");
  EXPECT_EQ(form.FilePreFix, "holiday");
  EXPECT_EQ(form.GetImageName("/cam/a.jpg", 1), "a.jpg");
}

// Auto Save with a prefix and the slide show, five pictures stepped through by the timer.
TEST_F(LabelsTest, AutoSaveWithSlideShowEndToEnd) {
  TempDir pics, out;
  std::vector<std::string> names;
  for (int i = 0; i < 5; ++i) {
    names.push_back("p" + std::to_string(i) + ".jpg");
    WriteBytes(pics.File(names.back()), MakeJpeg(400 + 40 * i, 300, PhotoLike));
  }
  Form1& form = Start();
  FixSize(1);  // 320x240
  Form2& dialog = *form.form2();
  dialogs_.onModal = [&](QDialog* d) {
    if (d != &dialog) return;
    dialog.Text1->setText(QString::fromStdString(out.Path()));
    dialog.Text2->setText("ski");
    dialog.GenerateSlideShow->setChecked(true);
    dialog.SlideTime->setText("1.5");
    dialog.Command1->click();
  };
  form.AutoSave_Click();
  dialogs_.onModal = nullptr;
  dialogs_.openAnswers.push_back(Selection(pics.Path(), names));
  form.Load_Click();
  form.Timer1.setInterval(5);
  form.SetChecked("AutoNext", true);
  for (int i = 0; i < 400 && form.Checked("AutoNext"); ++i)
    QTest::qWait(5);

  const std::string show = ReadFile(out.File("slides.htm"));
  for (int i = 1; i <= 5; ++i) {
    const std::string name = "ski_00" + std::to_string(i) + ".jpg";
    const auto [w, h] = JpegSize(out.File(name));
    EXPECT_EQ(w, 320) << name;
    EXPECT_EQ(h,
              i == 1 ? 240 : static_cast<int>(std::nearbyint(320.0 * 300 / (400 + 40 * (i - 1)))))
        << name;
    EXPECT_NE(show.find("'" + name + "'"), std::string::npos) << name;
    // The date is drawn on every saved picture: white and black pixels at the top left.
    const cDIBSection saved = DecodeJpegFile(out.File(name));
    int bright = 0;
    for (int y = 0; y < 12; ++y) {
      for (int x = 0; x < 100; ++x) {
        const Rgb c = PixelAt(saved, x, y);
        bright += c.r > 230 && c.g > 230 && c.b > 230;
      }
    }
    EXPECT_GT(bright, 30) << name;
  }
  EXPECT_FALSE(FileExists(out.File("ski_006.jpg")));
  EXPECT_TRUE(FileExists(out.File("skiSlideShow.htm")));
  EXPECT_NE(ReadFile(out.File("slideshow.js")).find("window.setTimeout('Timer();',1500) ;"),
            std::string::npos);
}

TEST_F(LabelsTest, SlideShowThatCannotBeWrittenShowsNothing) {
  TempDir pics;
  WriteBytes(pics.File("a.jpg"), MakeJpeg(64, 48));
  WriteBytes(pics.File("b.jpg"), MakeJpeg(64, 48));
  Form1& form = Start();
  form.form2()->GenerateSlideShow->setChecked(true);
  form.form2()->SlideTime->setText("soon");
  form.Text1 = work_.File("x");
  form.FilePath = work_.Path() + "/";
  form.SetChecked("AutoSave", true);
  dialogs_.openAnswers.push_back(Selection(pics.Path(), {"a.jpg", "b.jpg"}));
  form.Load_Click();
  // The list is set, nothing is shown, and the pages up to the script's interval are written.
  EXPECT_EQ(form.Files.FileCount, 3);
  EXPECT_EQ(form.CurrentFileName, "");
  EXPECT_TRUE(FileExists(work_.File("xSlideShow.htm")));
  EXPECT_TRUE(FileExists(work_.File("slides.htm")));
  EXPECT_FALSE(FileExists(work_.File("x_001.jpg")));
}

}  // namespace
}  // namespace snapwick::test
