#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace snapwick {

class ExifReader;

// EXIF tags of the picture's dates: when it was taken, and when the file was last changed.
inline constexpr int32_t kDateTimeOriginalTag = 36867;
inline constexpr int32_t kDateTimeTag = 306;

// The date text ("ddd mmm-dd, yyyy hh:mm:ss", as a file date is shown) of an EXIF date, which is
// "YYYY:MM:DD HH:MM:SS" in the camera's own clock; no zone shift is applied. The value ends at
// its first zero byte. None when it is not exactly such a date: another length or separator,
// anything but digits in the fields, a field out of range (month 13, 31 April, hour 24, minute
// or second 60), year 0000 or a year of fewer than four digits, and so the blank or all-zero
// dates that cameras write for an unknown date.
std::optional<std::string> CaptureDateText(std::string_view exifDate);

// The capture date text of a picture: DateTimeOriginal (36867) when it is a readable date, else
// DateTime (306). A walk that fails part-way still gives the records read before the failure.
// None when neither is readable, the file has no EXIF block, or cannot be read.
std::optional<std::string> GetCaptureDate(const std::string& fileName);
// The same from a reader that has a file name or was loaded (its errors are kept in).
std::optional<std::string> GetCaptureDate(ExifReader& reader);

}  // namespace snapwick
