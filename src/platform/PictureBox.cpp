#include "platform/PictureBox.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

namespace snapwick {

PictureBox::PictureBox(const Canvas& canvas, QWidget* parent) : QWidget(parent), canvas_(canvas) {
  setFocusPolicy(Qt::ClickFocus);
  setAttribute(Qt::WA_OpaquePaintEvent);
  Present();
}

void PictureBox::Present() {
  resize(canvas_.BoxWidth(), canvas_.BoxHeight());
  update();
}

void PictureBox::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  const QImage& image = canvas_.Image();
  if (devicePixelRatioF() <= 1) {
    painter.drawImage(event->rect().topLeft(), image, event->rect());
    return;
  }
  // More device pixels than image pixels: the picture is enlarged, and the texts on it are drawn
  // again at the screen's own resolution, so that they stay sharp.
  painter.setClipRect(event->rect());
  painter.fillRect(rect(), palette().color(QPalette::Window));
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.drawImage(QPointF(0, 0), canvas_.PictureImage());
  painter.setRenderHint(QPainter::TextAntialiasing, canvas_.TextAntialiasing());
  for (const Canvas::DrawnText& text : canvas_.Drawn()) {
    painter.setFont(text.font);
    painter.setPen(text.colour);
    painter.drawText(text.baseline, text.text);
  }
}

void PictureBox::mousePressEvent(QMouseEvent* event) {
  emit mouseDown(event->button(), event->globalPosition().toPoint());
  QWidget::mousePressEvent(event);
}

void PictureBox::keyReleaseEvent(QKeyEvent* event) {
  // The box answers its own keys; they do not reach the window as well.
  if (!event->isAutoRepeat()) emit keyUp(event->key());
  event->accept();
}

}  // namespace snapwick
