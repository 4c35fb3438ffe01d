#pragma once

#include <sys/resource.h>

#include <QDir>
#include <QImage>
#include <QRect>
#include <csignal>
#include <string>

#include "support/Fixtures.h"

namespace snapwick::test {

// Pixels of an image inside a rectangle that pass a test.
inline int CountPixels(const QImage& image, const QRect& area, bool (*test)(QColor)) {
  int count = 0;
  for (int i = 0; i < area.width() * area.height(); ++i)
    count += test(image.pixelColor(area.x() + i % area.width(), area.y() + i / area.width()));
  return count;
}

// The names in a folder, hidden ones included, in order, each JPEG with its size:
// "a_001.jpg 640x480, slides.htm"; empty for a missing folder.
inline std::string Folder(const std::string& path) {
  const QDir folder(QString::fromStdString(path), "", QDir::Name,
                    QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
  QStringList list;
  for (const QFileInfo& entry : folder.entryInfoList()) {
    const auto [width, height] = entry.isFile()
                                     ? JpegSize(QFile::encodeName(entry.filePath()).toStdString())
                                     : std::pair(0, 0);
    list << entry.fileName() + (width > 0 ? QString(" %1x%2").arg(width).arg(height) : "");
  }
  return list.join(", ").toStdString();
}

// While it lives, files larger than `bytes` cannot be written, as on a disk that is full: the
// write fails with EFBIG (its signal SIGXFSZ is ignored meanwhile).
struct ScopedFileSizeLimit {
  explicit ScopedFileSizeLimit(rlim_t bytes) : oldHandler_(std::signal(SIGXFSZ, SIG_IGN)) {
    ::getrlimit(RLIMIT_FSIZE, &saved_);
    rlimit small = saved_;
    small.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &small);
  }
  ~ScopedFileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &saved_);
    std::signal(SIGXFSZ, oldHandler_);
  }
  rlimit saved_{};
  void (*oldHandler_)(int);
};

}  // namespace snapwick::test
