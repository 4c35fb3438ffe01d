#pragma once

#include <QWidget>

#include "imaging/Canvas.h"

namespace snapwick {

// The display box: shows a canvas at the canvas's box size. It tells of right clicks and key
// releases; what it shows is drawn elsewhere, on the canvas.
class PictureBox : public QWidget {
  Q_OBJECT

 public:
  explicit PictureBox(const Canvas& canvas, QWidget* parent = nullptr);

  // Takes the canvas's box size and paints it again.
  void Present();

 signals:
  void mouseDown(Qt::MouseButton button, QPoint globalPos);
  void keyUp(int key);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;

 private:
  const Canvas& canvas_;
};

}  // namespace snapwick
