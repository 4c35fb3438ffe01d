#include "labels/LabelFont.h"

#include <QLocale>
#include <QString>
#include <charconv>
#include <cmath>
#include <vector>

namespace snapwick {

namespace {

// The shortest decimal text that reads back as the same single-precision value, with the default
// locale's decimal sign and no digit grouping.
std::string SizeText(float size) {
  char digits[128];
  const auto result = std::to_chars(digits, digits + sizeof digits, size, std::chars_format::fixed);
  const QLocale locale;
  QString text;
  for (const char* p = digits; p != result.ptr; ++p) {
    if (*p == '.') {
      text += locale.decimalPoint();
    } else if (*p == '-') {
      text += locale.negativeSign();
    } else {
      text += QLatin1Char(*p);
    }
  }
  return text.toStdString();
}

std::vector<std::string> SplitFields(const std::string& text) {
  std::vector<std::string> fields;
  std::string::size_type start = 0;
  for (;;) {
    const auto colon = text.find(':', start);
    fields.push_back(text.substr(start, colon - start));
    if (colon == std::string::npos) break;
    start = colon + 1;
  }
  return fields;
}

// "True" or "False" in any case, or a number in the default locale (non-zero is true).
std::optional<bool> ReadFlag(const std::string& field) {
  const QString text = QString::fromUtf8(field).trimmed();
  if (text.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0) return true;
  if (text.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0) return false;
  bool ok = false;
  const double value = QLocale().toDouble(text, &ok);
  if (!ok || !std::isfinite(value)) return std::nullopt;
  return value != 0;
}

// A positive size in points, up to the largest label font, read in the default locale.
std::optional<float> ReadSize(const std::string& field) {
  bool ok = false;
  const double value = QLocale().toDouble(QString::fromUtf8(field), &ok);
  if (!ok || !std::isfinite(value) || value > kMaxLabelFontPoints) return std::nullopt;
  const float size = static_cast<float>(value);
  if (!(size > 0)) return std::nullopt;
  return size;
}

}  // namespace

std::string FontSettingText(const LabelFont& font) {
  return font.face + ":" + SizeText(font.size) + ":" + (font.bold ? "True" : "False") + ":" +
         (font.italic ? "True" : "False");
}

std::optional<LabelFont> ParseFontSetting(const std::string& text) {
  const std::vector<std::string> fields = SplitFields(text);
  if (fields.size() != 4 || fields[0].empty()) return std::nullopt;
  const auto size = ReadSize(fields[1]);
  const auto bold = ReadFlag(fields[2]);
  const auto italic = ReadFlag(fields[3]);
  if (!size || !bold || !italic) return std::nullopt;
  return LabelFont{fields[0], *size, *bold, *italic};
}

}  // namespace snapwick
