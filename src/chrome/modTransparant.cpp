#include "chrome/modTransparant.h"

#include <QGuiApplication>
#include <QWidget>
#include <cmath>

namespace snapwick {

int32_t TransparencyAlpha(int32_t percentage) {
  return static_cast<int32_t>(std::nearbyint((100 - percentage) / 100.0 * 255));
}

int32_t SetTransparency(QWidget* window, int16_t percentage) {
  const int32_t alpha = TransparencyAlpha(percentage);
  if (alpha < 0 || alpha > 255) return kTransparencyOutOfRange;
  if (window == nullptr) return kTransparencyUnavailable;
  window->setWindowOpacity(alpha / 255.0);
  // The display is told at once, not whenever the next event comes in: the "About" window fades
  // in by steps of a tenth of a second.
  if (window->isVisible()) QGuiApplication::sync();
  return kTransparencyDone;
}

}  // namespace snapwick
