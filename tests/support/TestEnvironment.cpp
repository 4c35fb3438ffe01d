#include "support/TestEnvironment.h"

#include <QSettings>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <iterator>

#include "base/Error.h"

namespace snapwick::test {

void PrepareTestProcess() {
  static QTemporaryDir settingsDir;
  const QString path = settingsDir.path();
  setenv("XDG_CONFIG_HOME", path.toLocal8Bit().constData(), 1);
  QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, path);
  QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}

void ClearSettings() {
  QSettings settings(QSettings::NativeFormat, QSettings::UserScope, "Snapwick", "Snapwick");
  settings.clear();  // stored when the settings object goes
}

int32_t ErrorNumberOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const SnapError& e) {
    return e.Number();
  }
  return 0;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

}  // namespace snapwick::test
