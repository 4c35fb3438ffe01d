#pragma once

#include <QFont>
#include <QImage>
#include <QWidget>
#include <cstdint>
#include <vector>

#include "imaging/Picture.h"
#include "imaging/cDIBSection.h"

namespace snapwick {

// A box that shows a picture at its top-left corner and keeps a persistent image of the box's
// size: the picture on the background colour, plus whatever text was drawn on it since the
// picture was last set. The image is what the box paints and what is saved from it.
class PictureBox : public QWidget {
  Q_OBJECT

 public:
  explicit PictureBox(QWidget* parent = nullptr);

  // Size of the box in pixels. The persistent image follows it; what was drawn is cleared.
  void SetBoxSize(int width, int height);
  // Makes the picture the one shown; what was drawn is cleared.
  void SetPicture(const Picture& picture);
  void SetPicture(const QImage& picture);
  const QImage& PictureImage() const { return picture_; }

  // Clears what was drawn: the image goes back to the picture, the drawing position to (0, 0).
  void Cls();
  // Draws text at (CurrentX, CurrentY) in ForeColor and the box's font with a transparent
  // background, the top-left of the first character cell at the position. Afterwards the
  // position is at the start of the next line.
  void Print(const QString& text);
  // The colour (0x00BBGGRR) of a point of the image; -1 outside it.
  int32_t Point(int x, int y) const;
  // Makes the image, drawn text included, the box's picture.
  void ImageToPicture();
  // Builds a surface from the box's picture (the surface layout, one pass).
  void PictureToSurface(cDIBSection& surface) const;

  const QImage& Image() const { return image_; }
  // The image's size in 0.01 mm, as a picture reports it.
  int32_t ImageWidth() const;
  int32_t ImageHeight() const;

  int CurrentX = 0;
  int CurrentY = 0;
  uint32_t ForeColor = 0;  // 0x00BBGGRR

  // Draws text antialiased (the default) or with plain pixels.
  void SetTextAntialiasing(bool on) { antialias_ = on; }

 signals:
  void mouseDown(Qt::MouseButton button, QPoint globalPos);
  void keyUp(int key);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;

 private:
  // A text drawn on the image, kept so that a screen with more device pixels than image pixels
  // shows it drawn at its own resolution rather than enlarged.
  struct DrawnText {
    QPointF baseline;
    QString text;
    QColor colour;
    QFont font;
  };

  void Compose();

  QImage picture_;
  QImage image_;
  std::vector<DrawnText> drawn_;  // drawn on the image since its picture was set or cleared
  bool antialias_ = true;
};

// 0x00BBGGRR to a colour and back.
QColor ColorFromBgr(uint32_t bgr);
uint32_t BgrFromColor(const QColor& color);

// A surface's pixels as an image (RGB32) and an image's pixels as a surface.
QImage ImageFromSurface(const cDIBSection& surface);
void SurfaceFromImage(const QImage& image, cDIBSection& surface);

}  // namespace snapwick
