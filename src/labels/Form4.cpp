#include "labels/Form4.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/Form1.h"
#include "base/Checked.h"
#include "platform/PictureBox.h"

namespace snapwick {

namespace {
constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kRed = 0x0000FF;
}  // namespace

Form4::Form4(Form1& owner) : QDialog(&owner), owner_(owner) {
  setWindowTitle("Enter Title");
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint);
  setFixedSize(400, 110);
  Label1 = new QLabel("Label", this);
  Label1->setGeometry(12, 12, 376, 20);
  Text1 = new QLineEdit(this);
  Text1->setGeometry(12, 34, 376, 26);
  Command1 = new QPushButton("&Ok", this);
  Command1->setGeometry(196, 72, 92, 28);
  Command1->setDefault(true);
  Command2 = new QPushButton("&Cancel", this);
  Command2->setGeometry(296, 72, 92, 28);
  connect(Command1, &QPushButton::clicked, this, &Form4::Command1_Click);
  connect(Command2, &QPushButton::clicked, this, &Form4::Command2_Click);
}

void Form4::Command1_Click() {
  // The label sits below the date: at twice the font size in points, halves to even.
  const int32_t y =
      checked::Round32(static_cast<float>(owner_.Picture2->font().pointSizeF()) * 2.0);
  owner_.PicturePrint(0, y, Text1->text().toStdString(), kWhite, kRed);
  Text1->setFocus();
  hide();
}

void Form4::Command2_Click() {
  Text1->setFocus();
  hide();
}

// Escape and the window's close button act as "&Cancel".
void Form4::reject() {
  Command2_Click();
  QDialog::reject();
}

}  // namespace snapwick
