// The EXIF reader (the search for the block, the directory walk, the tag store and its bounds),
// the picture string of the ticked picture-data items and the stored choice of items.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <ostream>
#include <ranges>

#include "base/Error.h"
#include "base/FileTimes.h"
#include "metadata/ExifReader.h"
#include "metadata/PictureDataItems.h"
#include "metadata/PictureString.h"
#include "metadata/TextBytes.h"
#include "support/ExifBuilder.h"
#include "support/Fixtures.h"
#include "support/TestEnvironment.h"

namespace snapwick {

// Values in test messages.
void PrintTo(const Variant& value, std::ostream* out) {
  *out << (value.IsEmpty() ? "Empty" : (value.IsText() ? "Text " : "Integer ")) << value.ToText();
}

namespace {

using namespace std::string_literals;
using namespace test;

// Walks an EXIF JPEG made of the TIFF bytes, from memory; the error number, or 0.
int32_t Walk(ExifReader& reader, const std::string& tiff) {
  const std::string file = ExifJpeg(tiff);
  return ErrorNumberOf([&] { reader.LoadBytes(file.data(), file.size()); });
}

std::vector<int32_t> TagIds(const ExifReader& reader) {
  const auto ids = reader.Records() | std::views::transform(&TagRecord::TagId);
  return {ids.begin(), ids.end()};
}

TEST(ExifWalk, DecodingTableInBothByteOrders) {
  // Type, count, value bytes, and the value decoded from an Intel and from a Motorola file.
  const std::tuple<uint16_t, int32_t, std::string, Variant, Variant> rows[] = {
      {kByte, 1, "\x01"s, "00000001", "01000000"},  // in place: the four bytes in hex
      {kByte, 6, "\x01\x02\x03\xFA\x00\x09"s, "12325009", "12325009"},
      {kAscii, 5, "Foto\0"s, "Foto", "Foto"},
      {kUndefined, 4, "0100"s, "0010", "0100"},
      {kSShort, 2, "\x02\0\xFF\xFF"s, 65537, 65537},     // the sum of both halves, unsigned
      {kShort, 3, "\x08\0\x08\0\x08\0"s, "808", "080"},  // count single bytes
      {kLong, 1, "\xFF\xFF\xFF\x7F"s, 2147483647, 2147483647},
      {kSLong, 2, "\x0D\x0C\x0B\x0A\x05\0\0\0"s, "1312", "1011"},
      // Only the first fraction, as it is stored.
      {kSRational, 2, "\x1C\0\0\0\x0A\0\0\0\x07\0\0\0\x02\0\0\0"s, "28/10", "28/10"},
      {11, 1, "\x78\x56\x34\x12"s, {}, {}},
  };
  constexpr size_t kElement[] = {1, 1, 1, 2, 4, 4, 1, 1, 2, 4, 4};  // a rational: two numbers
  for (bool intel : {true, false}) {
    for (const auto& [type, count, bytes, fromIntel, fromMotorola] : rows) {
      // A directory of one entry (tag 1); a Motorola file holds each element of the value reversed.
      std::string stored = bytes;
      const size_t element = type < std::size(kElement) ? kElement[type] : 1;
      for (size_t at = 0; !intel && at < stored.size(); at += element)
        std::reverse(stored.begin() + at, stored.begin() + at + element);
      TiffBuilder b(intel);
      b.Add(b.AddDirectory(), 1, type, count, stored);
      ExifReader reader;
      ASSERT_EQ(Walk(reader, b.Build()), 0);
      // A value of more than 4 bytes lies behind the header and the directory of one entry.
      const int32_t offset = bytes.size() > 4 && type <= 10 ? 8 + 2 + 12 + 4 : 0;
      const TagRecord& r = reader.Records().at(0);
      EXPECT_EQ(
          std::tuple(r.TagId, r.MakerNote, r.FieldType, r.ValueCount, r.ValueOffset, r.TagValue),
          std::tuple(1, false, type, count, offset, intel ? fromIntel : fromMotorola))
          << (intel ? "Intel" : "Motorola");
    }
  }
}

TEST(ExifWalk, ErrorsKeepTheRecordsBeforeThemAndBlanksBehind) {
  // A faulty entry in IFD0 (tag 0: none) or a faulty link (0: a sound one), and the error.
  const std::tuple<uint16_t, uint16_t, uint32_t, std::string, uint32_t, int32_t> cases[] = {
      {9, kLong, 1, "\0\0\0\x80"s, 0, kErrOverflow},
      {9, kLong, 1u << 29, ""s, 0, kErrOverflow},                 // count x 4
      {9, kByte, 5000, "\0\0\0\0"s, 0, kErrSubscriptOutOfRange},  // bytes running past it
      {0x8769, kAscii, 4, "ABCD"s, 0, kErrTypeMismatch},          // an Exif pointer, no number
      {0, 0, 0, ""s, 0x7000, kErrSubscriptOutOfRange},
      {0, 0, 0, ""s, 1u << 31, kErrOverflow},
  };
  for (const auto& [tag, type, count, bytes, link, error] : cases) {
    SCOPED_TRACE(testing::Message() << tag << " " << link);
    TiffBuilder b(true);
    const int ifd0 = b.AddDirectory(), ifd1 = b.AddDirectory();
    link ? b.LinkRaw(ifd0, link) : b.Link(ifd0, ifd1);
    b.AddShort(ifd0, 1, 1);
    if (tag != 0) b.Add(ifd0, tag, type, count, bytes);
    b.AddShort(ifd0, 3, 3);
    b.AddShort(ifd1, 5, 5);
    ExifReader reader;
    EXPECT_EQ(Walk(reader, b.Build()), error);
    // Nothing of IFD1; the failing entry keeps the fields read before the failure, and blank
    // records follow it.
    EXPECT_EQ(TagIds(reader), (tag ? std::vector<int32_t>{1, tag, 0} : std::vector{1, 3}));
  }
}

TEST(ExifWalk, OrderIsIfd0ThenItsChainThenTheExifDirectoryAndCyclesEndIt) {
  // Where IFD0, IFD1 and the Exif directory link to (-1: nowhere), where the Exif pointer
  // points, and the tags walked. The Exif directory (2) lies before IFD1 (1); its own link is
  // never followed.
  const std::tuple<int, int, int, int, std::vector<int32_t>> cases[] = {
      {1, -1, 3, 2, {282, 0x8769, 282, 0x9209}},
      {1, 0, -1, 2, {282, 0x8769, 282}},   // IFD1 back to IFD0
      {1, -1, -1, 0, {282, 0x8769, 282}},  // the Exif pointer back to IFD0
  };
  for (const auto& [link0, link1, linkExif, pointer, tags] : cases) {
    TiffBuilder b(false);
    for (int i = 0; i < 4; ++i)
      b.AddDirectory();
    b.AddRational(0, 282, 72, 1);
    b.AddExifPointer(0, pointer);
    b.AddRational(1, 282, 180, 1);
    b.AddShort(2, 0x9209, 16);
    b.AddShort(3, 0x0999, 9);
    for (const auto& [dir, target] : {std::pair{0, link0}, {1, link1}, {2, linkExif}})
      if (target >= 0) b.Link(dir, target);
    ExifReader reader;
    EXPECT_EQ(Walk(reader, b.Build()), 0);
    EXPECT_EQ(TagIds(reader), tags);
    // The first XResolution (282) in walk order; Software (305) is absent.
    EXPECT_EQ(std::pair(reader.Tag(282), reader.Tag(305)), std::pair(Variant("72/1"), Variant()));
  }
}

TEST(ExifReader, FindsTheBlockOnlyInJpegFiles) {
  const std::string tiff = CameraExif(false), app1 = App1Segment(tiff);
  // The file, the error, whether it is loaded, has a store, and where APP1 was found.
  const std::tuple<std::string, int32_t, bool, bool, int32_t> cases[] = {
      {ExifJpeg(tiff, true), 0, true, true, 20},  // behind APP0
      {"\xFF\xD8"s + App1Segment(tiff, "exif\0\0"s), 0, false, false, 2},
      {"\xFF\xD9"s + app1, 0, false, false, 0},
      // An IFD0 offset of 2^31 overflows before the walk.
      {ExifJpeg(tiff.substr(0, 4) + "\x80\0\0\0"s + tiff.substr(8)), kErrOverflow, false, false, 2},
      // A first directory without entries cannot size the store.
      {ExifJpeg("II*\0\x08\0\0\0\0\0\0\0\0\0"s), kErrSubscriptOutOfRange, true, false, 2},
  };
  for (const auto& [file, error, loaded, store, app1Pos] : cases) {
    ExifReader reader;
    EXPECT_EQ(ErrorNumberOf([&] { reader.LoadBytes(file.data(), file.size()); }), error);
    EXPECT_EQ(std::tuple(reader.IsLoaded(), reader.HasTagStore(), reader.App1Pos(),
                         store ? reader.Tag(33434) : reader.Tag(0)),
              std::tuple(loaded, store, app1Pos, store ? Variant("1/60") : Variant()));
  }
}

TEST(ExifReader, FilesMissingWithoutExifChangedAndLoadedTwice) {
  TempDir dir;
  ExifReader none;
  EXPECT_EQ(ErrorNumberOf([&] { none.Load(dir.File("missing.jpg")); }), kErrFileNotFound);
  EXPECT_EQ(ErrorNumberOf([&] { none.Tag(271); }), kErrFileNotFound);
  EXPECT_FALSE(std::filesystem::exists(dir.File("missing.jpg")));

  // A file without EXIF is read again by a lookup only when it has changed, even in place.
  const std::string path = dir.File("p.jpg"), withExif = ExifJpeg(CameraExif());
  WriteBytes(path, std::string(withExif).replace(9, 1, "x"));  // "Exix"
  ExifReader reader;
  reader.Load(path);
  EXPECT_EQ(ErrorNumberOf([&] { reader.Tag(271); }), kErrSubscriptOutOfRange);
  EXPECT_EQ(reader.FileReadCount(), 1);
  WriteBytes(path, withExif);
  ASSERT_TRUE(SetFileTimes(path, {1000000000, 0}, {1000000000, 0}));  // a time of its own
  EXPECT_EQ(reader.Tag(271), Variant("Foto"));
  EXPECT_EQ(reader.FileReadCount(), 2);
  reader.Load(path);  // a second load adds its records to the first
  EXPECT_EQ(std::pair(reader.Tag(0), reader.Tag(0x0110)),
            std::pair(Variant(18), Variant("F-20 Zoom")));
}

TEST(ExifReader, BoundsOnRecordsTextAndDirectories) {
  // 65535 + 2 records: the directory that does not fit is not taken, the first is kept.
  TiffBuilder records(true);
  records.AddDirectory();
  records.Link(0, records.AddDirectory());
  for (uint32_t i = 0; i < 65535 + 2; ++i)
    records.AddShort(i < 65535 ? 0 : 1, 0x0100, 7);
  // 33 entries that share one value, right behind the directory, of 1 MB of text: the records
  // before are kept.
  TiffBuilder text(false);
  text.Add(text.AddDirectory(), 0x1000, kUndefined, (1 << 20) + 1, std::string((1 << 20) + 1, 'a'));
  for (uint16_t i = 1; i < 33; ++i)
    text.Add(0, 0x1000 + i, kUndefined, (1 << 20) + 1, text.U32(8 + 2 + 33 * 12 + 4));
  // IFD0 and a chain of 65536 empty directories: IFD0 is kept.
  TiffBuilder chain(true);
  chain.AddShort(chain.AddDirectory(), 271, 5);
  for (int i = 1; i <= 65536; ++i)
    chain.Link(i - 1, chain.AddDirectory());
  // The block, a tag kept and its value.
  const std::tuple<std::string, int32_t, Variant> rows[] = {
      {records.Build(), 0, 65535},
      {text.Build(), 0x1001, std::string(1 << 20, 'a')},
      {chain.Build(), 271, 5}};
  for (const auto& [tiff, tag, value] : rows) {
    ExifReader reader;
    EXPECT_EQ(Walk(reader, tiff), kErrOutOfMemory) << tag;
    EXPECT_TRUE(reader.Tag(tag) == value) << tag;  // not printed: 1 MB of text
  }
}

TEST(ExifReader, TextIsShownAsUtf8WhereValidElseLatin1) {
  // Valid UTF-8 stays; single bytes, overlong forms and sequences cut short are read as Latin-1.
  EXPECT_EQ(TextBytesToUtf8("Caf\xC3\xA9 \xE2\x82\xAC \xE9 \xC0\x80 \xE2\x82"),
            "Caf\xC3\xA9 \xE2\x82\xAC \xC3\xA9 \xC3\x80\xC2\x80 \xC3\xA2\xC2\x82");
}

TEST(PictureString, TickedItemsInCatalogueOrderAsFarAsTheWalkGoes) {
  // ExposureTime before Make and Model, and a negative SRATIONAL that ends the walk before the
  // focal length.
  TiffBuilder b(true);
  b.AddRational(b.AddDirectory(), 33434, 1, 60);
  b.AddAscii(0, 271, "Foto");
  b.AddAscii(0, 272, "F-20");
  b.AddRational(0, 0x9204, -2u, 3, kSRational);
  b.AddRational(0, 37386, 58, 10);
  TempDir dir;
  const std::string path = dir.File("camera.jpg");
  WriteBytes(path, ExifJpeg(b.Build()));
  // The catalogue as check boxes: Make, Model (grey counts as unticked), ExposureTime and
  // FocalLength.
  std::vector<PictureDataItemState> items;
  for (const auto& entry : kPictureDataCatalogue)
    items.push_back({0, entry.caption, entry.tagId});
  for (const auto& [index, state] : {std::pair{1, 1}, {2, 2}, {6, 1}, {17, 1}})
    items.at(index).state = state;
  const PictureStringResult r = ComposePictureString(path, items);
  EXPECT_EQ(r.text, " Make : Foto ExposureTime : 1/60");
  EXPECT_EQ(r.listing, " Make \tFoto\r\n ExposureTime \t1/60\r\n");
  // No EXIF, no file, no name.
  WriteBytes(path, MakeJpeg(16, 16));
  for (const std::string& name : {path, dir.File("missing.jpg"), std::string()})
    EXPECT_EQ(ComposePictureString(name, items).listing, "") << name;
}

TEST(PicData, ThirtyTwoStatesOrNone) {
  const std::string text = "0,1,0,0,0,2,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,";
  // A 33rd field and more are not read.
  EXPECT_EQ(FormatPicData(ParsePicData(text + "1,x,7")), text + "1,");
  for (const std::string& broken : {text, text + "a,", text + "3,", text + "-1,", text + "1.5,"})
    EXPECT_EQ(ParsePicData(broken), PicDataFlags{}) << broken;
}

}  // namespace
}  // namespace snapwick
