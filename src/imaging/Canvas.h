#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPointF>
#include <QString>
#include <cstdint>
#include <vector>

#include "imaging/cDIBSection.h"

namespace snapwick {

// A picture shown in a box, and the persistent image of the box's size: the picture at the
// top-left corner on the background colour, plus whatever text was drawn on it since the picture
// was last set or the drawing cleared. The image is what a view paints and what is saved.
class Canvas {
 public:
  // A text drawn on the image, kept so that a screen with more device pixels than image pixels
  // can draw it again at its own resolution rather than enlarged.
  struct DrawnText {
    QPointF baseline;
    QString text;
    QColor colour;
    QFont font;
    bool operator==(const DrawnText&) const = default;
  };

  Canvas();

  // Size of the box in pixels (at least 1 x 1). The image follows it; what was drawn is cleared.
  void SetBoxSize(int width, int height);
  int BoxWidth() const { return boxWidth_; }
  int BoxHeight() const { return boxHeight_; }

  // Makes the picture the one shown; what was drawn is cleared.
  void SetPicture(const QImage& picture);
  const QImage& PictureImage() const { return picture_; }

  // Clears what was drawn: the image goes back to the picture, the drawing position to (0, 0).
  void Cls();
  // Draws text at (CurrentX, CurrentY) in ForeColor and the canvas's font with a transparent
  // background, the top-left of the first character cell at the position. Afterwards the
  // position is at the start of the next line. A text that lies on the picture already, drawn
  // the same way at the same place, is not drawn again: smoothed edges would only get heavier.
  void Print(const QString& text);
  // The colour (0x00BBGGRR) of a point of the image; -1 outside it.
  int32_t Point(int x, int y) const;
  // Makes the image, drawn text included, the picture (and the drawn texts part of it).
  void ImageToPicture();
  // Builds a surface from the picture (the surface layout, one pass).
  void PictureToSurface(cDIBSection& surface) const;

  const QImage& Image() const { return image_; }
  // The image's size in 0.01 mm, as a picture reports it.
  int32_t ImageWidth() const;
  int32_t ImageHeight() const;
  // The texts drawn since the picture was set, those a save made part of it first.
  std::vector<DrawnText> Drawn() const;

  const QFont& Font() const { return font_; }
  void SetFont(const QFont& font) { font_ = font; }
  // Draws text antialiased (the default) or with plain pixels.
  void SetTextAntialiasing(bool on) { antialias_ = on; }
  bool TextAntialiasing() const { return antialias_; }

  int CurrentX = 0;
  int CurrentY = 0;
  uint32_t ForeColor = 0;  // 0x00BBGGRR

 private:
  void Compose();

  int boxWidth_ = 1;
  int boxHeight_ = 1;
  QColor background_;
  QImage picture_;
  QImage image_;
  std::vector<DrawnText> drawn_;      // drawn on the image since its picture was set or cleared
  std::vector<DrawnText> inPicture_;  // drawn earlier and made part of the picture
  QFont font_;
  bool antialias_ = true;
};

// 0x00BBGGRR to a colour and back.
QColor ColorFromBgr(uint32_t bgr);
uint32_t BgrFromColor(const QColor& color);

// A surface's pixels as an image (RGB32) and an image's pixels as a surface.
QImage ImageFromSurface(const cDIBSection& surface);
void SurfaceFromImage(const QImage& image, cDIBSection& surface);

}  // namespace snapwick
