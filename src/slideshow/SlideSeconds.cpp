#include "slideshow/SlideSeconds.h"

#include <QLocale>
#include <QString>
#include <charconv>
#include <cmath>

namespace snapwick {

bool IsSlideSeconds(double seconds) {
  return std::isfinite(seconds) && seconds > 0 && seconds <= kMaxSlideSeconds;
}

std::optional<double> SlideSecondsFromText(std::string_view text) {
  if (text.empty() || !((text.front() >= '0' && text.front() <= '9') || text.front() == '.')) {
    return std::nullopt;
  }
  double value = 0;
  const auto [end, error] =
      std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::general);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  if (!IsSlideSeconds(value)) return std::nullopt;
  return value;
}

std::optional<double> SlideSecondsFromLocaleText(const std::string& text) {
  bool ok = false;
  const double value = QLocale().toDouble(QString::fromUtf8(text), &ok);
  if (!ok || !IsSlideSeconds(value)) return std::nullopt;
  return value;
}

}  // namespace snapwick
