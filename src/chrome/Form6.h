#pragma once

#include <QDialog>

class QPlainTextEdit;
class QPushButton;

namespace snapwick {

// The text window: a frameless white window with a multi-line text and "&Ok".
class Form6 : public QDialog {
  Q_OBJECT

 public:
  explicit Form6(QWidget* parent = nullptr);

  QPlainTextEdit* Text1 = nullptr;
  QPushButton* Command1 = nullptr;  // "&Ok"

  void SetText(const QString& text);
  void Command1_Click();
};

}  // namespace snapwick
