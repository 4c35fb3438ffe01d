// "Save All" of the main window: in the background, with a progress dialog, writing what "Auto
// Save" writes.
#include "app/SaveAllView.h"
#include "ui/UiFixture.h"

namespace snapwick::test {

// Waits for the window's batch to end.
static bool SaveAllEnds(const Form1& form) {
  return QTest::qWaitFor([&] { return form.SaveAllRunning() == nullptr; }, 120000);
}

// "Save All" waits for a list; without auto-save names it asks for them first; it runs in the
// background with a progress dialog, then tells the summary on the log line. Its files, the last
// typed label on each, are byte for byte those that "Auto Save" writes with "Auto Label".
TEST_F(Form1Test, SaveAllWritesWhatAutoSaveWritesInTheBackground) {
  const std::vector<std::string> names = ThreePics(PhotoLike);
  const std::string batch = out_.File("batch"), shown = out_.File("shown");
  QDir().mkpath(QString::fromStdString(batch));
  QDir().mkpath(QString::fromStdString(shown));
  Form1& form = Start(1);
  QAction& saveAll = *form.Action(MenuItem::SaveAll);
  EXPECT_FALSE(saveAll.isEnabled());
  Load(names);
  EXPECT_TRUE(saveAll.isEnabled());
  form.SetChecked(MenuItem::AutoLabel, true);
  Form4& label = *form.form4();
  label.Text1->setText("Harbour");
  Press(label.Command1, &Form1::Lable_Click);

  // The names dialog first: "Cancel" ends there.
  Form2& names2 = *form.form2();
  Press(names2.Command2, &Form1::SaveAll_Click);
  EXPECT_TRUE(form.SaveAllRunning() == nullptr && dialogs_.modals == 2);
  names2.Text1->setText(QString::fromStdString(batch));
  names2.Text2->setText("x");
  Press(names2.Command1, &Form1::SaveAll_Click);
  ASSERT_TRUE(form.SaveAllRunning() != nullptr);
  EXPECT_TRUE(form.SaveAllRunning()->Progress()->isVisible() && !saveAll.isEnabled());
  ASSERT_TRUE(SaveAllEnds(form));
  EXPECT_EQ(Log(), "Save All: 3 of 3 written");
  EXPECT_TRUE(saveAll.isEnabled());

  AutoSaveWith(shown, "x");
  dialogs_.onModal = [&](QDialog*) { label.Command1->click(); };
  Load(names);
  Auto();
  for (const char* name : {"x_001.jpg", "x_002.jpg", "x_003.jpg"}) {
    const std::string expected = ReadFile(shown + "/" + name);
    EXPECT_TRUE(!expected.empty() && ReadFile(batch + "/" + name) == expected) << name;
  }
}

// Cancel in the progress dialog stops the batch after the pictures in flight, each whole.
TEST_F(Form1Test, SaveAllCancelsAfterThePicturesInFlight) {
  std::vector<std::string> names;
  for (int i = 0; i < 12; ++i) {
    names.push_back("p" + std::to_string(i) + ".jpg");
    Pic(names.back(), MakeJpeg(1600, 1200, PhotoLike));
  }
  Form1& form = Start(0);
  Load(names);
  AutoSaveWith(out_.Path(), "x");
  form.SaveAll_Click();
  ASSERT_TRUE(form.SaveAllRunning() != nullptr);
  form.SaveAllRunning()->Progress()->findChild<QPushButton*>()->click();
  ASSERT_TRUE(SaveAllEnds(form));
  EXPECT_TRUE(Log().starts_with("Save All cancelled: ")) << Log();
  const QStringList written = QDir(QString::fromStdString(out_.Path())).entryList(QDir::Files);
  EXPECT_LT(written.size(), 12);
  for (const QString& name : written)
    EXPECT_EQ(JpegSize(out_.File(name.toStdString())), std::pair(160, 120)) << name.toStdString();
}

}  // namespace snapwick::test
