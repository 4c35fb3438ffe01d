#include "platform/ScreenMetrics.h"

#include <QGuiApplication>
#include <QScreen>

namespace snapwick {

namespace {
std::optional<ScreenMetrics::Values>& Overridden() {
  static std::optional<ScreenMetrics::Values> values;
  return values;
}
}  // namespace

ScreenMetrics::Values ScreenMetrics::Current() {
  if (Overridden()) return *Overridden();
  Values values;
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) return values;
  const double dpiX = screen->logicalDotsPerInchX();
  const double dpiY = screen->logicalDotsPerInchY();
  if (dpiX > 0) values.twipsPerPixelX = 1440.0 / dpiX;
  if (dpiY > 0) values.twipsPerPixelY = 1440.0 / dpiY;
  const QSize size = screen->geometry().size();
  values.screenWidthTwips = size.width() * values.twipsPerPixelX;
  values.screenHeightTwips = size.height() * values.twipsPerPixelY;
  return values;
}

double ScreenMetrics::TwipsPerPixelX() {
  return Current().twipsPerPixelX;
}
double ScreenMetrics::TwipsPerPixelY() {
  return Current().twipsPerPixelY;
}
double ScreenMetrics::ScreenWidthTwips() {
  return Current().screenWidthTwips;
}
double ScreenMetrics::ScreenHeightTwips() {
  return Current().screenHeightTwips;
}

void ScreenMetrics::Override(std::optional<Values> values) {
  Overridden() = values;
}

}  // namespace snapwick
