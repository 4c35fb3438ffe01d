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

// A file whose last-write time is the given UTC time.
std::string FileWrittenAt(const test::TempDir& dir, int year, int month, int day, int hour,
                          int minute, int second, long nanoseconds = 0) {
  std::tm tm{};
  tm.tm_year = year - 1900;
  tm.tm_mon = month - 1;
  tm.tm_mday = day;
  tm.tm_hour = hour;
  tm.tm_min = minute;
  tm.tm_sec = second;
  const std::string path = dir.File(std::to_string(year) + std::to_string(month) + ".jpg");
  test::WriteBytes(path, "not really a picture");
  const timespec times[2] = {{timegm(&tm), nanoseconds}, {timegm(&tm), nanoseconds}};
  EXPECT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
  return path;
}

TEST(FileDate, WorkedExamples) {
  test::TempDir dir;
  const std::string july = FileWrittenAt(dir, 2004, 7, 3, 12, 5, 9, 999'000'000);
  const std::string newYear = FileWrittenAt(dir, 2004, 12, 31, 23, 30, 0);
  const std::string march = FileWrittenAt(dir, 2004, 3, 1, 3, 0, 0);
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
}

TEST(FileDate, EverySecondOfTheDayAndTheLocale) {
  // Times just short of the next second, shifted by hours and minutes, never gain or lose one.
  constexpr FileTime kJuly3 = (1088812800ull + 11'644'473'600ull) * 10'000'000ull;
  ScopedTimeZone zone("XXX-5:45");
  for (int s = 0; s < 86'400; s += 7) {
    const int shifted = (s + 5 * 3600 + 45 * 60) % 86'400;
    char clock[32];
    std::snprintf(clock, sizeof clock, "%s %02d:%02d:%02d",
                  shifted == s + 20700 ? "Sat Jul-03, 2004" : "Sun Jul-04, 2004", shifted / 3600,
                  shifted / 60 % 60, shifted % 60);
    ASSERT_EQ(FormatFileTime(kJuly3 + s * 10'000'000ull + 9'999'999, true), clock) << s;
  }
  ScopedLocale german("de_DE");
  EXPECT_EQ(FormatFileTime(kJuly3, false), "Sa Jul-03, 2004 00:00:00");
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
