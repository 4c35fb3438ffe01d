#pragma once

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <string>
#include <vector>

#include "labels/Form2.h"
#include "platform/PictureBox.h"
#include "support/Fixtures.h"
#include "support/ProcessProbes.h"
#include "ui/UiTestSupport.h"

namespace snapwick::test {

// The main window with folders for pictures and auto-saves, and the steps of the picture road
// as the user takes them.
class PictureRoadTest : public Form1Test {
 protected:
  // What the window shows and says.
  struct Screen {
    QImage picture;  // the box's picture
    QImage image;    // the picture with what is drawn on it
    std::string title;
    QString caption;
  };

  Screen Shown() const {
    return Screen{form_->Picture2->PictureImage(), form_->Picture2->Image(), form_->WindowTitle,
                  form_->windowTitle()};
  }

  // The previous picture stays on screen without its drawn text, with its title.
  void ExpectPreviousPictureKept(const Screen& before) const {
    EXPECT_EQ(form_->WindowTitle, before.title);
    EXPECT_EQ(form_->windowTitle(), before.caption);
    EXPECT_TRUE(form_->Picture2->PictureImage() == before.picture) << "the shown picture changed";
    EXPECT_TRUE(form_->Picture2->Image() == form_->Picture2->PictureImage())
        << "drawn text is still there";
  }

  // "Load..." answered with the selection.
  void Load(const std::string& selection) {
    dialogs_.openAnswers.push_back(selection);
    form_->Load_Click();
  }

  // "Save as..." answered with the name.
  void SaveAs(const std::string& name) {
    dialogs_.saveAnswers.push_back(name);
    form_->SaveAs_Click();
  }

  // "Auto Save" switched on through its dialog, as "Ok" leaves it.
  void AutoSaveWith(const std::string& folder, const std::string& prefix, bool keepNames = false,
                    bool slideShow = false) {
    dialogs_.onModal = [&](QDialog* dialog) {
      if (auto* form2 = qobject_cast<Form2*>(dialog)) {
        form2->Text1->setText(QFile::decodeName(QByteArray::fromStdString(folder)));
        form2->Text2->setText(QString::fromStdString(prefix));
        form2->KeepFileName->setChecked(keepNames);
        form2->GenerateSlideShow->setChecked(slideShow);
        form2->Command1->click();
      }
    };
    if (form_->Checked("AutoSave")) form_->AutoSave_Click();
    form_->AutoSave_Click();
    dialogs_.onModal = nullptr;
    ASSERT_TRUE(form_->Checked("AutoSave"));
  }

  // One step of "Auto": checks it, lets exactly one tick of a fast timer act, and unchecks it.
  void AutoStep() {
    form_->Timer1.setInterval(1);
    bool ticked = false;
    const QMetaObject::Connection connection = QObject::connect(
        &form_->Timer1, &QTimer::timeout, form_.get(),
        [&] {
          ticked = true;
          form_->SetChecked("AutoNext", false);
        },
        Qt::SingleShotConnection);
    form_->AutoNext_Click();
    for (int i = 0; i < 2000 && !ticked; ++i)
      QTest::qWait(1);
    QObject::disconnect(connection);
    ASSERT_TRUE(ticked);
    EXPECT_FALSE(form_->Checked("AutoNext"));
  }

  TempDir pics_;
  TempDir out_;
};

}  // namespace snapwick::test
