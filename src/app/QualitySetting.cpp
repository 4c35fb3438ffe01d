#include "app/QualitySetting.h"

#include <QString>

namespace snapwick {

int32_t ParseQualitySetting(const std::string& text) {
  bool ok = false;
  const int value = QString::fromStdString(text).trimmed().toInt(&ok);
  return ok && value >= INT16_MIN && value <= INT16_MAX ? value : kDefaultQuality;
}

}  // namespace snapwick
