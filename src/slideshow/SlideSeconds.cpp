#include "slideshow/SlideSeconds.h"

#include <QLocale>
#include <QString>
#include <cmath>

namespace snapwick {

std::optional<double> ReadSlideSeconds(const std::string& text) {
  bool ok = false;
  const double value = QLocale().toDouble(QString::fromUtf8(text), &ok);
  if (!ok || !std::isfinite(value)) return std::nullopt;
  return value;
}

std::optional<double> SlideSecondsFromLocaleText(const std::string& text) {
  const std::optional<double> value = ReadSlideSeconds(text);
  if (!value || !(*value > 0) || *value > kMaxSlideSeconds) return std::nullopt;
  return value;
}

}  // namespace snapwick
