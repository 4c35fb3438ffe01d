#include "base/DateText.h"

#include <QDate>
#include <QLocale>
#include <cstdio>

namespace snapwick {

namespace {

std::string TwoDigits(int value) {
  char text[8];
  std::snprintf(text, sizeof text, "%02d", value);
  return text;
}

}  // namespace

std::string FormatDateText(const BrokenDownTime& time) {
  const QDate date(time.year, time.month, time.day);
  // The text has room for four-digit years only. (File times start in 1601.)
  if (!date.isValid() || date.year() < 1000 || date.year() > 9999) return {};
  if (time.hour < 0 || time.hour > 23 || time.minute < 0 || time.minute > 59 || time.second < 0 ||
      time.second > 59)
    return {};

  const QLocale locale;
  std::string text = locale.standaloneDayName(date.dayOfWeek(), QLocale::ShortFormat).toStdString();
  text += ' ';
  text += locale.standaloneMonthName(date.month(), QLocale::ShortFormat).toStdString();
  text += '-';
  text += TwoDigits(date.day());
  text += ", ";
  text += std::to_string(date.year());
  text += ' ';
  text += TwoDigits(time.hour) + ':' + TwoDigits(time.minute) + ':' + TwoDigits(time.second);
  return text;
}

}  // namespace snapwick
