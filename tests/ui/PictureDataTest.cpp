#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QCheckBox>
#include <QPlainTextEdit>
#include <QPushButton>

#include "chrome/Form6.h"
#include "metadata/Form5.h"
#include "platform/Error.h"
#include "platform/Settings.h"
#include "support/ExifBuilder.h"
#include "support/Fixtures.h"
#include "ui/UiTestSupport.h"

namespace snapwick::test {
namespace {

const std::string kZeros = "0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,";

class PictureDataTest : public Form1Test {
 protected:
  // Ticks boxes in the dialog and closes it with "&Ok" or "&Cancel".
  void Configure(const std::vector<int>& tick, bool ok) {
    dialogs_.onModal = [&](QDialog* dialog) {
      auto* form5 = qobject_cast<Form5*>(dialog);
      if (!form5) return;
      for (int i : tick)
        form5->PictureDataItem[static_cast<size_t>(i)]->setChecked(true);
      (ok ? form5->Command1 : form5->Command2)->click();
    };
    form_->SelectData_Click();
    dialogs_.onModal = nullptr;
  }

  // A picture whose EXIF block gives Make "Foto" and Model "F-20 Zoom".
  std::string CameraPicture() {
    const std::string path = pics_.File("camera.jpg");
    WriteBytes(path, ExifJpeg(CameraExif(true, MakeJpeg(16, 12), 600), false,
                              MakeJpeg(320, 240, PhotoLike)));
    return path;
  }

