#pragma once

#include <QLocale>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <optional>
#include <string>

namespace snapwick::test {

// Points the settings store at a folder of its own, so that no test touches the user's settings,
// and pins the locale to English (United States). Called once by each test program's main.
void PrepareTestProcess();
// Removes every stored setting of the test process.
void ClearSettings();

// A fresh temporary folder, removed with everything in it at the end of the scope.
struct TempDir {
  QTemporaryDir dir;
  std::string Path() const { return dir.path().toStdString(); }
  std::string File(const std::string& name) const { return Path() + "/" + name; }
};

// Sets the default locale for the scope and puts the previous one back at its end.
struct ScopedLocale {
  QLocale previous;
  explicit ScopedLocale(const char* name) { QLocale::setDefault(QLocale(QString(name))); }
  ~ScopedLocale() { QLocale::setDefault(previous); }
};

// Sets the TZ variable for the scope (and runs tzset), restoring the previous value at its end.
struct ScopedTimeZone {
  std::optional<std::string> previous;
  explicit ScopedTimeZone(const char* tz) {
    if (const char* old = std::getenv("TZ")) previous = old;
    setenv("TZ", tz, 1);
    tzset();
  }
  ~ScopedTimeZone() {
    previous ? setenv("TZ", previous->c_str(), 1) : unsetenv("TZ");
    tzset();
  }
};

// The number of the SnapError that the action raises, or 0.
int32_t ErrorNumberOf(const std::function<void()>& action);

// Whole content of a file; empty when it cannot be read.
std::string ReadFile(const std::string& path);

}  // namespace snapwick::test
