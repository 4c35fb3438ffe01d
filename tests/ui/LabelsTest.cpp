// What is drawn on the picture and how it is saved: the date, labels, the font, "Save as...",
// the auto-save dialog, and the picture data with its dialog and listing.

#include "ui/UiFixture.h"

namespace snapwick::test {

constexpr const char* kDate = "Sat Jul-03, 2004 12:05:09";

// The date and labels on a grey picture of 600 x 120, drawn in plain pixels.
TEST_F(Form1Test, DateAndLabels) {
  // A picture of a camera "Foto" last written at the date, shown without "Auto Date", then put
  // on a grey box.
  ScopedTimeZone zone("UTC0");
  TiffBuilder tiff(true);
  tiff.AddAscii(tiff.AddDirectory(), 0x010F, "Foto");
  const std::string picture = Pic("dated.jpg", ExifJpeg(tiff.Build(), false, MakeJpeg(60, 12)));
  const timespec written[2] = {{1088856309, 0}, {1088856309, 0}};  // 2004-07-03 12:05:09 UTC
  ASSERT_EQ(::utimensat(AT_FDCWD, picture.c_str(), written, 0), 0);
  Form1& form = Start();
  Form4& label = *form.form4();
  form.AutoDate_Click();
  PicDataFlags make{};
  make[1] = 1;
  form.Session().SetPictureDataItems(make);
  form.OpenPictures({picture.c_str()});
  Canvas& canvas = form.Session().Picture2();
  canvas.SetBoxSize(600, 120);
  canvas.SetPicture(ImageFromSurface(MakeSurface(600, 120, Solid({128, 128, 128}))));
  canvas.SetTextAntialiasing(false);
  form.SetDate_Click();
  // White, with a black shadow where the text lies one pixel up and left, grey elsewhere.
  int white = 0, black = 0;
  for (int i = 0; i < 300 * 40; ++i) {
    const int x = i % 300, y = i / 300, c = form.Session().Picture2().Point(x, y);
    white += c == 0xFFFFFF;
    black += c == 0;
    const bool shadow = form.Session().Picture2().Point(x - 1, y - 1) == 0xFFFFFF;
    EXPECT_TRUE(c == 0xFFFFFF || c == (shadow ? 0 : 0x808080)) << x << "," << y;
  }
  EXPECT_TRUE(white > 50 && black > 20) << white << " " << black;
  // With "Picture Data" the picture string follows after a blank.
  form.Clear_Click();
  form.Session().PicturePrint(0, 0, std::string(kDate) + "  Make : Foto", 0xFFFFFF, 0);
  const QImage expected = form.Session().Picture2().Image();
  form.Clear_Click();
  form.PictureData_Click();
  form.SetDate_Click();
  EXPECT_EQ(form.Session().Picture2().Image(), expected);
  // A label sits at twice the font size, white with a red shadow.
  label.Text1->setText("Harbour");
  for (const auto& [points, y] : {std::pair{8.25, 16}, std::pair{12.0, 24}}) {
    QFont font = form.Session().Picture2().Font();
    font.setPointSizeF(points);
    form.Session().SetLabelFont(font);
    form.Clear_Click();
    Press(label.Command1, &Form1::Lable_Click);
    const QImage labelled = form.Session().Picture2().Image();
    form.Clear_Click();
    form.Session().PicturePrint(0, y, "Harbour", 0xFFFFFF, 0x0000FF);
    EXPECT_EQ(form.Session().Picture2().Image(), labelled) << points;
  }
  // The dialog offers the last text, all selected; "Cancel" draws nothing.
  form.Clear_Click();
  Press(label.Command2, &Form1::Lable_Click);
  EXPECT_EQ(std::tuple(label.Text1->selectedText(), form.Session().Picture2().Image() ==
                                                        form.Session().Picture2().PictureImage()),
            std::tuple("Harbour", true));
  // "Clear" takes away what was drawn until a save made it part of the picture; "Save as..."
  // writes under the name given.
  Press(label.Command1, &Form1::Lable_Click);
  const QImage saved = form.Session().Picture2().Image();
  Answer(out_.File("pic"), &Form1::SaveAs_Click);
  form.Clear_Click();
  form.SaveAs_Click();  // cancelled
  EXPECT_EQ(std::tuple(Folder(out_.Path()), form.Session().Picture2().Image() == saved,
                       dialogs_.messages),
            std::tuple("pic 600x120", true, std::vector<std::string>{}));
}

TEST_F(Form1Test, FontAutoSaveDialogAndSlideShows) {
  // The label font is chosen, stored and restored; a cancelled choice changes nothing.
  dialogs_.font = QFont("DejaVu Serif", 10, -1, true);
  dialogs_.font->setPointSizeF(10.5);
  Start().SelectFont_Click();
  dialogs_.font = std::nullopt;
  form_->SelectFont_Click();  // cancelled
  Form1& form = Start();
  const QFont font = form.Session().Picture2().Font();
  EXPECT_EQ(std::tuple(font.family(), font.pointSizeF(), font.bold(), font.italic()),
            std::tuple(QString("DejaVu Serif"), 10.5, false, true));
  Form2& dialog = *form.form2();
  dialog.QScroll->setValue(75);
  AutoSaveWith("/out", "holiday");
  EXPECT_EQ(SettingsStore::GetSetting("Quality", ""), "75");
  // Chosen again: off, without the dialog (2 dialogs in all). "Cancel" keeps the settings and the
  // quality.
  form.AutoSave_Click();
  dialog.Text2->setText("other");
  dialog.QScroll->setValue(30);
  Press(dialog.Command2, &Form1::AutoSave_Click);
  EXPECT_EQ(std::tuple(form.Checked(MenuItem::AutoSave), dialogs_.modals,
                       form.Session().AutoSave().names.base, form.Session().Quality()),
            std::tuple(false, 2, "/out/holiday", 75));
  // A slide show whose interval cannot be written shows nothing; its files stay as far as they got.
  Pic("a.jpg", MakeJpeg(64, 48));
  dialog.SlideTime->setText("soon");
  AutoSaveWith(out_.Path(), "x", false, true);
  Load({"a.jpg", "a.jpg"});
  EXPECT_EQ(std::tuple(form.Session().WindowTitle(), Folder(out_.Path())),
            std::tuple("", "slides.htm, slideshow.js, xSlideShow.htm"));
  // "Auto Label" holds "Auto" while its dialog is open.
  form.SetChecked(MenuItem::AutoLabel, true);
  form.SetChecked(MenuItem::AutoNext, true);
  dialogs_.onModal = [&](QDialog*) { EXPECT_FALSE(form.Checked(MenuItem::AutoNext)); };
  form.SetChecked(MenuItem::AutoSave, false);
  Load({"a.jpg"});
  EXPECT_TRUE(form.Checked(MenuItem::AutoNext) && dialogs_.modals == 4);
}

// Automatic saves keeping the pictures' names never take the place of a source picture: not in the
// pictures' own folder, not through a link; other formats get ".jpg" names, and pictures of
// several folders with one name are numbered. Each row: the pictures made (a name ending in "@"
// is a link to the next picture made), the folder saved into, what it then holds and the log.
TEST_F(Form1Test, AutoSaveNeverWritesOverTheOriginals) {
  struct Row {
    std::vector<std::string> made, opened;
    std::string into, holds, log;
  };
  const Row rows[] = {{{"p/c.bmp", "p/a.jpg"},
                       {"p/c.bmp", "p/a.jpg"},
                       "p",
                       "a.jpg 64x48, c.bmp, c.jpg 160x120",
                       "Not saved: p/a.jpg is the original"},
                      {{"o/a.jpg@", "p/a.jpg"},
                       {"p/a.jpg"},
                       "o",
                       "a.jpg 64x48",
                       "Not saved: o/a.jpg is the original"},
                      {{"x/IMG_1.JPG", "y/IMG_1.JPG", "y/IMG_1.bmp"},
                       {"x/IMG_1.JPG", "y/IMG_1.JPG", "y/IMG_1.bmp"},
                       "o",
                       "IMG_1 (2).JPG 160x120, IMG_1.JPG 160x120, IMG_1.jpg 160x120",
                       ""}};
  Form1& form = Start(0);
  for (const Row& row : rows) {
    TempDir root;
    std::map<std::string, std::string> originals;
    for (size_t i = 0; i < row.made.size(); ++i) {
      const std::string name = row.made[i], path = root.File(name.substr(0, name.find('@')));
      QDir().mkpath(QFileInfo(QString::fromStdString(path)).path());
      if (name.back() == '@') {
        QFile::link(QString::fromStdString(root.File(row.made[i + 1])), path.c_str());
      } else {
        WriteBytes(path, name.ends_with(".bmp") ? MakeBmp(64, 48) : MakeJpeg(64, 48));
        originals[path] = ReadFile(path);
      }
    }
    QStringList opened;
    for (const std::string& name : row.opened)
      opened << root.File(name).c_str();
    QDir().mkpath(root.File(row.into).c_str());
    AutoSaveWith(root.File(row.into), "", true);
    form.OpenPictures(opened);
    if (opened.size() > 1) Auto();
    EXPECT_EQ(Folder(root.File(row.into)), row.holds) << row.into;
    EXPECT_EQ(Log(), row.log.empty() ? "" : "Not saved: " + root.Path() + "/" + row.log.substr(11));
    for (const auto& [path, bytes] : originals)
      EXPECT_TRUE(ReadFile(path) == bytes) << path;
    // The slide show names the files that are there.
    for (int32_t n = 1; n <= int32_t(opened.size()); ++n)
      EXPECT_NE(row.holds.find(form.Session().GetImageName("", n) + " "), std::string::npos) << n;
  }
  // A "temp.jpg" of the current folder opened as a picture is shown, not written over.
  const std::string temp = MakeJpeg(64, 48);
  WriteBytes(work_.File("temp.jpg"), temp);
  form.OpenPictures({"temp.jpg"});
  EXPECT_TRUE(ReadFile(work_.File("temp.jpg")) == temp &&
              form.Session().WindowTitle().ends_with("64x48]"));
}

TEST_F(Form1Test, PictureDataItemsStringAndListing) {
  ScopedTimeZone zone("XXX-2");
  TiffBuilder tiff(true);
  const int ifd0 = tiff.AddDirectory();
  tiff.AddAscii(ifd0, 0x010F, "Foto");
  tiff.AddAscii(ifd0, 0x0110, "F-20 Zoom");
  tiff.AddAscii(ifd0, 0x0132, "2004:06:12 18:42:07");
  const std::string camera = Pic("camera.jpg", ExifJpeg(tiff.Build(), false, MakeJpeg(32, 24)));
  const timespec times[2] = {{1088856309, 0}, {1088856309, 0}};  // 3 July 2004, 12:05:09 UTC
  ASSERT_EQ(::utimensat(AT_FDCWD, camera.c_str(), times, 0), 0);
  // 27 items in four columns of eight.
  const auto& items = Start().form5()->PictureDataItem;
  for (size_t i = 0; i < Form5::kItems; ++i) {
    const bool column = items[i]->pos() == QPoint(items[i / 8 * 8]->x(), items[i % 8]->y());
    EXPECT_TRUE(i >= 27 ? items[i]->isHidden()
                        : column && (i < 8 || items[i]->x() > items[i - 8]->x()))
        << i;
  }
  // "Cancel" keeps the ticks for this run only; "Ok" stores them for the next start.
  items[1]->setChecked(true);
  Press(form_->form5()->Command2, &Form1::SelectData_Click);
  Load({"camera.jpg"});
  EXPECT_EQ(std::tuple(form_->Session().PictureString(), SettingsStore::HasSetting("PicData")),
            std::tuple(" Make : Foto", false));
  Form5& again = *Start().form5();
  for (size_t i : {2, 1, 5, 24})  // Model, Make, DateTime, SelfTimerMode (absent)
    again.PictureDataItem[i]->setChecked(true);
  Press(again.Command1, &Form1::SelectData_Click);
  EXPECT_EQ(SettingsStore::GetSetting("PicData", ""),
            "0,1,1,0,0,1,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,1,0,0,0,0,0,0,0,");
  // The picture string of the restored ticks in catalogue order, the listing window, the date in
  // either time zone.
  Form1& form = Start();
  Load({"camera.jpg"});
  EXPECT_EQ(form.Session().PictureString(),
            " Make : Foto Model : F-20 Zoom DateTime : 2004:06:12 18:42:07");
  form.DisplayPicData_Click();
  EXPECT_EQ(form.form6()->Text1->toPlainText().toStdString(),
            camera + "\n Make \tFoto\n Model \tF-20 Zoom\n DateTime \t2004:06:12 18:42:07\n");
  EXPECT_EQ(form.Session().FileDateText(), "Sat Jul-03, 2004 14:05:09");
  form.UsePcZone_Click();
  form.NextFile_Click();
  EXPECT_EQ(form.Session().FileDateText(), kDate);
}

}  // namespace snapwick::test
