#pragma once

#include <cstdint>
#include <string>

#include "base/DateText.h"

namespace snapwick {

// A file time: 100-nanosecond intervals since 1 January 1601, UTC.
using FileTime = uint64_t;

// The date text ("ddd mmm-dd, yyyy hh:mm:ss") of a file's last-write time, in UTC or shifted by
// the computer's standard time-zone offset. A file that cannot be read gives the text of the zero
// file time.
std::string GetFileDate(const std::string& fileName, bool usePcZone);

// The text of a file time; weekday and month names in the default locale. Empty when the time
// cannot be converted.
std::string FormatFileTime(FileTime fileTime, bool usePcZone);

}  // namespace snapwick
