#include "app/WindowTitle.h"

#include <QLocale>

#include "base/Checked.h"

namespace snapwick {

std::string MegaPixelText(int32_t pixelWidth, int32_t pixelHeight) {
  const int32_t pixels = checked::Mul(pixelWidth, pixelHeight);
  return QLocale().toString(pixels / 1000000.0, 'f', 1).toStdString();
}

std::string BuildWindowTitle(const std::string& fileName, const std::string& megaPixelText,
                             int32_t pixelWidth, int32_t pixelHeight, bool single, int32_t number,
                             int32_t count) {
  std::string title = fileName + " " + " [ " + megaPixelText + "M " + std::to_string(pixelWidth) +
                      "x" + std::to_string(pixelHeight);
  if (single) return title + "]";
  return title + "] Photo " + std::to_string(number) + " of " + std::to_string(count);
}

}  // namespace snapwick
