#pragma once

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollBar;

namespace snapwick {

class Form1;

// "Auto Save File Name Setting": folder, prefix or own names, quality and the slide-show
// options of the automatic save. Hidden between uses, so its fields keep what was entered.
class Form2 : public QDialog {
  Q_OBJECT

 public:
  explicit Form2(Form1& owner);

  static constexpr int kMinQuality = 10;
  static constexpr int kMaxQuality = 200;

  QLabel* Label1 = nullptr;  // "Folder"
  QLineEdit* Text1 = nullptr;
  QPushButton* Browse = nullptr;
  QLabel* Label2 = nullptr;  // "File Name"
  QLineEdit* Text2 = nullptr;
  QCheckBox* KeepFileName = nullptr;
  QLabel* Label5 = nullptr;  // "Quality"
  QScrollBar* QScroll = nullptr;
  QLabel* Label7 = nullptr;  // "Min"
  QLabel* Label6 = nullptr;  // "Max"
  QLabel* QualityValue = nullptr;
  QLabel* Label4 = nullptr;  // "Seconds per slide"
  QLineEdit* SlideTime = nullptr;
  QCheckBox* GenerateSlideShow = nullptr;
  QPushButton* Command1 = nullptr;  // "Ok"
  QPushButton* Command2 = nullptr;  // "Cancel"

  void Command1_Click();
  void Command2_Click();

 protected:
  void reject() override;

 private:
  void Form_Load();
  void Browse_Click();

  Form1& owner_;
};

}  // namespace snapwick
