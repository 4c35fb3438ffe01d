#pragma once

#include <QDialog>
#include <string>

#include "labels/SaveNaming.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollBar;

namespace snapwick {

class DialogHost;

// "Auto Save File Name Setting": folder, prefix or own names, quality and the slide-show
// options of the automatic save. Hidden between uses, so its fields keep what was entered.
// "Ok" accepts the dialog when the folder exists and, with the slide show ticked, the seconds per
// slide are a number the slide show can use; Choice() then gives what was chosen.
class Form2 : public QDialog {
  Q_OBJECT

 public:
  // quality presets the bar (a value beyond its range is shown at the nearest end).
  Form2(QWidget* parent, DialogHost& dialogs, int quality);

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

  // The settings of the last "Ok".
  const AutoSaveChoice& Choice() const { return choice_; }

  void Command1_Click();
  void Command2_Click();

 protected:
  void reject() override;

 private:
  void Form_Load(int quality);
  void Browse_Click();
  // Tells why "Ok" was refused, and puts the cursor in the field at fault; the dialog stays open.
  void Refuse(QLineEdit* field, const std::string& message);

  DialogHost& dialogs_;
  AutoSaveChoice choice_;
};

}  // namespace snapwick
