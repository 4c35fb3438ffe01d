#include <gtest/gtest.h>

#include <QFile>
#include <QImageReader>
#include <QString>
#include <QStringList>

namespace snapwick {
namespace {

// The value of KEY in the [Desktop Entry] group of the menu entry shipped with the program.
QString DesktopEntryValue(const QString& key) {
  QFile file(QStringLiteral(SNAPWICK_DESKTOP_ENTRY));
  EXPECT_TRUE(file.open(QIODevice::ReadOnly | QIODevice::Text)) << SNAPWICK_DESKTOP_ENTRY;
  bool inEntry = false;
  while (!file.atEnd()) {
    const QString line = QString::fromUtf8(file.readLine()).trimmed();
    if (line.startsWith('[')) inEntry = line == QLatin1String("[Desktop Entry]");
    if (inEntry && line.startsWith(key + '=')) return line.mid(key.size() + 1);
  }
  return {};
}

// The file manager offers the program for every type the entry lists, so each one must have an
// image reader here (qt6-image-formats-plugins brings TIFF and WebP).
TEST(DesktopEntry, EveryListedTypeHasAnImageReader) {
  const QStringList types = DesktopEntryValue("MimeType").split(';', Qt::SkipEmptyParts);
  EXPECT_TRUE(types.contains("image/jpeg"));
  EXPECT_TRUE(types.contains("image/bmp"));
  QStringList readable;
  for (const QByteArray& type : QImageReader::supportedMimeTypes())
    readable << type;
  for (const QString& type : types)
    EXPECT_TRUE(readable.contains(type)) << type.toStdString();
}

}  // namespace
}  // namespace snapwick
