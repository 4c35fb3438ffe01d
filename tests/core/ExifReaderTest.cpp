// The EXIF reader: the search for the block, the directory walk, the tag store and its bounds.
#include "metadata/ExifReader.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <functional>

#include "metadata/TextBytes.h"
#include "platform/Error.h"
#include "support/ExifBuilder.h"
#include "support/Fixtures.h"
#include "support/TestEnvironment.h"

namespace snapwick {
namespace {

using namespace std::string_literals;
using test::ErrorNumberOf;
using test::ExifJpeg;
using test::TiffBuilder;

// Walks an EXIF JPEG made of the TIFF bytes, from memory; the error number, or 0.
int32_t Walk(ExifReader& reader, const std::string& tiff) {
  const std::string file = ExifJpeg(tiff);
  return ErrorNumberOf([&] { reader.LoadBytes(file.data(), file.size()); });
}

std::vector<int32_t> TagIds(const ExifReader& reader) {
  std::vector<int32_t> ids;
  for (const TagRecord& r : reader.Records())
    ids.push_back(r.TagId);
  return ids;
}

// IFD0 with Make "Foto" and the Exif pointer, and an Exif directory with the exposure time.
std::string SmallTiff(bool intel) {
  TiffBuilder b(intel);
  const int ifd0 = b.AddDirectory(), exif = b.AddDirectory();
  b.AddAscii(ifd0, 271, "Foto");
  b.AddExifPointer(ifd0, exif);
  b.AddRational(exif, 33434, 1, 60);
  return b.Build();
}

TEST(ExifWalk, DecodingTableInBothByteOrders) {
  // The value bytes as an Intel file holds them (a Motorola file holds each element reversed),
  // and the value decoded from either file.
  const struct {
    uint16_t type;
    uint32_t count;
    std::string bytes;
    Variant intel, motorola;
  } rows[] = {
      {test::kByte, 1, "\x01"s, "00000001", "01000000"},  // in place: four bytes in hex
      {test::kSByte, 3, "\x0A\xFF\x01"s, "0001FF0A", "0AFF0100"},
      {test::kByte, 6, "\x01\x02\x03\xFA\x00\x09"s, "12325009", "12325009"},
      {test::kAscii, 5, "Foto\0"s, "Foto", "Foto"},
      {test::kUndefined, 4, "0100"s, "0010", "0100"},
      {test::kUndefined, 6, "ABCDEF"s, "ABCDE", "ABCDE"},  // the last byte is dropped
      {test::kShort, 1, "\x06\0"s, 6, 6},
      {test::kShort, 2, "\x02\0\x01\0"s, 3, 3},  // the sum of both halves
      {test::kSShort, 1, "\xFB\xFF"s, 65531, 65531},
      {test::kShort, 3, "\x08\0\x08\0\x08\0"s, "808", "080"},  // count single bytes
      {test::kLong, 1, "\xFF\xFF\xFF\x7F"s, 2147483647, 2147483647},
      {test::kSLong, 2, "\x0D\x0C\x0B\x0A\x05\0\0\0"s, "1312", "1011"},
      {test::kRational, 1, "\x1C\0\0\0\x0A\0\0\0"s, "28/10", "28/10"},
      {test::kSRational, 2, "\x01\0\0\0\x3C\0\0\0\x07\0\0\0\x02\0\0\0"s, "1/60", "1/60"},
      {11, 1, "\x78\x56\x34\x12"s, {}, {}},
      {0, 1, "\x05"s, {}, {}},
  };
  for (bool intel : {true, false}) {
    TiffBuilder b(intel);
    const int d = b.AddDirectory();
    for (size_t i = 0; i < std::size(rows); ++i) {
      const auto type = rows[i].type;
      const size_t element = type == test::kShort || type == test::kSShort ? 2
                             : type == test::kLong || type == test::kSLong ||
                                     type == test::kRational || type == test::kSRational
                                 ? 4
                                 : 1;
      std::string bytes = rows[i].bytes;
      for (size_t at = 0; !intel && at < bytes.size(); at += element)
        std::reverse(bytes.begin() + at, bytes.begin() + at + element);
      b.Add(d, static_cast<uint16_t>(i + 1), type, rows[i].count, bytes);
    }
    ExifReader reader;
    ASSERT_EQ(Walk(reader, b.Build()), 0);
    ASSERT_EQ(reader.Records().size(), std::size(rows));
    for (size_t i = 0; i < std::size(rows); ++i) {
      SCOPED_TRACE(testing::Message() << (intel ? "Intel" : "Motorola") << " row " << i + 1);
      const TagRecord& record = reader.Records()[i];
      EXPECT_EQ(record.TagValue, intel ? rows[i].intel : rows[i].motorola);
      EXPECT_EQ(record.FieldType, rows[i].type);
      EXPECT_EQ(record.ValueCount, static_cast<int32_t>(rows[i].count));
      const bool atOffset = rows[i].bytes.size() > 4 && !record.TagValue.IsEmpty();
      EXPECT_EQ(record.ValueOffset, atOffset ? static_cast<int32_t>(b.ValueOffset(d, i)) : 0);
    }
  }
}

TEST(ExifWalk, ErrorsKeepTheRecordsBeforeThemAndBlanksBehind) {
  const struct {
    const char* what;
    std::function<void(TiffBuilder&, int)> add;
    int32_t error;
    bool inEntry;
  } cases[] = {
      {"LONG of 2^31", [](TiffBuilder& b, int d) { b.AddRaw(d, 9, test::kLong, 1, 1u << 31); },
       kErrOverflow, true},
      {"negative SRATIONAL",
       [](TiffBuilder& b, int d) { b.AddRational(d, 9, -2u, 3, test::kSRational); }, kErrOverflow,
       true},
      {"count of 2^31", [](TiffBuilder& b, int d) { b.AddRaw(d, 9, test::kShort, 1u << 31, 0); },
       kErrOverflow, true},
      {"count x 4 beyond 2^31",
       [](TiffBuilder& b, int d) { b.AddRaw(d, 9, test::kLong, 1u << 29, 0); }, kErrOverflow, true},
      {"value past the end",
       [](TiffBuilder& b, int d) { b.AddRaw(d, 9, test::kAscii, 10, 1u << 20); },
       kErrSubscriptOutOfRange, true},
      {"bytes running past the end",
       [](TiffBuilder& b, int d) { b.Add(d, 9, test::kByte, 5000, "\x01\x02\x03\x04\x05"); },
       kErrSubscriptOutOfRange, true},
      {"Exif pointer that is no number",
       [](TiffBuilder& b, int d) { b.Add(d, 0x8769, test::kAscii, 4, "ABCD"); }, kErrTypeMismatch,
       true},
      {"link past the end", [](TiffBuilder& b, int d) { b.LinkRaw(d, 0x7000); },
       kErrSubscriptOutOfRange, false},
      {"link of 2^31", [](TiffBuilder& b, int d) { b.LinkRaw(d, 1u << 31); }, kErrOverflow, false},
  };
  for (bool intel : {true, false}) {
    for (const auto& c : cases) {
      SCOPED_TRACE(testing::Message() << c.what << (intel ? " (Intel)" : " (Motorola)"));
      TiffBuilder b(intel);
      const int ifd0 = b.AddDirectory(), ifd1 = b.AddDirectory();
      b.Link(ifd0, ifd1);
      b.AddShort(ifd0, 1, 1);
      c.add(b, ifd0);
      b.AddShort(ifd0, 3, 3);
      b.AddShort(ifd1, 5, 5);
      ExifReader reader;
      EXPECT_EQ(Walk(reader, b.Build()), c.error);
      EXPECT_TRUE(reader.IsLoaded());
      // Nothing of IFD1; the failing entry keeps the fields read before the failure.
      ASSERT_EQ(reader.Records().size(), c.inEntry ? 3u : 2u);
      EXPECT_EQ(reader.Tag(1), Variant(1));
      if (c.inEntry) {
        EXPECT_NE(reader.Records()[1].TagId, 0);
        EXPECT_EQ(reader.Records()[2], TagRecord{});
        EXPECT_EQ(reader.Tag(0), Variant(3));  // blanks included
      }
    }
  }
  // A first directory without entries leaves no store at all.
  TiffBuilder empty(true);
  empty.AddDirectory();
  ExifReader reader;
  EXPECT_EQ(Walk(reader, empty.Build()), kErrSubscriptOutOfRange);
  EXPECT_FALSE(reader.HasTagStore());
  EXPECT_TRUE(reader.Tag(0).IsEmpty());
}

TEST(ExifWalk, OrderIsIfd0ThenItsChainThenTheExifDirectory) {
  for (bool intel : {true, false}) {
    TiffBuilder b(intel);
    // The Exif directory lies before IFD1; its own link, to a stray directory, is not followed.
    const int ifd0 = b.AddDirectory(), exif = b.AddDirectory(), ifd1 = b.AddDirectory(),
              stray = b.AddDirectory();
    b.AddRational(ifd0, 282, 72, 1);
    b.AddExifPointer(ifd0, exif);
    for (uint16_t i = 0; i < 8; ++i)
      b.AddShort(ifd0, 0xC000 + i, i);
    b.AddShort(ifd1, 259, 6);
    b.AddRational(ifd1, 282, 180, 1);
    for (uint16_t i = 0; i < 20; ++i)
      b.AddShort(exif, 0x9000 + i, i);
    b.AddShort(stray, 0x0999, 9);
    b.Link(ifd0, ifd1);
    b.Link(exif, stray);
    ExifReader reader;
    ASSERT_EQ(Walk(reader, b.Build()), 0);
    const std::vector<int32_t> ids = TagIds(reader);
    ASSERT_EQ(ids.size(), 32u);
    EXPECT_EQ(std::vector(ids.begin() + 9, ids.begin() + 13),
              (std::vector<int32_t>{0xC007, 259, 282, 0x9000}));
    EXPECT_EQ(reader.Tag(0), Variant(32));
    EXPECT_EQ(reader.Tag(282), Variant("72/1"));  // the first in walk order
    EXPECT_EQ(reader.Tag(259), Variant(6));
    EXPECT_TRUE(reader.Tag(305).IsEmpty());
    EXPECT_TRUE(reader.MakerNoteTag(37500).IsEmpty());
  }
}

TEST(ExifWalk, CyclesEndTheWalkWithoutError) {
  // Links of IFD0 and IFD1 (-1: none), the directory the Exif pointer names, the tags walked.
  const struct {
    int link0, link1, pointer;
    std::vector<int32_t> tags;
  } cases[] = {{1, 0, 2, {1, 0x8769, 2}},    // IFD1 back to IFD0
               {0, -1, 2, {1, 0x8769}},      // IFD0 to itself
               {1, -1, 0, {1, 0x8769, 2}},   // the Exif pointer back to IFD0
               {1, -1, 1, {1, 0x8769, 2}}};  // ... or to IFD1
  for (const auto& c : cases) {
    TiffBuilder b(false);
    const int ifd0 = b.AddDirectory(), ifd1 = b.AddDirectory(), exif = b.AddDirectory();
    b.AddShort(ifd0, 1, 1);
    b.AddExifPointer(ifd0, c.pointer);
    b.AddShort(ifd1, 2, 2);
    b.AddShort(exif, 3, 3);
    if (c.link0 >= 0) b.Link(ifd0, c.link0);
    if (c.link1 >= 0) b.Link(ifd1, c.link1);
    ExifReader reader;
    EXPECT_EQ(Walk(reader, b.Build()), 0);
    EXPECT_EQ(TagIds(reader), c.tags);
  }
}

TEST(ExifReader, FindsTheBlockOnlyInJpegFiles) {
  for (bool withApp0 : {false, true}) {
    const std::string file = ExifJpeg(SmallTiff(false), withApp0);
    ExifReader reader;
    reader.LoadBytes(file.data(), file.size());
    EXPECT_EQ(reader.App1Pos(), withApp0 ? 20 : 2);
    EXPECT_EQ(reader.Tag(33434), Variant("1/60"));
  }
  const std::string app1 = test::App1Segment(SmallTiff(true));
  const std::string noBlock[] = {"\xFF\xD8"s + test::App1Segment(SmallTiff(true), "EXIF\0\0"s),
                                 "\xFF\xD8"s + test::App1Segment(SmallTiff(true), "exif\0\0"s),
                                 "\xFF\xD9"s + app1, "\x00\xD8"s + app1, test::MakeBmp(4, 4)};
  for (const std::string& file : noBlock) {
    ExifReader reader;
    EXPECT_EQ(ErrorNumberOf([&] { reader.LoadBytes(file.data(), file.size()); }), 0);
    EXPECT_FALSE(reader.IsLoaded());
    EXPECT_FALSE(reader.HasTagStore());
  }
  // An IFD0 offset of 2^31 overflows before the walk.
  std::string tiff = SmallTiff(true);
  tiff.replace(4, 4, "\0\0\0\x80"s);
  ExifReader reader;
  EXPECT_EQ(Walk(reader, tiff), kErrOverflow);
  EXPECT_FALSE(reader.IsLoaded());
}

TEST(ExifReader, FilesMissingWithoutExifAndChanged) {
  test::TempDir dir;
  const std::string missing = dir.File("missing.jpg");
  ExifReader none;
  none.picFile(missing);
  EXPECT_EQ(ErrorNumberOf([&] { none.Load(""); }), kErrFileNotFound);
  EXPECT_EQ(ErrorNumberOf([&] { none.Tag(271); }), kErrFileNotFound);
  EXPECT_FALSE(test::FileExists(missing));

  // A file without EXIF is read again by a lookup only when it has changed, even in place.
  const std::string path = dir.File("p.jpg"), withExif = ExifJpeg(SmallTiff(true));
  std::string noExif = withExif;
  noExif[9] = 'x';  // "Exix"
  test::WriteBytes(path, noExif);
  ExifReader reader;
  reader.Load(path);
  EXPECT_FALSE(reader.IsLoaded());
  EXPECT_TRUE(reader.Tag(0).IsEmpty());
  EXPECT_EQ(ErrorNumberOf([&] { reader.Tag(271); }), kErrSubscriptOutOfRange);
  EXPECT_EQ(ErrorNumberOf([&] { reader.Tag(271); }), kErrSubscriptOutOfRange);
  EXPECT_EQ(reader.FileReadCount(), 1);
  struct stat before {};
  ASSERT_EQ(::stat(path.c_str(), &before), 0);
  test::WriteBytes(path, withExif);
  const timespec times[2] = {before.st_atim, {before.st_mtim.tv_sec + 5, before.st_mtim.tv_nsec}};
  ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
  EXPECT_EQ(reader.Tag(271), Variant("Foto"));
  EXPECT_EQ(reader.FileReadCount(), 2);
}

TEST(ExifReader, BoundsOnRecordsTextAndDirectories) {
  // 65535 + 2 records.
  TiffBuilder records(true);
  const int ifd0 = records.AddDirectory(), ifd1 = records.AddDirectory();
  records.Link(ifd0, ifd1);
  for (uint32_t i = 0; i < 65535; ++i)
    records.AddShort(ifd0, 0x0100, 7);
  records.AddShort(ifd1, 0x0200, 7);
  records.AddShort(ifd1, 0x0201, 7);
  ExifReader many;
  EXPECT_EQ(Walk(many, records.Build()), kErrOutOfMemory);
  EXPECT_EQ(many.Tag(0), Variant(65535));  // the directory that does not fit is not taken

  // 33 entries that share one value of 1 MB of text: 33 MB.
  TiffBuilder text(false);
  const int d = text.AddDirectory();
  text.Add(d, 0x1000, test::kUndefined, (1 << 20) + 1, std::string((1 << 20) + 1, 'a'));
  for (uint16_t i = 1; i < 33; ++i)
    text.AddRaw(d, 0x1000 + i, test::kUndefined, (1 << 20) + 1, 8 + 2 + 33 * 12 + 4);
  ExifReader large;
  EXPECT_EQ(Walk(large, text.Build()), kErrOutOfMemory);
  EXPECT_EQ(large.Tag(0x1001).ToText().size(), 1u << 20);  // the records before are kept

  // IFD0 and a chain of 65536 empty directories.
  TiffBuilder chain(true);
  chain.AddShort(chain.AddDirectory(), 271, 5);
  for (int i = 1; i <= 65536; ++i)
    chain.Link(i - 1, chain.AddDirectory());
  ExifReader deep;
  EXPECT_EQ(Walk(deep, chain.Build()), kErrOutOfMemory);
  EXPECT_EQ(deep.Tag(271), Variant(5));

  // A camera file, with a maker note far larger than cameras write, loaded twenty times over.
  const std::string camera = test::CameraExif(true, test::MakeJpeg(160, 120), 400 << 10);
  ExifReader reader;
  ASSERT_EQ(Walk(reader, camera), 0);
  const int32_t perFile = reader.Tag(0).ToInt32();
  for (int i = 2; i <= 20; ++i)
    ASSERT_EQ(Walk(reader, camera), 0) << i;
  EXPECT_EQ(reader.Tag(0), Variant(20 * perFile));
  EXPECT_EQ(reader.Tag(0x0110), Variant("F-20 Zoom"));
}

TEST(ExifReader, TextIsShownAsUtf8WhereValidElseLatin1) {
  const std::pair<std::string, std::string> cases[] = {
      {"Caf\xC3\xA9 \xE2\x82\xAC", "Caf\xC3\xA9 \xE2\x82\xAC"},  // valid UTF-8 stays
      {"Caf\xE9", "Caf\xC3\xA9"},
      {"\xE9\xC3\xA9\x80", "\xC3\xA9\xC3\xA9\xC2\x80"},
      {"\xC0\x80", "\xC3\x80\xC2\x80"},              // overlong
      {"\xED\xA0\x80", "\xC3\xAD\xC2\xA0\xC2\x80"},  // a surrogate
      {"ab\xE2\x82", "ab\xC3\xA2\xC2\x82"},          // cut short
  };
  for (const auto& [bytes, shown] : cases)
    EXPECT_EQ(TextBytesToUtf8(bytes), shown) << bytes;
}

}  // namespace
}  // namespace snapwick
