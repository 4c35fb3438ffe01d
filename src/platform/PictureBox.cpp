#include "platform/PictureBox.h"

#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <cstring>

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

PictureBox::PictureBox(QWidget* parent) : QWidget(parent) {
  setFocusPolicy(Qt::ClickFocus);
  setAttribute(Qt::WA_OpaquePaintEvent);
  Compose();
}

void PictureBox::SetBoxSize(int width, int height) {
  resize(width, height);
  Compose();
}

void PictureBox::SetPicture(const Picture& picture) {
  SetPicture(ImageFromSurface(picture.Surface()));
}

void PictureBox::SetPicture(const QImage& picture) {
  picture_ = picture;
  Compose();
}

void PictureBox::Cls() {
  Compose();
}

void PictureBox::Compose() {
  QImage image(qMax(width(), 1), qMax(height(), 1), QImage::Format_RGB32);
  image.fill(palette().color(QPalette::Window));
  if (!picture_.isNull()) {
    QPainter painter(&image);
    painter.drawImage(0, 0, picture_);
  }
  image_ = image;
  drawn_.clear();
  CurrentX = 0;
  CurrentY = 0;
  update();
}

void PictureBox::Print(const QString& text) {
  QPainter painter(&image_);
  QFont drawFont = font();
  drawFont.setStyleStrategy(antialias_ ? QFont::PreferAntialias : QFont::NoAntialias);
  painter.setFont(drawFont);
  painter.setRenderHint(QPainter::TextAntialiasing, antialias_);
  painter.setPen(ColorFromBgr(ForeColor));
  const QFontMetrics metrics(drawFont, &image_);
  const QPointF baseline(CurrentX, CurrentY + metrics.ascent());
  painter.drawText(baseline, text);
  drawn_.push_back(DrawnText{baseline, text, ColorFromBgr(ForeColor), drawFont});
  CurrentX = 0;
  CurrentY += metrics.height();
  update();
}

int32_t PictureBox::Point(int x, int y) const {
  if (x < 0 || y < 0 || x >= image_.width() || y >= image_.height()) return -1;
  return static_cast<int32_t>(BgrFromColor(QColor(image_.pixel(x, y))));
}

void PictureBox::ImageToPicture() {
  picture_ = image_;
}

void PictureBox::PictureToSurface(cDIBSection& surface) const {
  SurfaceFromImage(picture_, surface);
}

int32_t PictureBox::ImageWidth() const {
  return PixelsToHimetric(image_.width());
}
int32_t PictureBox::ImageHeight() const {
  return PixelsToHimetric(image_.height());
}

void PictureBox::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  if (devicePixelRatioF() <= 1) {
    painter.drawImage(event->rect().topLeft(), image_, event->rect());
    return;
  }
  // More device pixels than image pixels: the picture is enlarged, and the texts on it are drawn
  // again at the screen's own resolution, so that they stay sharp.
  painter.setClipRect(event->rect());
  painter.fillRect(rect(), palette().color(QPalette::Window));
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.drawImage(QPointF(0, 0), picture_);
  painter.setRenderHint(QPainter::TextAntialiasing, antialias_);
  for (const DrawnText& text : drawn_) {
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
