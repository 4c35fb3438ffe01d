#pragma once

#include <string>

namespace snapwick {

// A date and time of the calendar, as the fields of a clock read them: no zone.
struct BrokenDownTime {
  int year = 0, month = 0, day = 0;      // month 1 to 12, day 1 to the month's last
  int hour = 0, minute = 0, second = 0;  // 0 to 23, 0 to 59, 0 to 59
};

// The date text ("ddd mmm-dd, yyyy hh:mm:ss") of a broken-down time, as the program shows file
// and capture dates; weekday and month names in the default locale. Empty when the fields are no
// date and time of the calendar (month 13, 30 February, hour 24...) or the year has not four
// digits.
std::string FormatDateText(const BrokenDownTime& time);

}  // namespace snapwick
