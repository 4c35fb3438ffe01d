#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace snapwick {

class Form1;

// "Enter Title": the label dialog. Hidden between uses, so the text typed last is offered again.
class Form4 : public QDialog {
  Q_OBJECT

 public:
  explicit Form4(Form1& owner);

  QLabel* Label1 = nullptr;
  QLineEdit* Text1 = nullptr;
  QPushButton* Command1 = nullptr;  // "&Ok", the default button
  QPushButton* Command2 = nullptr;  // "&Cancel"

  void Command1_Click();
  void Command2_Click();

 protected:
  void reject() override;

 private:
  Form1& owner_;
};

}  // namespace snapwick
