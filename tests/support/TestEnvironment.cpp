#include "support/TestEnvironment.h"

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QSettings>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <memory>
#include <sstream>

namespace snapwick::test {

namespace {
QTemporaryDir& SettingsDir() {
  static QTemporaryDir dir;
  return dir;
}
}  // namespace

void PrepareTestProcess() {
  const QString path = SettingsDir().path();
  setenv("XDG_CONFIG_HOME", path.toLocal8Bit().constData(), 1);
  QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, path);
  QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, path);
  QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}

void ClearSettings() {
  QSettings settings(QSettings::NativeFormat, QSettings::UserScope, "Snapwick", "Snapwick");
  settings.clear();
  settings.sync();
}

TempDir::TempDir() = default;

std::string TempDir::Path() const {
  return dir_.path().toStdString();
}

std::string TempDir::File(const std::string& name) const {
  return Path() + "/" + name;
}

ScopedLocale::ScopedLocale(const QLocale& locale) : previous_(QLocale()) {
  QLocale::setDefault(locale);
}

ScopedLocale::~ScopedLocale() {
  QLocale::setDefault(previous_);
}

ScopedTimeZone::ScopedTimeZone(const char* tz) {
  const char* old = std::getenv("TZ");
  hadPrevious_ = old != nullptr;
  if (old) previous_ = old;
  setenv("TZ", tz, 1);
  tzset();
}

ScopedTimeZone::~ScopedTimeZone() {
  if (hadPrevious_) {
    setenv("TZ", previous_.c_str(), 1);
  } else {
    unsetenv("TZ");
  }
  tzset();
}

int RunUnprivileged(const std::function<int()>& action) {
  const pid_t child = ::fork();
  if (child == 0) {
    if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(200);
    ::_exit(action());
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

void WriteFile(const std::string& path, const std::string& content) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << content;
}

bool FileExists(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0;
}

}  // namespace snapwick::test
