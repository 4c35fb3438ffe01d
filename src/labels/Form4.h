#pragma once

#include <QDialog>
#include <string>

class QLabel;
class QLineEdit;
class QPushButton;

namespace snapwick {

// "Enter Title": the label dialog. Hidden between uses, so the text typed last is offered again.
// "&Ok" accepts the dialog; its text is then the label.
class Form4 : public QDialog {
  Q_OBJECT

 public:
  explicit Form4(QWidget* parent = nullptr);

  QLabel* Label1 = nullptr;
  QLineEdit* Text1 = nullptr;
  QPushButton* Command1 = nullptr;  // "&Ok", the default button
  QPushButton* Command2 = nullptr;  // "&Cancel"

  // The text typed, as UTF-8.
  std::string Text() const;

  void Command1_Click();
  void Command2_Click();

 protected:
  void showEvent(QShowEvent* event) override;
  void reject() override;
};

}  // namespace snapwick
