#include <gtest/gtest.h>

#include <QRegularExpression>

#include "platform/Dialogs.h"

namespace snapwick {
namespace {

bool Matches(const QString& filter, const QString& name) {
  const QString patterns = filter.section('(', 1).chopped(1);
  for (const QString& pattern : patterns.split(' ', Qt::SkipEmptyParts)) {
    if (QRegularExpression(QRegularExpression::wildcardToRegularExpression(pattern))
            .match(name)
            .hasMatch()) {
      return true;
    }
  }
  return false;
}

TEST(OpenDialog, FilterMatchesAnyLetterCase) {
  const QStringList filters = NameFiltersFor("Image Files|*.jpg;*.jpeg;*.bmp");
  ASSERT_EQ(filters.size(), 1);
  EXPECT_TRUE(filters[0].startsWith("Image Files ("));
  for (const char* name : {"a.jpg", "IMG_0001.JPG", "b.Jpeg", "c.BMP", "d.JpG"}) {
    EXPECT_TRUE(Matches(filters[0], name)) << name;
  }
  for (const char* name : {"a.png", "a.jpg.txt", "jpg"})
    EXPECT_FALSE(Matches(filters[0], name)) << name;
}

TEST(OpenDialog, SelectionOfOneOrSeveralFiles) {
  EXPECT_FALSE(SelectionFromPaths({}));
  EXPECT_EQ(*SelectionFromPaths({"/pics/a.jpg"}), "/pics/a.jpg");
  EXPECT_EQ(*SelectionFromPaths({"/pics/a.jpg", "/pics/b b.jpg", "/pics/ü.jpg"}),
            std::string("/pics\0a.jpg\0b b.jpg\0\xC3\xBC.jpg", 26));
}

TEST(OpenDialog, SelectionLongerThanTheLimitFails) {
  QStringList paths;
  // 9 names of 1000 characters fit; a tenth goes beyond 10000.
  for (int i = 0; i < 9; ++i)
    paths << "/p/" + QString(995, QChar('a' + i)) + ".jpg";
  ASSERT_TRUE(SelectionFromPaths(paths));
  EXPECT_LE(SelectionFromPaths(paths)->size(), 10000u);
  paths << "/p/" + QString(995, 'z') + ".jpg";
  EXPECT_FALSE(SelectionFromPaths(paths));
}

}  // namespace
}  // namespace snapwick