  TempDir pics_;
};

TEST_F(PictureDataTest, CatalogueOf27ItemsAllUncheckedOnFirstStart) {
  Form1& form = Start();
  Form5& items = *form.form5();
  EXPECT_EQ(items.windowTitle(), "Select Picture Data Items");
  EXPECT_EQ(items.CurrentMax, 27);
  EXPECT_EQ(items.PictureDataItem[1]->text(), "Make ");
  EXPECT_EQ(items.PictureDataItem[26]->text(), "ImageNumber ");
  EXPECT_EQ(items.GetTagId(1), 271);
  for (int i = 0; i < 27; ++i) {
    EXPECT_FALSE(items.PictureDataItem[static_cast<size_t>(i)]->isHidden()) << i;
    EXPECT_EQ(items.ItemState(i), 0) << i;
  }
  for (int i = 27; i <= 32; ++i)
    EXPECT_EQ(items.GetTagId(i), 0) << i;
  for (int i = 27; i < 32; ++i)
    EXPECT_TRUE(items.PictureDataItem[static_cast<size_t>(i)]->isHidden());
  EXPECT_THROW(items.GetTagId(33), SnapError);
  EXPECT_THROW(items.GetTagId(-1), SnapError);
  EXPECT_EQ(items.Command1->text(), "&Ok");
  EXPECT_EQ(items.Command2->text(), "&Cancel");
  // Four columns of eight.
  EXPECT_EQ(items.PictureDataItem[8]->y(), items.PictureDataItem[0]->y());
  EXPECT_GT(items.PictureDataItem[8]->x(), items.PictureDataItem[7]->x());

  Configure({}, true);
  EXPECT_EQ(SettingsStore::GetSetting("PicData", ""), kZeros);
}

TEST_F(PictureDataTest, OkStoresTheTicksAndTheNextStartShowsThem) {
  Start();
  Configure({1, 2}, true);
  EXPECT_EQ(SettingsStore::GetSetting("PicData", ""),
            "0,1,1,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,");
  form_.reset();
  Form1& again = Start();
  EXPECT_EQ(again.form5()->ItemState(1), 1);
  EXPECT_EQ(again.form5()->ItemState(2), 1);
  EXPECT_EQ(again.form5()->ItemState(3), 0);
}

TEST_F(PictureDataTest, CancelKeepsTheTicksForThisRunOnly) {
  Form1& form = Start();
  const std::string picture = CameraPicture();
  Configure({1}, false);
  EXPECT_FALSE(SettingsStore::HasSetting("PicData"));
  EXPECT_EQ(form.form5()->ItemState(1), 1);
  dialogs_.openAnswers.push_back(picture);
  form.Load_Click();
  EXPECT_EQ(form.PictureString, " Make : Foto");
  form_.reset();
  EXPECT_EQ(Start().form5()->ItemState(1), 0);
}

TEST_F(PictureDataTest, BrokenStoredChoiceStartsWithNothingTicked) {
  for (const char* stored :
       {"1,1,1", "1,x,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0",
        "5,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,"}) {
    SettingsStore::SaveSetting("PicData", stored);
    Form1& form = Start();
    for (int i = 0; i < 27; ++i)
      EXPECT_EQ(form.form5()->ItemState(i), 0) << stored;
    form_.reset();
  }
}

TEST_F(PictureDataTest, PictureStringIsComposedForEveryShownPictureInCatalogueOrder) {
  Form1& form = Start();
  const std::string picture = CameraPicture();
  Configure({2, 1, 5, 24}, true);  // Model, Make, DateTime, SelfTimerMode (absent)
  dialogs_.openAnswers.push_back(picture);
  form.Load_Click();
  EXPECT_EQ(form.PictureString, " Make : Foto Model : F-20 Zoom DateTime : 2004:06:12 18:42:07");
  EXPECT_EQ(form.PictureDataText,
            " Make \tFoto\r\n Model \tF-20 Zoom\r\n DateTime \t2004:06:12 18:42:07\r\n");

  // The listing window shows the file name and the listing.
  QString shown;
  dialogs_.onModal = [&](QDialog* dialog) {
    if (auto* form6 = qobject_cast<Form6*>(dialog)) shown = form6->Text1->toPlainText();
  };
  form.DisplayPicData_Click();
  EXPECT_EQ(shown.toStdString(),
            picture + "\n" + " Make \tFoto\n Model \tF-20 Zoom\n DateTime \t2004:06:12 18:42:07\n");
}

TEST_F(PictureDataTest, PictureWithoutExifHasAnEmptyPictureString) {
  Form1& form = Start();
  Configure({1, 2, 3}, true);
  WriteBytes(pics_.File("plain.bmp"), MakeBmp(64, 48));
  dialogs_.openAnswers.push_back(pics_.File("plain.bmp"));
  form.Load_Click();
  EXPECT_EQ(form.PictureString, "");
  EXPECT_EQ(form.PictureDataText, "");
  EXPECT_EQ(form.PixelWidth, 64);
}

TEST_F(PictureDataTest, ListingBeforeAnyPictureIsEmpty) {
  Form1& form = Start();
  QString shown = "untouched";
  dialogs_.onModal = [&](QDialog* dialog) {
    if (auto* form6 = qobject_cast<Form6*>(dialog)) shown = form6->Text1->toPlainText();
  };
  form.DisplayPicData_Click();
  EXPECT_EQ(shown, "\n");
}

TEST_F(PictureDataTest, DateFollowsUsePcTimeZone) {
  ScopedTimeZone zone("XXX-2");
  Form1& form = Start();
  const std::string picture = CameraPicture();
  // 3 July 2004, 12:05:09 UTC.
  const timespec times[2] = {{1088856309, 0}, {1088856309, 0}};
  ASSERT_EQ(::utimensat(AT_FDCWD, picture.c_str(), times, 0), 0);
  dialogs_.openAnswers.push_back(picture);
  form.Load_Click();
  EXPECT_EQ(form.FileDateText, "Sat Jul-03, 2004 14:05:09");
  form.UsePcZone_Click();
  EXPECT_FALSE(form.Checked("UsePcZone"));
  form.NextFile_Click();
  EXPECT_EQ(form.FileDateText, "Sat Jul-03, 2004 12:05:09");
  form.UsePcZone_Click();
  EXPECT_TRUE(form.Checked("UsePcZone"));
}

}  // namespace
}  // namespace snapwick::test
