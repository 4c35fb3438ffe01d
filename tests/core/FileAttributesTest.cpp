#include "imaging/FileAttributes.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <ctime>

#include "support/TestEnvironment.h"

namespace snapwick {
namespace {

using test::ScopedLocale;
using test::ScopedTimeZone;
using test::TempDir;

constexpr FileTime kTicksPerSecond = 10'000'000;
constexpr int64_t kUnixEpochSeconds = 11'644'473'600;

time_t UtcSeconds(int year, int month, int day, int hour, int minute, int second) {
  std::tm tm{};
  tm.tm_year = year - 1900;
  tm.tm_mon = month - 1;
  tm.tm_mday = day;
  tm.tm_hour = hour;
  tm.tm_min = minute;
  tm.tm_sec = second;
  return timegm(&tm);
}

FileTime ToFileTime(time_t seconds, long nanoseconds = 0) {
  return static_cast<FileTime>(seconds + kUnixEpochSeconds) * kTicksPerSecond +
         static_cast<FileTime>(nanoseconds / 100);
}

// A file in `dir` whose last-write time is the given UTC time.
std::string FileWrittenAt(const TempDir& dir, time_t seconds, long nanoseconds) {
  const std::string path = dir.File("picture.jpg");
  test::WriteFile(path, "not really a picture");
  const timespec times[2] = {{seconds, nanoseconds}, {seconds, nanoseconds}};
  EXPECT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
  return path;
}

TEST(FileDate, WorkedExamples) {
  TempDir dir;
  const std::string july = FileWrittenAt(dir, UtcSeconds(2004, 7, 3, 12, 5, 9), 999'000'000);
  {
    ScopedTimeZone zone("XXX-2");
    EXPECT_EQ(GetFileDate(july, false), "Sat Jul-03, 2004 12:05:09");
    EXPECT_EQ(GetFileDate(july, true), "Sat Jul-03, 2004 14:05:09");
  }
  {
    // Daylight saving in force on that date: only the standard offset counts.
    ScopedTimeZone zone("CET-1CEST,M3.5.0,M10.5.0/3");
    EXPECT_EQ(GetFileDate(july, true), "Sat Jul-03, 2004 13:05:09");
  }
  {
    ScopedTimeZone zone("EET-2EEST,M3.5.0/3,M10.5.0/4");
    EXPECT_EQ(GetFileDate(july, true), "Sat Jul-03, 2004 14:05:09");
  }

  const std::string newYear = FileWrittenAt(dir, UtcSeconds(2004, 12, 31, 23, 30, 0), 0);
  {
    ScopedTimeZone zone("XXX-1");
    EXPECT_EQ(GetFileDate(newYear, true), "Sat Jan-01, 2005 00:30:00");
    EXPECT_EQ(GetFileDate(newYear, false), "Fri Dec-31, 2004 23:30:00");
  }

  // West of Greenwich, back across midnight and the end of a leap February.
  const std::string march = FileWrittenAt(dir, UtcSeconds(2004, 3, 1, 3, 0, 0), 0);
  {
    ScopedTimeZone zone("XXX+5");
    EXPECT_EQ(GetFileDate(march, true), "Sun Feb-29, 2004 22:00:00");
  }
}

TEST(FileDate, ReadOnlyFileShowsItsRealDate) {
  TempDir dir;
  const std::string path = FileWrittenAt(dir, UtcSeconds(2010, 5, 17, 8, 1, 2), 0);
  ASSERT_EQ(chmod(path.c_str(), 0444), 0);
  ScopedTimeZone zone("UTC0");
  EXPECT_EQ(GetFileDate(path, false), "Mon May-17, 2010 08:01:02");
  EXPECT_EQ(GetFileDate(path, true), "Mon May-17, 2010 08:01:02");
  // Not even readable: the time is still there to be read.
  ASSERT_EQ(chmod(path.c_str(), 0), 0);
  EXPECT_EQ(GetFileDate(path, false), "Mon May-17, 2010 08:01:02");
}

TEST(FileDate, MissingFileShowsTheZeroTime) {
  TempDir dir;
  const std::string missing = dir.File("gone.jpg");
  ScopedTimeZone zone("XXX-2");
  EXPECT_EQ(GetFileDate(missing, false), "Mon Jan-01, 1601 00:00:00");
  EXPECT_EQ(GetFileDate(missing, true), "Mon Jan-01, 1601 02:00:00");
  EXPECT_EQ(GetFileDate("", false), "Mon Jan-01, 1601 00:00:00");
}

TEST(FileDate, EveryTimeOfDayKeepsItsSeconds) {
  // Times just short of the next second, shifted by whole hours and minutes: the seconds must
  // never be rounded up or lose one.
  const time_t midnight = UtcSeconds(2004, 7, 3, 0, 0, 0);
  ScopedTimeZone zone("XXX-5:45");
  for (int s = 0; s < 86'400; ++s) {
    const FileTime t = ToFileTime(midnight + s, 999'999'900);
    const int shifted = (s + 5 * 3600 + 45 * 60) % 86'400;
    char clock[16];
    std::snprintf(clock, sizeof clock, " %02d:%02d:%02d", shifted / 3600, shifted / 60 % 60,
                  shifted % 60);
    const std::string text = FormatFileTime(t, true);
    ASSERT_EQ(text.substr(text.size() - 9), clock) << "second " << s;
    ASSERT_EQ(text.substr(0, 16),
              s < 86'400 - 5 * 3600 - 45 * 60 ? "Sat Jul-03, 2004" : "Sun Jul-04, 2004")
        << "second " << s;
  }
}

TEST(FileDate, TimesThatCannotBeConverted) {
  ScopedTimeZone zone("XXX+5");
  EXPECT_EQ(FormatFileTime(0, false), "Mon Jan-01, 1601 00:00:00");
  EXPECT_EQ(FormatFileTime(0, true), "Sun Dec-31, 1600 19:00:00");
  // The top bit set: refused by the conversion.
  EXPECT_EQ(FormatFileTime(0x8000'0000'0000'0000ull, false), "");
  EXPECT_EQ(FormatFileTime(~FileTime{0}, false), "");
  // Beyond year 9999 there is no four-digit year to show.
  EXPECT_EQ(FormatFileTime(0x7FFF'FFFF'FFFF'FFFFull, false), "");
  const time_t lastSecond = UtcSeconds(9999, 12, 31, 23, 59, 59);
  EXPECT_EQ(FormatFileTime(ToFileTime(lastSecond), false), "Fri Dec-31, 9999 23:59:59");
  EXPECT_EQ(FormatFileTime(ToFileTime(lastSecond), true), "Fri Dec-31, 9999 18:59:59");
  EXPECT_EQ(FormatFileTime(ToFileTime(lastSecond + 1), false), "");
}

TEST(FileDate, NamesFollowTheLocale) {
  const FileTime t = ToFileTime(UtcSeconds(2004, 3, 3, 12, 5, 9));
  {
    ScopedLocale locale("en_GB");
    EXPECT_EQ(FormatFileTime(t, false), "Wed Mar-03, 2004 12:05:09");
  }
  {
    ScopedLocale locale("de_DE");
    EXPECT_EQ(FormatFileTime(t, false), "Mi Mär-03, 2004 12:05:09");
    EXPECT_EQ(FormatFileTime(ToFileTime(UtcSeconds(2004, 7, 3, 12, 5, 9)), false),
              "Sa Jul-03, 2004 12:05:09");
  }
}

}  // namespace
}  // namespace snapwick
