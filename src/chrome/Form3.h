#pragma once

#include <QDialog>
#include <QTimer>
#include <array>
#include <cstdint>

class QLabel;
class QPushButton;

namespace snapwick {

// "About": a frameless window that fades in from invisible to half transparent.
class Form3 : public QDialog {
  Q_OBJECT

 public:
  explicit Form3(QWidget* parent = nullptr);

  std::array<QLabel*, 2> Label1{};  // the version line and its grey shadow copy
  std::array<QLabel*, 2> Label2{};  // the canvas line and its grey shadow copy
  QPushButton* Command1 = nullptr;  // "OK"
  QTimer Timer1;
  int32_t TransparencyLevel = 0;  // the fade's current percentage

  // Sets the version and canvas lines (and their shadows) and starts the fade from invisible.
  void SetTexts(const QString& version, const QString& canvas);
  void Timer1_Timer();
  void Command1_Click();
};

}  // namespace snapwick
