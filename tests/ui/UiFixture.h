#pragma once

#include <QTest>
#include <QtWidgets>

#include "app/Form1.h"
#include "base/Error.h"
#include "base/Settings.h"
#include "chrome/Form6.h"
#include "labels/Form2.h"
#include "labels/Form4.h"
#include "metadata/Form5.h"
#include "platform/Dialogs.h"
#include "platform/PictureBox.h"
#include "platform/ScreenMetrics.h"
#include "support/ExifBuilder.h"
#include "support/Fixtures.h"
#include "support/Probes.h"
#include "support/TestEnvironment.h"
#include "support/Workspace.h"

namespace snapwick::test {

// Answers the program's dialogs from queues filled by the test, and records what was asked.
struct FakeDialogHost : DialogHost {
  using Text = const std::string&;
  using Answer = std::optional<std::string>;
  Answer file;              // the answer of the next open or save dialog, taken by it
  std::vector<bool> yesNo;  // the answers of the questions in turn, then No
  std::optional<QFont> font;
  std::function<void(QDialog*)> onModal;  // fills a modal dialog and presses its buttons
  std::function<void()> whileOpen;        // runs inside every dialog and message box
  std::vector<std::string> questions, messages;
  int modals = 0;

  Answer OpenFiles(QWidget*, Text, Text) override { return Open(), std::exchange(file, {}); }
  Answer SaveFile(QWidget*, Text, Text) override { return Open(), std::exchange(file, {}); }
  Answer ChooseFolder(QWidget*, Text, Text) override { return Open(), Answer(); }
  bool AskYesNo(QWidget*, Text title, Text text) override {
    Open();
    questions.push_back(title + "|" + text);
    return questions.size() <= yesNo.size() && yesNo[questions.size() - 1];
  }
  void ShowMessage(QWidget*, Text, Text text) override {
    Open();
    messages.push_back(text);
  }
  std::optional<QFont> ChooseFont(QWidget*, const QFont&) override { return Open(), font; }
  int RunModal(QDialog* dialog) override {
    ++modals;
    dialog->setResult(0);
    dialog->show();
    Open();
    if (onModal) onModal(dialog);
    dialog->hide();
    return dialog->result();
  }
  void Open() {
    if (whileOpen) whileOpen();
  }
};

// The main window on a 96-dpi screen of 1920 x 1200 pixels in a workspace, and the user's steps.
struct Form1Test : Workspace {
  void SetUp() override {
    Workspace::SetUp();
    ScreenMetrics::Override(ScreenMetrics::Values{15, 15, 1920 * 15, 1200 * 15});
  }
  void TearDown() override {
    form_.reset();
    Workspace::TearDown();
    ScreenMetrics::Override(std::nullopt);
  }

  // Starts the window, at one of the fixed sizes (an index of the Resize menu) when given.
  Form1& Start(int size = -1) {
    form_ = std::make_unique<Form1>(dialogs_);
    form_->quitProgram = [this] { ++quits_; };
    form_->show();
    if (size >= 0) form_->FixedSize_Click(size);
    QApplication::processEvents();
    return *form_;
  }
  std::string Log() const { return form_->LogMessage->text().toStdString(); }
  std::string Title() const { return form_->Session().WindowTitle(); }
  // a.jpg of 400 x 300, b.jpg of 300 x 400 and c.jpg of 200 x 100 in the pictures' folder.
  std::vector<std::string> ThreePics(const Pattern& pattern = Gradient) {
    Pic("a.jpg", MakeJpeg(400, 300, pattern));
    Pic("b.jpg", MakeJpeg(300, 400, pattern));
    Pic("c.jpg", MakeJpeg(200, 100, pattern));
    return {"a.jpg", "b.jpg", "c.jpg"};
  }
  // Runs a command that asks for a file, answering with the file.
  void Answer(const std::string& file, void (Form1::*command)()) {
    dialogs_.file = file;
    (form_.get()->*command)();
  }
  // "Load..." answered with pictures of the pictures' folder.
  void Load(const std::vector<std::string>& names) { Answer(Selection(names), &Form1::Load_Click); }
  // Runs a command that opens a modal dialog, and presses one of the dialog's buttons; whether the
  // dialog stayed open after the press.
  bool Press(QAbstractButton* button, void (Form1::*command)()) {
    bool open = false;
    dialogs_.onModal = [&](QDialog* dialog) {
      button->click();
      open = dialog->isVisible();
    };
    (form_.get()->*command)();
    dialogs_.onModal = nullptr;
    return open;
  }
  // "Auto Save" switched on by "Ok" in its dialog; whether the dialog stayed open.
  bool AutoSaveWith(const std::string& folder, const std::string& prefix, bool keepNames = false,
                    bool slideShow = false) {
    Form2& dialog = *form_->form2();
    dialog.Text1->setText(QFile::decodeName(QByteArray::fromStdString(folder)));
    dialog.Text2->setText(QString::fromStdString(prefix));
    dialog.KeepFileName->setChecked(keepNames);
    dialog.GenerateSlideShow->setChecked(slideShow);
    form_->SetChecked(MenuItem::AutoSave, false);
    return Press(dialog.Command1, &Form1::AutoSave_Click);
  }
  // "Auto" on a fast timer until it switches itself off at the list's end.
  void Auto() {
    form_->Timer1.setInterval(1);
    form_->AutoNext_Click();
    EXPECT_TRUE(QTest::qWaitFor([this] { return !form_->Checked(MenuItem::AutoNext); }, 120000));
  }

  FakeDialogHost dialogs_;
  std::unique_ptr<Form1> form_;
  int quits_ = 0;
};

}  // namespace snapwick::test
