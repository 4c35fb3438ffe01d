#include "metadata/CaptureDate.h"

#include "base/DateText.h"
#include "base/Error.h"
#include "metadata/ExifReader.h"

namespace snapwick {

namespace {

constexpr std::string_view kLayout = "dddd:dd:dd dd:dd:dd";

// The number written by the digits of text[at, at + count).
int Digits(std::string_view text, size_t at, size_t count) {
  int value = 0;
  for (size_t k = at; k < at + count; ++k)
    value = value * 10 + (text[k] - '0');
  return value;
}

}  // namespace

std::optional<std::string> CaptureDateText(std::string_view exifDate) {
  exifDate = exifDate.substr(0, exifDate.find('\0'));
  if (exifDate.size() != kLayout.size()) return std::nullopt;
  for (size_t k = 0; k < kLayout.size(); ++k) {
    const char c = exifDate[k];
    if (kLayout[k] == 'd' ? (c < '0' || c > '9') : c != kLayout[k]) return std::nullopt;
  }
  const BrokenDownTime time{Digits(exifDate, 0, 4),  Digits(exifDate, 5, 2),
                            Digits(exifDate, 8, 2),  Digits(exifDate, 11, 2),
                            Digits(exifDate, 14, 2), Digits(exifDate, 17, 2)};
  std::string text = FormatDateText(time);
  if (text.empty()) return std::nullopt;
  return text;
}

std::optional<std::string> GetCaptureDate(ExifReader& reader) {
  try {
    if (!reader.IsLoaded()) reader.Load(reader.PicFile());
  } catch (const SnapError&) {
    // A walk that failed part-way keeps the records read so far.
  }
  if (!reader.IsLoaded()) return std::nullopt;
  for (const int32_t tag : {kDateTimeOriginalTag, kDateTimeTag}) {
    try {
      const Variant value = reader.Tag(tag);
      if (!value.IsText()) continue;
      if (auto text = CaptureDateText(value.ToText())) return text;
    } catch (const SnapError&) {
      return std::nullopt;  // loaded without a tag store
    }
  }
  return std::nullopt;
}

std::optional<std::string> GetCaptureDate(const std::string& fileName) {
  if (fileName.empty()) return std::nullopt;
  ExifReader reader;
  reader.picFile(fileName);
  return GetCaptureDate(reader);
}

}  // namespace snapwick
