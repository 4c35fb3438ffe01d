#include "imaging/FileAttributes.h"

#include <sys/stat.h>

#include <QDate>
#include <ctime>

namespace snapwick {

namespace {

constexpr int64_t kTicksPerSecond = 10'000'000;
constexpr int64_t kSecondsPerDay = 86'400;
// Seconds from 1 January 1601 to 1 January 1970, both UTC.
constexpr int64_t kUnixEpochSeconds = 11'644'473'600;
// Julian day number of 1 January 1601.
constexpr int64_t kJulianDay1601 = 2'305'814;
// File times with the top bit set are refused, as the system's conversion does.
constexpr FileTime kLargestFileTime = 0x7FFF'FFFF'FFFF'FFFFull;

// The computer's standard time-zone offset in seconds, UTC = local standard time + bias. The
// daylight-saving offset is never used.
int64_t StandardBiasSeconds() {
  tzset();
  return static_cast<int64_t>(timezone);
}

}  // namespace

std::string FormatFileTime(FileTime fileTime, bool usePcZone) {
  if (fileTime > kLargestFileTime) return {};

  // Whole seconds since 1601; the fraction of a second is dropped, not rounded. Keeping the time
  // of day as a count of seconds gives the same text as the date value (days plus a fraction of a
  // day, shown to the nearest second) without its rounding errors.
  int64_t seconds = static_cast<int64_t>(fileTime / kTicksPerSecond);
  if (usePcZone) seconds -= StandardBiasSeconds();

  // Floor division, so that a shift before 1601 lands on the previous day.
  int64_t days = seconds / kSecondsPerDay;
  int64_t secondOfDay = seconds % kSecondsPerDay;
  if (secondOfDay < 0) {
    secondOfDay += kSecondsPerDay;
    --days;
  }

  const QDate date = QDate::fromJulianDay(kJulianDay1601 + days);
  if (!date.isValid()) return {};
  return FormatDateText(
      {date.year(), date.month(), date.day(), static_cast<int>(secondOfDay / 3600),
       static_cast<int>(secondOfDay / 60 % 60), static_cast<int>(secondOfDay % 60)});
}

std::string GetFileDate(const std::string& fileName, bool usePcZone) {
  // The last-write time is read without opening the file, so read-only and locked pictures show
  // their real date. Only a file whose times cannot be read at all gives the zero time.
  FileTime lastWrite = 0;
  struct stat st {};
  if (::stat(fileName.c_str(), &st) == 0) {
    const int64_t seconds = static_cast<int64_t>(st.st_mtim.tv_sec) + kUnixEpochSeconds;
    // Times before 1601 or beyond the file-time range cannot be held as a file time.
    if (seconds >= 0 && seconds <= static_cast<int64_t>(kLargestFileTime / kTicksPerSecond) - 1) {
      lastWrite = static_cast<FileTime>(seconds) * kTicksPerSecond +
                  static_cast<FileTime>(st.st_mtim.tv_nsec / 100);
    }
  }
  return FormatFileTime(lastWrite, usePcZone);
}

}  // namespace snapwick
