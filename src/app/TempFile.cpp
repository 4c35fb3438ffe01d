#include "app/TempFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <cerrno>

#include "imaging/OutputFormat.h"

namespace snapwick {

namespace {

// Whether the program, as what it runs as, may write there.
bool Writable(const char* path) {
  return ::faccessat(AT_FDCWD, path, W_OK, AT_EACCESS) == 0;
}

// Whether nothing of that name is there yet.
bool Free(const char* path) {
  struct stat st {};
  return ::lstat(path, &st) != 0 && errno == ENOENT;
}

// "temp" + the saved format's suffix: "temp.jpg".
std::string TempFileName() {
  return "temp" + std::string(kJpegOutput.suffix);
}

}  // namespace

std::string ChooseTempFile() {
  const std::string name = TempFileName();
  if (Writable(".") && Free(name.c_str())) return name;
  return CacheTempFile();
}

std::string CacheTempFile() {
  const QString cache = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
  QDir().mkpath(cache);
  // A name of this process's own, so that two running programs do not show each other's pictures.
  return QFile::encodeName(cache).toStdString() + "/temp-" + std::to_string(::getpid()) +
         std::string(kJpegOutput.suffix);
}

}  // namespace snapwick
