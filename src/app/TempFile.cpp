#include "app/TempFile.h"

#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QStandardPaths>

namespace snapwick {

std::string ChooseTempFile() {
  if (::access(".", W_OK) == 0) return "temp.jpg";
  const QString cache = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
  QDir().mkpath(cache);
  return QFile::encodeName(cache + "/temp.jpg").toStdString();
}

}  // namespace snapwick
