// The date text of a file and the stored form of the label font.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <ctime>

#include "imaging/FileAttributes.h"
#include "labels/LabelFont.h"
#include "support/Fixtures.h"
#include "support/TestEnvironment.h"

namespace snapwick {
namespace {

using test::ScopedLocale;
using test::ScopedTimeZone;

TEST(FileDate, WorkedExamplesAndTheLocale) {
  test::TempDir dir;
  // Files last written at the given UTC times (seconds since 1970).
  const auto writtenAt = [&dir](time_t seconds, long nanoseconds) {
    const std::string path = dir.File(std::to_string(seconds));
    test::WriteBytes(path, "not really a picture");
    const timespec times[2] = {{seconds, nanoseconds}, {seconds, nanoseconds}};
    EXPECT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
    return path;
  };
  const std::string july = writtenAt(1088856309, 999'000'000);  // 2004-07-03 12:05:09.999
  const std::string newYear = writtenAt(1104535800, 0);         // 2004-12-31 23:30:00
  const std::string march = writtenAt(1078110000, 0);           // 2004-03-01 03:00:00
  const struct {
    const char* zone;
    std::string file;
    bool usePcZone;
    const char* text;
  } cases[] = {
      {"XXX-2", july, false, "Sat Jul-03, 2004 12:05:09"},
      {"XXX-2", july, true, "Sat Jul-03, 2004 14:05:09"},
      // Daylight saving in force on that date: only the standard offset counts.
      {"EET-2EEST,M3.5.0/3,M10.5.0/4", july, true, "Sat Jul-03, 2004 14:05:09"},
      {"XXX-1", newYear, true, "Sat Jan-01, 2005 00:30:00"},
      {"XXX+5", march, true, "Sun Feb-29, 2004 22:00:00"},  // back across a leap day
  };
  for (const auto& c : cases) {
    ScopedTimeZone zone(c.zone);
    EXPECT_EQ(GetFileDate(c.file, c.usePcZone), c.text) << c.zone;
  }
  // A read-only file shows its real date; a missing one the zero time.
  ScopedTimeZone zone("XXX-2");
  ASSERT_EQ(chmod(july.c_str(), 0444), 0);
  EXPECT_EQ(GetFileDate(july, false), "Sat Jul-03, 2004 12:05:09");
  EXPECT_EQ(GetFileDate(dir.File("gone.jpg"), false), "Mon Jan-01, 1601 00:00:00");
  EXPECT_EQ(GetFileDate(dir.File("gone.jpg"), true), "Mon Jan-01, 1601 02:00:00");
  ScopedLocale german("de_DE");
  EXPECT_EQ(GetFileDate(july, false), "Sa Jul-03, 2004 12:05:09");
}

TEST(LabelFont, StoredForm) {
  EXPECT_EQ(FontSettingText({"Arial", 12, true, false}), "Arial:12:True:False");
  EXPECT_EQ(ParseFontSetting("Arial:12:True:False"), (LabelFont{"Arial", 12, true, false}));
  const LabelFont fonts[] = {{"Times New Roman", 10.5f, false, true}, {"Sans", 10.1f, true, true}};
  for (const char* locale : {"en_US", "de_DE"}) {
    ScopedLocale scoped(locale);
    for (const auto& font : fonts)
      EXPECT_EQ(ParseFontSetting(FontSettingText(font)), font) << locale;
  }
  for (const char* broken : {"", "Arial:12:True", "Arial:12:True:False:", ":12:True:False",
                             "Arial:big:True:False", "Arial:0:True:False", "Arial:nan:True:False",
                             "Arial:1e40:True:False", "Arial:12:Yes:False"}) {
    EXPECT_EQ(ParseFontSetting(broken), std::nullopt) << broken;
  }
  ScopedLocale german("de_DE");
  EXPECT_EQ(FontSettingText({"Arial", 10.5f, true, true}), "Arial:10,5:True:True");
  EXPECT_EQ(ParseFontSetting("Arial:10,5:False:True"), (LabelFont{"Arial", 10.5f, false, true}));
  EXPECT_EQ(ParseFontSetting("Arial:10.5:True:False"), std::nullopt);
}

}  // namespace
}  // namespace snapwick
