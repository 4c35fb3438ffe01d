#include "labels/Form4.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace snapwick {

Form4::Form4(QWidget* parent) : QDialog(parent) {
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

std::string Form4::Text() const {
  return Text1->text().toStdString();
}

void Form4::showEvent(QShowEvent* event) {
  // The text offered again is selected, so that typing replaces it.
  Text1->selectAll();
  QDialog::showEvent(event);
}

void Form4::Command1_Click() {
  Text1->setFocus();
  accept();
}

void Form4::Command2_Click() {
  Text1->setFocus();
  QDialog::reject();
}

// Escape and the window's close button act as "&Cancel".
void Form4::reject() {
  Command2_Click();
}

}  // namespace snapwick
