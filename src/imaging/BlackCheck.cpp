#include "imaging/BlackCheck.h"

#include <QLocale>
#include <QString>

namespace snapwick {

namespace {
struct Channels {
  int32_t red, green, blue;
};

// Remainder and division with the remainder taking the sign of the dividend, so that -1 splits
// into red -1, green 0, blue 0.
Channels Split(int32_t value) {
  const int32_t red = value % 256;
  const int32_t rest = (value - red) / 256;
  const int32_t green = rest % 256;
  const int32_t blue = (rest - green) / 256;
  return {red, green, blue};
}
}  // namespace

bool Darker(int32_t pixel, int32_t margin) {
  const Channels p = Split(pixel);
  const Channels m = Split(margin);
  return p.red < m.red && p.blue < m.blue && p.green < m.green;
}

std::string BlackVerdictText(bool black, double ratio) {
  QLocale locale;
  locale.setNumberOptions(QLocale::OmitGroupSeparator);
  const QString number = locale.toString(ratio, 'G', 15);
  return (black ? "Black Picture  " : "Non Black Picture  ") + number.toStdString();
}

}  // namespace snapwick
