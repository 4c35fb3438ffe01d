// The main window's dialogs and what it takes from them: the auto-save settings, the label, the
// font, the picture-data items and their listing.

#include "ui/UiFixture.h"

namespace snapwick::test {

// The auto-save dialog's bar starts at the stored quality, or the default, within its range.
TEST_F(Form1Test, AutoSaveDialogStartsAtTheStoredQuality) {
  for (const auto& [stored, bar] : {std::pair{"75", 75}, {"abc", 90}, {"500", 200}}) {
    SettingsStore::SaveSetting("Quality", stored);
    EXPECT_EQ(Start().form2()->QScroll->value(), bar) << stored;
  }
}

// "Ok" switches "Auto Save" on with the dialog's settings and stores the quality; chosen again
// "Auto Save" goes off without the dialog; "Cancel" keeps the settings and the quality.
TEST_F(Form1Test, AutoSaveIsOnAfterOkOnlyAndOffWithoutTheDialog) {
  Form1& form = Start();
  Form2& dialog = *form.form2();
  dialog.QScroll->setValue(75);
  dialog.SlideTime->setText("7");
  const std::string out = out_.Path();
  AutoSaveWith(out, "holiday", true, true);
  const AutoSaveChoice& choice = form.Session().AutoSave();
  EXPECT_EQ(std::tuple(choice.names.base, choice.names.filePath, choice.names.keepOriginalFileName,
                       choice.slideTime, choice.generateSlideShow),
            std::tuple(out + "/", out + "/", true, "7", true));
  AutoSaveWith(out, "holiday");
  EXPECT_EQ(std::tuple(form.Checked(MenuItem::AutoSave), SettingsStore::GetSetting("Quality", "")),
            std::tuple(true, "75"));
  form.AutoSave_Click();
  dialog.Text2->setText("other");
  dialog.QScroll->setValue(30);
  Press(dialog.Command2, &Form1::AutoSave_Click);
  EXPECT_EQ(std::tuple(form.Checked(MenuItem::AutoSave), dialogs_.modals,
                       form.Session().AutoSave().names.base, form.Session().Quality()),
            std::tuple(false, 3, out + "/holiday", 75));
}

// "Ok" keeps the dialog open, says why and takes nothing, so that "Auto Save" stays off, for a
// folder that is missing or no folder (no picture goes to the root folder) and, with "Generate
// Slide Show" ticked, for seconds per slide that the slide show cannot use: it takes a number
// above 0 that a browser's timer keeps, read as the slide show reads it (in the user's locale).
// Unticked, the seconds are not looked at.
TEST_F(Form1Test, AutoSaveDialogTakesOnlyAFolderThatExistsAndSecondsASlideShowCanUse) {
  Form1& form = Start();
  QLineEdit& slideTime = *form.form2()->SlideTime;
  const std::string out = out_.Path(), missing = out_.File("missing"), file = Pic("a.jpg", "");
  const std::string choose = "Choose a folder to save the pictures in";
  // The folder, the seconds per slide, and what the message holds.
  std::vector<std::tuple<std::string, const char*, std::vector<std::string>>> refused = {
      {"", "5", {choose}}, {missing, "5", {choose, missing}}, {file, "5", {choose, file}}};
  for (const char* seconds : {"abc", "0", "-5", "1e7", "", "5s", "inf", "2147484"})
    refused.push_back({out, seconds, {"seconds per slide"}});
  for (const auto& [folder, seconds, says] : refused) {
    SCOPED_TRACE(folder + " " + seconds);
    slideTime.setText(seconds);
    EXPECT_TRUE(AutoSaveWith(folder, "x", false, true) && !form.Checked(MenuItem::AutoSave));
    ASSERT_EQ(dialogs_.messages.size(), 1u);
    const std::string message = std::exchange(dialogs_.messages, {}).front();
    for (const std::string& part : says)
      EXPECT_NE(message.find(part), std::string::npos) << message;
  }
  EXPECT_EQ(std::tuple(form.Session().HasAutoSaveNames(), form.Session().AutoSave().names.base),
            std::tuple(false, ""));
  EXPECT_FALSE(AutoSaveWith(out, "x"));  // unticked, with the seconds "2147484"
  EXPECT_EQ(std::tuple(form.Checked(MenuItem::AutoSave), form.Session().AutoSave().names.base,
                       dialogs_.messages.size()),
            std::tuple(true, out + "/x", 0u));
  for (const char* seconds : {"2.5", "0.25", "1e2", "2147483"}) {
    slideTime.setText(seconds);
    AutoSaveWith(out, "x", false, true);
    EXPECT_EQ(std::tuple(form.Checked(MenuItem::AutoSave), form.Session().AutoSave().slideTime),
              std::tuple(true, seconds));
  }
  ScopedLocale german("de_DE");
  slideTime.setText("2,5");
  EXPECT_FALSE(AutoSaveWith(out, "x", false, true));
  EXPECT_TRUE(form.Checked(MenuItem::AutoSave) && dialogs_.messages.empty());
}

// The label dialog's text is drawn as a label; the dialog offers the last text, all selected,
// and "Cancel" draws nothing.
TEST_F(Form1Test, LabelDialogDrawsItsTextAndOffersItAgain) {
  Form1& form = Start();
  form.OpenPictures({Pic("a.jpg", MakeJpeg(64, 48))});
  Form4& label = *form.form4();
  const Canvas& canvas = form.Session().Picture2();
  label.Text1->setText("Harbour");
  form.Clear_Click();
  Press(label.Command1, &Form1::Lable_Click);
  const QImage labelled = canvas.Image();
  form.Clear_Click();
  form.Session().DrawLabel("Harbour");
  EXPECT_TRUE(canvas.Image() == labelled && labelled != canvas.PictureImage());
  form.Clear_Click();
  Press(label.Command2, &Form1::Lable_Click);
  EXPECT_EQ(std::tuple(label.Text1->selectedText(), canvas.Image() == canvas.PictureImage()),
            std::tuple("Harbour", true));
}

// The chosen font becomes the label font; a cancelled choice changes nothing.
TEST_F(Form1Test, FontDialogChoosesTheLabelFont) {
  dialogs_.font = QFont("DejaVu Serif", 10, -1, true);
  Form1& form = Start();
  form.SelectFont_Click();
  dialogs_.font = std::nullopt;
  form.SelectFont_Click();
  const QFont font = form.Session().Picture2().Font();
  EXPECT_EQ(std::tuple(font.family(), font.italic()), std::tuple(QString("DejaVu Serif"), true));
}

// 27 items in four columns of eight. "Cancel" keeps the ticks for this run only; "Ok" stores
// them for the next start.
TEST_F(Form1Test, PictureDataDialogTicksItemsForTheRunAndStoresThemOnOk) {
  const auto& items = Start().form5()->PictureDataItem;
  for (size_t i = 0; i < Form5::kItems; ++i) {
    const bool column = items[i]->pos() == QPoint(items[i / 8 * 8]->x(), items[i % 8]->y());
    EXPECT_TRUE(i >= 27 ? items[i]->isHidden()
                        : column && (i < 8 || items[i]->x() > items[i - 8]->x()))
        << i;
  }
  items[1]->setChecked(true);
  Press(form_->form5()->Command2, &Form1::SelectData_Click);
  EXPECT_EQ(
      std::tuple(form_->Session().PictureDataItems()[1], SettingsStore::HasSetting("PicData")),
      std::tuple(1, false));
  Form5& again = *Start().form5();
  for (size_t i : {2, 1, 5, 24})  // Model, Make, DateTime, SelfTimerMode
    again.PictureDataItem[i]->setChecked(true);
  Press(again.Command1, &Form1::SelectData_Click);
  EXPECT_EQ(SettingsStore::GetSetting("PicData", ""),
            "0,1,1,0,0,1,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,1,0,0,0,0,0,0,0,");
}

// "Picture Data" of the View menu lists the shown picture's items under its name.
TEST_F(Form1Test, PictureDataWindowListsTheShownPicture) {
  const std::string camera = Pic("camera.jpg", ExifJpeg(CameraExif(), false, MakeJpeg(32, 24)));
  Form1& form = Start();
  PicDataFlags make{};
  make[1] = 1;
  form.Session().SetPictureDataItems(make);
  form.OpenPictures({camera});
  form.DisplayPicData_Click();
  EXPECT_EQ(form.form6()->Text1->toPlainText().toStdString(), camera + "\n Make \tFoto\n");
}

}  // namespace snapwick::test
