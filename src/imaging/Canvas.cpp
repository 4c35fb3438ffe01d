#include "imaging/Canvas.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>
#include <QPalette>
#include <algorithm>

#include "imaging/Picture.h"

namespace snapwick {

QColor ColorFromBgr(uint32_t bgr) {
  return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}

uint32_t BgrFromColor(const QColor& color) {
  return static_cast<uint32_t>(color.red()) | (static_cast<uint32_t>(color.green()) << 8) |
         (static_cast<uint32_t>(color.blue()) << 16);
}

QImage ImageFromSurface(const cDIBSection& surface) {
  if (!surface.IsCreated()) return QImage();
  const int32_t width = surface.Width(), height = surface.Height();
  QImage image(width, height, QImage::Format_RGB32);
  if (image.isNull()) return image;
  const int32_t stride = surface.BytesPerScanLine();
  const uint8_t* bits = surface.DIBSectionBitsPtr();
  for (int32_t y = 0; y < height; ++y) {
    const uint8_t* in = bits + static_cast<size_t>(height - 1 - y) * stride;
    auto* out = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int32_t x = 0; x < width; ++x, in += 3) {
      out[x] = 0xFF000000u | (uint32_t{in[2]} << 16) | (uint32_t{in[1]} << 8) | in[0];
    }
  }
  return image;
}

void SurfaceFromImage(const QImage& source, cDIBSection& surface) {
  const QImage image =
      source.format() == QImage::Format_RGB32 || source.format() == QImage::Format_ARGB32
          ? source
          : source.convertToFormat(QImage::Format_RGB32);
  const int32_t width = image.width(), height = image.height();
  if (!surface.Create(width, height)) return;
  const int32_t stride = surface.BytesPerScanLine();
  uint8_t* bits = surface.DIBSectionBitsPtr();
  for (int32_t y = 0; y < height; ++y) {
    const auto* in = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    uint8_t* out = bits + static_cast<size_t>(height - 1 - y) * stride;
    for (int32_t x = 0; x < width; ++x, out += 3) {
      out[0] = static_cast<uint8_t>(in[x]);
      out[1] = static_cast<uint8_t>(in[x] >> 8);
      out[2] = static_cast<uint8_t>(in[x] >> 16);
    }
  }
}

Canvas::Canvas() : background_(QGuiApplication::palette().color(QPalette::Window)) {
  Compose();
}

void Canvas::SetBoxSize(int width, int height) {
  boxWidth_ = std::max(width, 1);
  boxHeight_ = std::max(height, 1);
  Compose();
}

void Canvas::SetPicture(const QImage& picture) {
  picture_ = picture;
  inPicture_.clear();
  Compose();
}

void Canvas::Cls() {
  Compose();
}

void Canvas::Compose() {
  QImage image(boxWidth_, boxHeight_, QImage::Format_RGB32);
  image.fill(background_);
  if (!picture_.isNull()) {
    QPainter painter(&image);
    painter.drawImage(0, 0, picture_);
  }
  image_ = image;
  drawn_.clear();
  CurrentX = 0;
  CurrentY = 0;
}

void Canvas::Print(const QString& text) {
  QPainter painter(&image_);
  QFont drawFont = font_;
  drawFont.setStyleStrategy(antialias_ ? QFont::PreferAntialias : QFont::NoAntialias);
  painter.setFont(drawFont);
  painter.setRenderHint(QPainter::TextAntialiasing, antialias_);
  painter.setPen(ColorFromBgr(ForeColor));
  const QFontMetrics metrics(drawFont, &image_);
  const DrawnText drawn{QPointF(CurrentX, CurrentY + metrics.ascent()), text,
                        ColorFromBgr(ForeColor), drawFont};
  const auto there = [&drawn](const std::vector<DrawnText>& texts) {
    return std::find(texts.begin(), texts.end(), drawn) != texts.end();
  };
  if (!there(drawn_) && !there(inPicture_)) {
    painter.drawText(drawn.baseline, text);
    drawn_.push_back(drawn);
  }
  CurrentX = 0;
  CurrentY += metrics.height();
}

int32_t Canvas::Point(int x, int y) const {
  if (x < 0 || y < 0 || x >= image_.width() || y >= image_.height()) return -1;
  return static_cast<int32_t>(BgrFromColor(QColor(image_.pixel(x, y))));
}

void Canvas::ImageToPicture() {
  picture_ = image_;
  inPicture_.insert(inPicture_.end(), drawn_.begin(), drawn_.end());
  drawn_.clear();
}

std::vector<Canvas::DrawnText> Canvas::Drawn() const {
  std::vector<DrawnText> texts = inPicture_;
  texts.insert(texts.end(), drawn_.begin(), drawn_.end());
  return texts;
}

void Canvas::PictureToSurface(cDIBSection& surface) const {
  SurfaceFromImage(picture_, surface);
}

int32_t Canvas::ImageWidth() const {
  return PixelsToHimetric(image_.width());
}
int32_t Canvas::ImageHeight() const {
  return PixelsToHimetric(image_.height());
}

}  // namespace snapwick
