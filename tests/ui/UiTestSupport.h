#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>
#include <QDialog>
#include <QTest>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/Form1.h"
#include "platform/Dialogs.h"
#include "platform/ScreenMetrics.h"
#include "support/TestEnvironment.h"

namespace snapwick::test {

// Answers the program's dialogs from queues filled by the test, and records what was asked.
class FakeDialogHost : public DialogHost {
 public:
  std::deque<std::optional<std::string>> openAnswers;
  std::deque<std::optional<std::string>> saveAnswers;
  std::deque<std::optional<std::string>> folderAnswers;
  std::deque<bool> yesNoAnswers;
  std::optional<QFont> fontAnswer;
  // Runs a modal dialog: the test fills its fields and presses its buttons. Without one the
  // dialog is just hidden again.
  std::function<void(QDialog*)> onModal;

  std::vector<std::string> questions;
  std::vector<std::string> messages;
  std::vector<std::string> openTitles;
  std::vector<std::string> openFilters;
  std::vector<QDialog*> modalShown;
  int fontDialogs = 0;

  std::optional<std::string> OpenFiles(QWidget*, const std::string& title,
                                       const std::string& filter) override {
    openTitles.push_back(title);
    openFilters.push_back(filter);
    return Take(openAnswers);
  }
  std::optional<std::string> SaveFile(QWidget*, const std::string&, const std::string&) override {
    return Take(saveAnswers);
  }
  std::optional<std::string> ChooseFolder(QWidget*, const std::string&,
                                          const std::string&) override {
    return Take(folderAnswers);
  }
  bool AskYesNo(QWidget*, const std::string& title, const std::string& text) override {
    questions.push_back(title + "|" + text);
    if (yesNoAnswers.empty()) return false;
    const bool answer = yesNoAnswers.front();
    yesNoAnswers.pop_front();
    return answer;
  }
  void ShowMessage(QWidget*, const std::string&, const std::string& text) override {
    messages.push_back(text);
  }
  std::optional<QFont> ChooseFont(QWidget*, const QFont&) override {
    ++fontDialogs;
    return fontAnswer;
  }
  int RunModal(QDialog* dialog) override {
    modalShown.push_back(dialog);
    dialog->show();
    if (onModal) onModal(dialog);
    dialog->hide();
    return dialog->result();
  }

 private:
  static std::optional<std::string> Take(std::deque<std::optional<std::string>>& answers) {
    if (answers.empty()) return std::nullopt;
    auto answer = answers.front();
    answers.pop_front();
    return answer;
  }
};

// The selection string the open dialog hands over for several files of one folder.
inline std::string Selection(const std::string& folder, const std::vector<std::string>& names) {
  std::string selection = folder;
  for (const std::string& name : names) {
    selection += '\0';
    selection += name;
  }
  return selection;
}

// A main window on a fixed 96-dpi screen of 1920 x 1200 pixels, with empty settings, working in
// a temporary folder of its own.
class Form1Test : public ::testing::Test {
 protected:
  void SetUp() override {
    ClearSettings();
    ScreenMetrics::Override(ScreenMetrics::Values{15, 15, 1920 * 15, 1200 * 15});
    ASSERT_EQ(::chdir(work_.Path().c_str()), 0);
  }

  void TearDown() override {
    form_.reset();
    ScreenMetrics::Override(std::nullopt);
  }

  Form1& Start() {
    form_ = std::make_unique<Form1>(dialogs_);
    form_->quitProgram = [this] { ++quits_; };
    form_->show();
    QApplication::processEvents();
    return *form_;
  }

  // Sets the window to a fixed size (an index of the Resize menu) and lets the resize arrive.
  void FixSize(int index) {
    form_->FixedSize_Click(index);
    QApplication::processEvents();
  }

  FakeDialogHost dialogs_;
  TempDir work_;
  std::unique_ptr<Form1> form_;
  int quits_ = 0;
};

}  // namespace snapwick::test
