// The capture date of a picture.
#include <gtest/gtest.h>

#include <optional>

#include "metadata/CaptureDate.h"
#include "support/ExifBuilder.h"
#include "support/Fixtures.h"
#include "support/TestEnvironment.h"

namespace snapwick {
namespace {

using namespace std::string_literals;
using namespace test;
using Text = std::optional<std::string>;

TEST(CaptureDate, OriginalElseFileDateTimeAndMalformedDates) {
  ScopedLocale english("en_US");
  ScopedTimeZone zone("XXX-2");  // the camera's clock is shown as it is
  TempDir dir;
  // DateTimeOriginal (36867) and DateTime (306) of the file, or none, and the capture date.
  const std::tuple<Text, Text, Text> rows[] = {
      {"2004:07:03 12:05:09", "2010:01:01 00:00:00", "Sat Jul-03, 2004 12:05:09"},
      {std::nullopt, "2004:06:12 18:42:07", "Sat Jun-12, 2004 18:42:07"},
      {"0000:00:00 00:00:00", "2004:06:12 18:42:07", "Sat Jun-12, 2004 18:42:07"},
      {"2004:02:29 23:59:59", std::nullopt, "Sun Feb-29, 2004 23:59:59"},
      {"2004:07:03 12:05:09\0\0\0\0"s, std::nullopt, "Sat Jul-03, 2004 12:05:09"},
      {"1000:01:01 00:00:00", std::nullopt, "Wed Jan-01, 1000 00:00:00"},
      {"2004:07:03 12:05:09\0x"s, std::nullopt, "Sat Jul-03, 2004 12:05:09"},  // two texts
      // Malformed, with no DateTime to fall back on.
      {"0000:00:00 00:00:00", std::nullopt, std::nullopt},
      {"                   ", std::nullopt, std::nullopt},
      {"    :  :     :  :  ", std::nullopt, std::nullopt},
      {"0000:07:03 12:05:09", std::nullopt, std::nullopt},
      {"0999:07:03 12:05:09", std::nullopt, std::nullopt},
      {"2004:13:03 12:05:09", std::nullopt, std::nullopt},
      {"2004:00:03 12:05:09", std::nullopt, std::nullopt},
      {"2004:07:32 12:05:09", std::nullopt, std::nullopt},
      {"2004:04:31 12:05:09", std::nullopt, std::nullopt},
      {"2005:02:29 12:05:09", std::nullopt, std::nullopt},
      {"2004:07:00 12:05:09", std::nullopt, std::nullopt},
      {"2004:07:03 24:00:00", std::nullopt, std::nullopt},
      {"2004:07:03 12:60:09", std::nullopt, std::nullopt},
      {"2004:07:03 12:05:60", std::nullopt, std::nullopt},
      {"2004:O7:03 12:05:09", std::nullopt, std::nullopt},
      {"2004:07:03 12:05:0x", std::nullopt, std::nullopt},
      {"+004:07:03 12:05:09", std::nullopt, std::nullopt},
      {"2004-07-03 12:05:09", std::nullopt, std::nullopt},
      {"2004:07:03T12:05:09", std::nullopt, std::nullopt},
      {"2004:07:03 12:05", std::nullopt, std::nullopt},
      {"2004:07:03 12:05:09 ", std::nullopt, std::nullopt},
      {"", std::nullopt, std::nullopt},
      {std::nullopt, std::nullopt, std::nullopt},  // a JPEG without EXIF block
  };
  int n = 0;
  for (const auto& [original, dateTime, expected] : rows) {
    const std::string file = dir.File(std::to_string(n++) + ".jpg");
    TiffBuilder b(n % 2 == 0);
    const int ifd0 = b.AddDirectory();
    if (dateTime) b.AddAscii(ifd0, 306, *dateTime);
    if (original) {
      const int exif = b.AddDirectory();
      b.AddExifPointer(ifd0, exif);
      b.AddAscii(exif, 36867, *original);
    }
    WriteBytes(file, original || dateTime ? ExifJpeg(b.Build()) : MakeJpeg(8, 8));
    EXPECT_EQ(GetCaptureDate(file), expected) << file << " " << original.value_or("(none)");
    if (original && !dateTime) {
      EXPECT_EQ(CaptureDateText(*original), expected) << *original;
    }
  }
  EXPECT_EQ(GetCaptureDate(dir.File("gone.jpg")), std::nullopt);
  ScopedLocale german("de_DE");
  EXPECT_EQ(CaptureDateText("2004:03:01 03:00:00"), "Mo Mär-01, 2004 03:00:00");
}

}  // namespace
}  // namespace snapwick
