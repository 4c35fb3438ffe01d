#include "chrome/Form6.h"

#include <QPalette>
#include <QPlainTextEdit>
#include <QPushButton>

#include "chrome/CasualFont.h"

namespace snapwick {

Form6::Form6(QWidget* parent) : QDialog(parent) {
  setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
  resize(560, 420);
  QPalette palette = this->palette();
  palette.setColor(QPalette::Window, Qt::white);
  setPalette(palette);
  setAutoFillBackground(true);

  Text1 = new QPlainTextEdit(this);
  Text1->setFont(CasualFont(9.75));
  Text1->setReadOnly(true);
  Text1->setGeometry(12, 12, width() - 24, height() - 66);
  Command1 = new QPushButton("&Ok", this);
  Command1->setGeometry((width() - 92) / 2, height() - 44, 92, 30);
  Command1->setDefault(true);
  connect(Command1, &QPushButton::clicked, this, &Form6::Command1_Click);
}

void Form6::SetText(const QString& text) {
  Text1->setPlainText(text);
}

void Form6::Command1_Click() {
  hide();
}

}  // namespace snapwick
