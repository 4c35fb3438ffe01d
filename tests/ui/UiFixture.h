#pragma once

#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/capability.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <QTest>
#include <QtWidgets>
#include <cstring>
#include <deque>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>

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
#include "support/TestEnvironment.h"

namespace snapwick::test {

// Answers the program's dialogs from queues filled by the test, and records what was asked.
struct FakeDialogHost : DialogHost {
  using Text = const std::string&;
  using Answer = std::optional<std::string>;
  Answer file;              // the answer of the next open or save dialog, taken by it
  std::vector<bool> yesNo;  // the answers of the questions in turn, then No
  std::optional<QFont> font;
  std::function<void(QDialog*)> onModal;  // fills a modal dialog and presses its buttons
  std::vector<std::string> questions, messages;
  int modals = 0;

  Answer OpenFiles(QWidget*, Text, Text) override { return std::exchange(file, {}); }
  Answer SaveFile(QWidget*, Text, Text) override { return std::exchange(file, {}); }
  Answer ChooseFolder(QWidget*, Text, Text) override { return {}; }
  bool AskYesNo(QWidget*, Text title, Text text) override {
    questions.push_back(title + "|" + text);
    return questions.size() <= yesNo.size() && yesNo[questions.size() - 1];
  }
  void ShowMessage(QWidget*, Text, Text text) override { messages.push_back(text); }
  std::optional<QFont> ChooseFont(QWidget*, const QFont&) override { return font; }
  int RunModal(QDialog* dialog) override {
    ++modals;
    dialog->setResult(0);
    dialog->show();
    if (onModal) onModal(dialog);
    dialog->hide();
    return dialog->result();
  }
};

// Pixels of an image inside a rectangle that pass a test.
inline int CountPixels(const QImage& image, const QRect& area, bool (*test)(QColor)) {
  int count = 0;
  for (int i = 0; i < area.width() * area.height(); ++i)
    count += test(image.pixelColor(area.x() + i % area.width(), area.y() + i / area.width()));
  return count;
}

// The names in a folder, hidden ones included, in order, each JPEG with its size:
// "a_001.jpg 640x480, slides.htm"; empty for a missing folder.
inline std::string Folder(const std::string& path) {
  const QDir folder(QString::fromStdString(path), "", QDir::Name,
                    QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
  QStringList list;
  for (const QFileInfo& entry : folder.entryInfoList()) {
    const auto [width, height] = entry.isFile()
                                     ? JpegSize(QFile::encodeName(entry.filePath()).toStdString())
                                     : std::pair(0, 0);
    list << entry.fileName() + (width > 0 ? QString(" %1x%2").arg(width).arg(height) : "");
  }
  return list.join(", ").toStdString();
}

// A line of /proc/self/status in kB ("VmRSS", "VmHWM", "VmPeak"); -1 when missing.
inline int64_t ProcStatusKb(const std::string& key) {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind(key + ":", 0) == 0) return std::stoll(line.substr(key.size() + 1));
  return -1;
}

// How far the peak address space (VmPeak) and the peak resident memory (VmHWM, started again
// from the current resident memory) rose over a stretch of work, in kB.
struct MemoryProbe {
  MemoryProbe() { std::ofstream("/proc/self/clear_refs") << "5"; }
  int64_t AddressSpaceKb() const { return ProcStatusKb("VmPeak") - peak_; }
  int64_t ResidentKb() const { return ProcStatusKb("VmHWM") - resident_; }
  const int64_t peak_ = ProcStatusKb("VmPeak"), resident_ = ProcStatusKb("VmRSS");
};

// While it lives, the calling thread loses root's privilege to override file permissions, so
// that mode bits apply to it as to anyone.
struct ScopedFilePermissionsApply {
  ScopedFilePermissionsApply() {
    ::syscall(SYS_capget, &header_, saved_);
    __user_cap_data_struct lowered[2] = {saved_[0], saved_[1]};
    lowered[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
    ::syscall(SYS_capset, &header_, lowered);
  }
  ~ScopedFilePermissionsApply() { ::syscall(SYS_capset, &header_, saved_); }
  __user_cap_header_struct header_{_LINUX_CAPABILITY_VERSION_3, 0};
  __user_cap_data_struct saved_[2] = {};
};

// The main window on a 96-dpi screen of 1920 x 1200 pixels with empty settings, working in a
// folder of its own, with folders for pictures, saved pictures and the cache, and the user's steps.
struct Form1Test : ::testing::Test {
  void SetUp() override {
    ClearSettings();
    ::setenv("XDG_CACHE_HOME", cache_.Path().c_str(), 1);
    ScreenMetrics::Override(ScreenMetrics::Values{15, 15, 1920 * 15, 1200 * 15});
    ASSERT_EQ(::chdir(work_.Path().c_str()), 0);
  }
  void TearDown() override {
    form_.reset();
    ::unsetenv("XDG_CACHE_HOME");
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
  std::string Pic(const std::string& name, const std::string& bytes) {
    WriteBytes(pics_.File(name), bytes);
    return pics_.File(name);
  }
  std::string Log() const { return form_->LogMessage->text().toStdString(); }
  // Runs a command that asks for a file, answering with the file.
  void Answer(const std::string& file, void (Form1::*command)()) {
    dialogs_.file = file;
    (form_.get()->*command)();
  }
  // "Load..." answered with pictures of the pictures' folder: one as its path, several as the
  // folder and their names.
  void Load(const std::vector<std::string>& names) {
    std::string selection = names.size() == 1 ? pics_.File(names[0]) : pics_.Path();
    for (size_t i = 0; names.size() > 1 && i < names.size(); ++i)
      selection += '\0' + names[i];
    Answer(selection, &Form1::Load_Click);
  }
  // Runs a command that opens a modal dialog, and presses one of the dialog's buttons.
  void Press(QAbstractButton* button, void (Form1::*command)()) {
    dialogs_.onModal = [button](QDialog*) { button->click(); };
    (form_.get()->*command)();
    dialogs_.onModal = nullptr;
  }
  // "Auto Save" switched on through its dialog's "Ok".
  void AutoSaveWith(const std::string& folder, const std::string& prefix, bool keepNames = false,
                    bool slideShow = false) {
    Form2& dialog = *form_->form2();
    dialog.Text1->setText(QFile::decodeName(QByteArray::fromStdString(folder)));
    dialog.Text2->setText(QString::fromStdString(prefix));
    dialog.KeepFileName->setChecked(keepNames);
    dialog.GenerateSlideShow->setChecked(slideShow);
    form_->SetChecked(MenuItem::AutoSave, false);
    Press(dialog.Command1, &Form1::AutoSave_Click);
  }
  // "Auto" on a fast timer for one tick, or until it switches itself off at the list's end.
  void Auto(bool oneTick = false) {
    form_->Timer1.setInterval(1);
    const auto stop = QObject::connect(&form_->Timer1, &QTimer::timeout, [this, oneTick] {
      if (oneTick) form_->SetChecked(MenuItem::AutoNext, false);
    });
    form_->AutoNext_Click();
    EXPECT_TRUE(QTest::qWaitFor([this] { return !form_->Checked(MenuItem::AutoNext); }, 120000));
    QObject::disconnect(stop);
  }

  // What is on screen: the picture, and the title in the window's state and caption.
  using Screen = std::tuple<QImage, std::string, QString>;
  Screen Shown() const {
    return {form_->Session().Picture2().PictureImage(), form_->Session().WindowTitle(),
            form_->windowTitle()};
  }
  // The previous picture stays on screen with its titles, without its drawn text.
  void ExpectKept(const Screen& before) const {
    EXPECT_TRUE(Shown() == before) << form_->Session().WindowTitle();
    EXPECT_TRUE(form_->Session().Picture2().Image() == std::get<0>(before))
        << "drawn text is still there";
  }

  FakeDialogHost dialogs_;
  TempDir work_, pics_, out_, cache_;
  std::unique_ptr<Form1> form_;
  int quits_ = 0;
};

}  // namespace snapwick::test
