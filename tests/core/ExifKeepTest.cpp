// The capture date of a picture, and the EXIF block kept in a saved picture: rewritten from the
// source's, put into the new JPEG, and read back by exiv2 and by our reader.
#include <gtest/gtest.h>

#include <QProcess>
#include <QStandardPaths>
#include <algorithm>
#include <map>
#include <optional>
#include <set>
#include <sstream>

#include "base/Error.h"
#include "imaging/JpegSegments.h"
#include "metadata/CaptureDate.h"
#include "metadata/ExifReader.h"
#include "metadata/KeptExif.h"
#include "support/ExifBuilder.h"
#include "support/Fixtures.h"
#include "support/TestEnvironment.h"

namespace snapwick {
namespace {

using namespace std::string_literals;
using namespace test;
using Text = std::optional<std::string>;

TEST(CaptureDate, OriginalElseFileDateTimeAndMalformedDates) {
  ScopedTimeZone zone("XXX-2");  // the camera's clock is shown as it is
  TempDir dir;
  // DateTimeOriginal (36867) and DateTime (306) of the file, or none, and the capture date.
  std::vector<std::tuple<Text, Text, Text>> rows = {
      {"2004:07:03 12:05:09", "2010:01:01 00:00:00", "Sat Jul-03, 2004 12:05:09"},
      {std::nullopt, "2004:06:12 18:42:07", "Sat Jun-12, 2004 18:42:07"},
      {"0000:00:00 00:00:00", "2004:06:12 18:42:07", "Sat Jun-12, 2004 18:42:07"},
      {"2004:02:29 23:59:59", std::nullopt, "Sun Feb-29, 2004 23:59:59"},
      {"2004:07:03 12:05:09\0\0\0\0"s, std::nullopt, "Sat Jul-03, 2004 12:05:09"},
      {"1000:01:01 00:00:00", std::nullopt, "Wed Jan-01, 1000 00:00:00"},
      {"2004:07:03 12:05:09\0x"s, std::nullopt, "Sat Jul-03, 2004 12:05:09"},  // two texts
      {std::nullopt, std::nullopt, std::nullopt},  // a JPEG without EXIF block
  };
  // Malformed, with no DateTime to fall back on.
  // clang-format off
  const char* malformed[] = {
      "0000:00:00 00:00:00", "                   ", "    :  :     :  :  ", "0000:07:03 12:05:09",
      "0999:07:03 12:05:09", "2004:13:03 12:05:09", "2004:00:03 12:05:09", "2004:07:32 12:05:09",
      "2004:04:31 12:05:09", "2005:02:29 12:05:09", "2004:07:00 12:05:09", "2004:07:03 24:00:00",
      "2004:07:03 12:60:09", "2004:07:03 12:05:60", "2004:O7:03 12:05:09", "2004:07:03 12:05:0x",
      "+004:07:03 12:05:09", "2004-07-03 12:05:09", "2004:07:03T12:05:09", "2004:07:03 12:05",
      "2004:07:03 12:05:09 ", ""};
  // clang-format on
  for (const char* text : malformed)
    rows.push_back({text, std::nullopt, std::nullopt});
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
}

// A source block: IFD0 (Make, Model, Orientation when not 0, resolution, DateTime), a GPS
// directory, an Exif directory when asked (exposure, version, DateTimeOriginal, maker note, the
// old pixel size as SHORT values, an interoperability directory) and IFD1 with a thumbnail.
std::string SourceExif(bool intel, int orientation, bool withExif, bool withThumbnail) {
  TiffBuilder b(intel);
  const int ifd0 = b.AddDirectory(), gps = b.AddDirectory();
  b.AddAscii(ifd0, 271, "Foto");
  b.AddAscii(ifd0, 272, "F-20 Zoom");
  if (orientation != 0) b.AddShort(ifd0, 274, static_cast<uint16_t>(orientation));
  b.AddRational(ifd0, 282, 72, 1);
  b.AddRational(ifd0, 283, 72, 1);
  b.AddShort(ifd0, 296, 2);
  b.AddAscii(ifd0, 306, "2004:06:12 18:42:07");
  if (withExif) {
    const int exif = b.AddDirectory(), interop = b.AddDirectory();
    b.AddExifPointer(ifd0, exif);
    b.AddRational(exif, 33434, 1, 60);
    b.AddRational(exif, 33437, 28, 10);
    b.AddShort(exif, 34855, 100);
    b.Add(exif, 36864, kUndefined, 4, "0230");
    b.AddAscii(exif, 36867, "2004:06:12 18:42:07");
    b.Add(exif, 37500, kUndefined, 24, "MAKR\x01\x02" + b.U32(8) + std::string(14, 'x'));
    b.AddShort(exif, 40962, 2048);
    b.AddShort(exif, 40963, 1536);
    b.AddPointer(exif, 40965, interop);
    b.AddAscii(exif, 42016, "0123456789abcdef0123456789abcdef");
    b.AddAscii(interop, 1, "R98");
    b.Add(interop, 2, kUndefined, 4, "0100");
  }
  b.AddPointer(ifd0, 34853, gps);
  b.Add(ifd0, 50341, kUndefined, 6, "PrintIM");
  b.Add(gps, 0, kByte, 4, "\x02\x03\x00\x00"s);
  b.AddAscii(gps, 1, "N");
  b.Add(gps, 2, kRational, 3, b.U32(48) + b.U32(1) + b.U32(51) + b.U32(1) + b.U32(30) + b.U32(1));
  if (withThumbnail) {
    const int ifd1 = b.AddDirectory();
    b.Link(ifd0, ifd1);
    const std::string thumbnail = MakeJpeg(16, 12);
    b.AddShort(ifd1, 259, 6);
    b.AddRational(ifd1, 282, 180, 1);
    b.AddRational(ifd1, 283, 180, 1);
    b.AddOffsetTo(ifd1, 513, thumbnail);
    b.Add(ifd1, 514, kLong, 1, b.U32(static_cast<uint32_t>(thumbnail.size())));
  }
  return b.Build();
}

// What exiv2 prints of a file's EXIF tags: key to "type count value"; and its warnings.
struct Exiv2View {
  std::map<std::string, std::string> tags;
  std::string errors;
};
Exiv2View RunExiv2(const std::string& file) {
  QProcess exiv2;
  exiv2.start("exiv2", {"-u", "-PEkycv", QString::fromStdString(file)});
  exiv2.waitForFinished(30000);
  Exiv2View view;
  view.errors = exiv2.readAllStandardError().toStdString();
  std::istringstream lines(exiv2.readAllStandardOutput().toStdString());
  for (std::string line; std::getline(lines, line);) {
    std::istringstream fields(line);
    std::string key, type, count, value;
    fields >> key >> type >> count >> std::ws;
    std::getline(fields, value);
    view.tags[key] = type + " " + count + " " + value;
  }
  return view;
}

// The directory pointers, whose offsets change.
bool IsPointer(const std::string& key) {
  return key == "Exif.Image.ExifTag" || key == "Exif.Image.GPSTag" ||
         key == "Exif.Photo.InteroperabilityTag";
}
// What is left out: IFD1 and the maker note.
bool Goes(const std::string& key) {
  return key.starts_with("Exif.Thumbnail.") || key.starts_with("Exif.MakerNote.") ||
         key == "Exif.Photo.MakerNote";
}

TEST(KeptExif, RewrittenBlocksReadByExiv2AndOurReader) {
  if (QStandardPaths::findExecutable("exiv2").isEmpty())
    GTEST_SKIP() << "exiv2 is not installed (Debian package exiv2): kept EXIF is not checked";
  TempDir dir;
  // A block of one entry in IFD0, whose value field holds the number given.
  const auto oneEntry = [](bool intel, uint16_t tag, uint16_t type, uint32_t count,
                           uint32_t field) {
    TiffBuilder b(intel);
    b.Add(b.AddDirectory(), tag, type, count, b.U32(field));
    return b.Build();
  };
  // Two values of 40000 bytes, one stored once (at 38) and pointed at twice: beyond a segment.
  TiffBuilder ii(true), mm(false), twice(true);
  twice.Add(twice.AddDirectory(), 270, kAscii, 40000, std::string(40000, 'b'));
  twice.Add(0, 315, kAscii, 40000, twice.U32(38));
  // Source block, JFIF APP0 in the new JPEG, orientation of the source (0: none), the error.
  const std::tuple<const char*, std::string, bool, int, int32_t> rows[] = {
      {"Intel, thumbnail, turned", SourceExif(true, 6, true, true), true, 6, 0},
      {"Motorola, thumbnail, turned", SourceExif(false, 6, true, true), true, 6, 0},
      {"Intel, no thumbnail", SourceExif(true, 1, true, false), false, 1, 0},
      {"Motorola, no Exif directory", SourceExif(false, 0, false, true), true, 0, 0},
      {"Intel, no Exif directory, no thumbnail", SourceExif(true, 8, false, false), false, 8, 0},
      // Damaged blocks: never kept.
      {"cut short", SourceExif(false, 6, true, true).substr(0, 200), true, 0, 481},
      {"bad byte order", "IM" + SourceExif(true, 0, true, false).substr(2), true, 0, 481},
      {"no magic", "MM\0\x2b"s + mm.U32(8) + mm.U16(0), true, 0, 481},
      {"IFD0 past the end", "II*\0"s + ii.U32(9000) + ii.U16(0), true, 0, 481},
      {"IFD0 in the header", "II*\0"s + ii.U32(2) + ii.U16(0), true, 0, 481},
      {"entries past the end", "MM\0*"s + mm.U32(8) + mm.U16(0xFFFF) + mm.U16(1), true, 0, 481},
      {"value past the end", oneEntry(true, 271, kAscii, 20, 0x7FFFFFF0), true, 0, 481},
      {"count overflowing", oneEntry(false, 33434, kRational, 0xFFFFFFFF, 8), true, 0, 481},
      {"Exif pointer back at IFD0", oneEntry(true, 0x8769, kLong, 1, 8), true, 0, 481},
      {"Exif pointer of two values", oneEntry(true, 0x8769, kLong, 2, 8), true, 0, 481},
      {"more than a segment", twice.Build(), true, 0, 6},
  };
  const int32_t width = 96, height = 64;
  std::string jfifJpeg = MakeJpeg(width, height);
  ASSERT_EQ(jfifJpeg.substr(2, 2), "\xFF\xE0");
  const size_t app0End = 4 + (static_cast<uint8_t>(jfifJpeg[4]) << 8 | jfifJpeg[5]);
  const std::string bareJpeg = "\xFF\xD8" + jfifJpeg.substr(app0End);

  for (const auto& [name, tiff, jfif, orientation, error] : rows) {
    SCOPED_TRACE(name);
    const std::string sourceFile = dir.File("source.jpg"), savedFile = dir.File("saved.jpg");
    WriteBytes(sourceFile, ExifJpeg(tiff, true));
    std::string payload;
    try {
      payload = KeptExifPayload(ReadFile(sourceFile), width, height);
      EXPECT_EQ(error, 0);
    } catch (const SnapError& e) {
      EXPECT_EQ(e.Number(), error) << e.Description();
      EXPECT_NE(e.Description().find("EXIF block"), std::string::npos) << e.Description();
      continue;
    }
    ASSERT_LE(payload.size(), kMaxApp1Payload);
    ASSERT_EQ(payload.substr(0, 6), "Exif\0\0"s);

    // The segment goes right behind SOI, or behind the JFIF segment.
    const std::string& jpeg = jfif ? jfifJpeg : bareJpeg;
    const size_t at = jfif ? app0End : 2;
    const std::string saved = InsertApp1Segment(jpeg, payload);
    const size_t length = payload.size() + 2;
    EXPECT_EQ(saved, jpeg.substr(0, at) + "\xFF\xE1" + static_cast<char>(length >> 8) +
                         static_cast<char>(length & 0xFF) + payload + jpeg.substr(at));
    WriteBytes(savedFile, saved);
    EXPECT_EQ(JpegSize(savedFile), std::make_pair(width, height));

    // exiv2 sees every tag of IFD0, the Exif, GPS and interoperability directories as it was,
    // save the orientation and the pixel size, and nothing of IFD1 and the maker note.
    const Exiv2View source = RunExiv2(sourceFile), kept = RunExiv2(savedFile);
    EXPECT_EQ(kept.errors, "");
    std::map<std::string, std::string> expected;
    for (const auto& [key, value] : source.tags)
      if (!IsPointer(key) && !Goes(key)) expected[key] = value;
    if (orientation != 0) expected["Exif.Image.Orientation"] = "Short 1 1";
    expected["Exif.Photo.PixelXDimension"] = "Long 1 " + std::to_string(width);
    expected["Exif.Photo.PixelYDimension"] = "Long 1 " + std::to_string(height);
    std::map<std::string, std::string> got;
    for (const auto& [key, value] : kept.tags)
      if (!IsPointer(key)) got[key] = value;
    EXPECT_EQ(got, expected);
    EXPECT_TRUE(kept.tags.contains("Exif.GPSInfo.GPSLatitude"));

    // Our reader finds each record as it was in the source, save the changed ones. Each
    // directory is in ascending tag order: the numbers fall once, from IFD0 to the Exif one.
    ExifReader before, after;
    before.Load(sourceFile);
    after.Load(savedFile);
    const auto& records = after.Records();
    int falls = 0;
    for (size_t i = 1; i < records.size(); ++i)
      falls += records[i].TagId < records[i - 1].TagId;
    EXPECT_EQ(falls, 1);
    for (const TagRecord& record : after.Records()) {
      if (std::set{274, 40962, 40963, 0x8769, 0x8825, 0xA005}.contains(record.TagId)) continue;
      const auto same = std::ranges::find(before.Records(), record.TagId, &TagRecord::TagId);
      ASSERT_NE(same, before.Records().end()) << record.TagId;
      EXPECT_EQ(std::tie(record.FieldType, record.ValueCount, record.TagValue),
                std::tie(same->FieldType, same->ValueCount, same->TagValue))
          << record.TagId;
    }
    EXPECT_EQ(after.Tag(274), orientation != 0 ? Variant(1) : Variant());
    EXPECT_EQ(std::pair(after.Tag(40962), after.Tag(40963)),
              std::pair(Variant(width), Variant(height)));
    for (const int32_t gone : {259, 513, 514, 37500})
      EXPECT_TRUE(after.Tag(gone).IsEmpty()) << gone;
  }
  // A source without EXIF block has nothing to keep.
  EXPECT_EQ(KeptExifPayload(jfifJpeg, width, height), "");
}

}  // namespace
}  // namespace snapwick
