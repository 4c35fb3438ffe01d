#include "chrome/Form3.h"

#include <QFont>
#include <QLabel>
#include <QPalette>
#include <QPushButton>

#include "base/Checked.h"
#include "chrome/CasualFont.h"
#include "chrome/modTransparant.h"
#include "imaging/Canvas.h"
#include "platform/ScreenMetrics.h"

namespace snapwick {

namespace {
constexpr uint32_t kLightCyan = 0xFFFF80;
constexpr uint32_t kLightGrey = 0xC0C0C0;

QLabel* MakeLabel(QWidget* parent, int top, uint32_t colour) {
  auto* label = new QLabel(parent);
  label->setFont(CasualFont(15));
  label->setAlignment(Qt::AlignCenter);
  label->setGeometry(0, top, parent->width(), 36);
  QPalette palette = label->palette();
  palette.setColor(QPalette::WindowText, ColorFromBgr(colour));
  label->setPalette(palette);
  return label;
}
}  // namespace

Form3::Form3(QWidget* parent) : QDialog(parent) {
  setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
  setFixedSize(420, 220);
  QPalette palette = this->palette();
  palette.setColor(QPalette::Window, ColorFromBgr(kLightCyan));
  setPalette(palette);
  setAutoFillBackground(true);

  // The shadow copies are made first, so that the texts lie above them.
  Label1[1] = MakeLabel(this, 40, kLightGrey);
  Label2[1] = MakeLabel(this, 96, kLightGrey);
  Label1[0] = MakeLabel(this, 40, 0x000000);
  Label2[0] = MakeLabel(this, 96, 0x000000);

  Command1 = new QPushButton("OK", this);
  Command1->setGeometry((width() - 92) / 2, 164, 92, 30);
  Command1->setDefault(true);
  connect(Command1, &QPushButton::clicked, this, &Form3::Command1_Click);

  Timer1.setInterval(100);
  connect(&Timer1, &QTimer::timeout, this, &Form3::Timer1_Timer);
  Timer1.start();
}

void Form3::SetTexts(const QString& version, const QString& canvas) {
  Label1[0]->setText(version);
  Label2[0]->setText(canvas);
  Label1[1]->setText(version);
  Label2[1]->setText(canvas);
  // The shadows lie 50 twips to the right and below.
  const int dx = checked::Round32(50 / ScreenMetrics::TwipsPerPixelX());
  const int dy = checked::Round32(50 / ScreenMetrics::TwipsPerPixelY());
  Label1[1]->move(Label1[0]->pos() + QPoint(dx, dy));
  Label2[1]->move(Label2[0]->pos() + QPoint(dx, dy));
  TransparencyLevel = 100;
  SetTransparency(this, 100);
}

void Form3::Timer1_Timer() {
  if (TransparencyLevel < 51) return;
  TransparencyLevel -= 5;
  SetTransparency(this, static_cast<int16_t>(TransparencyLevel));
}

void Form3::Command1_Click() {
  hide();
}

}  // namespace snapwick
