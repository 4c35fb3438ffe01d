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

// Whether the file can be written in its place: it does not exist yet, or it is a regular file
// that is neither marked read-only nor closed to us.
bool Replaceable(const char* path) {
  struct stat st {};
  if (::stat(path, &st) != 0) return errno == ENOENT;
  return S_ISREG(st.st_mode) && (st.st_mode & 0222) != 0 && Writable(path);
}

// "temp" + the saved format's suffix: "temp.jpg".
std::string TempFileName() {
  return "temp" + std::string(kJpegOutput.suffix);
}

}  // namespace

std::string ChooseTempFile() {
  const std::string name = TempFileName();
  if (Writable(".") && Replaceable(name.c_str())) return name;
  return CacheTempFile();
}

std::string CacheTempFile() {
  const QString cache = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
  QDir().mkpath(cache);
  return QFile::encodeName(cache).toStdString() + "/" + TempFileName();
}

}  // namespace snapwick
