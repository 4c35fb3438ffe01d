// The stored "Font" text: a text that reads as a font writes back to a text that reads as the
// same font, in the locale the first byte picks (decimal point or decimal comma).
#include <QLocale>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>

#include "labels/LabelFont.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  static const QLocale kLocales[] = {QLocale(QLocale::English, QLocale::UnitedStates),
                                     QLocale(QLocale::German, QLocale::Germany),
                                     QLocale(QLocale::French, QLocale::France), QLocale::c()};
  QLocale::setDefault(kLocales[data[0] % 4]);
  const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
  const auto font = snapwick::ParseFontSetting(text);
  if (!font) return 0;
  if (font->face.empty() || !(font->size > 0) || !(font->size <= snapwick::kMaxLabelFontPoints))
    __builtin_trap();
  const std::string stored = snapwick::FontSettingText(*font);
  const auto again = snapwick::ParseFontSetting(stored);
  if (!again || !(*again == *font)) __builtin_trap();
  if (snapwick::FontSettingText(*again) != stored) __builtin_trap();
  return 0;
}
