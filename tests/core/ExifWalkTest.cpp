// Decoding of directory entries and the order and end of the directory walk.
#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "metadata/ExifReader.h"
#include "platform/Error.h"
#include "support/ExifBuilder.h"

namespace snapwick {
namespace {

using test::ExifJpeg;
using test::TiffBuilder;

// What a reader holds after walking an EXIF JPEG made of the given TIFF bytes.
struct WalkResult {
  std::optional<int32_t> error;
  bool loaded = false;
  bool hasStore = false;
  std::vector<TagRecord> records;
  int32_t exifIfdOffset = 0;

  // Value of the first record with this tag, or nullopt when there is none.
  std::optional<Variant> Value(int32_t tag) const {
    for (const TagRecord& r : records) {
      if (r.TagId == tag) return r.TagValue;
    }
    return std::nullopt;
  }
  std::vector<int32_t> TagIds() const {
    std::vector<int32_t> ids;
    for (const TagRecord& r : records)
      ids.push_back(r.TagId);
    return ids;
  }
};

WalkResult Walk(const std::string& tiff, const std::string& body = test::TinyJpegBody()) {
  const std::string file = ExifJpeg(tiff, false, body);
  ExifReader reader;
  WalkResult result;
  try {
    reader.LoadBytes(file.data(), file.size());
  } catch (const SnapError& e) {
    result.error = e.Number();
  }
  result.loaded = reader.IsLoaded();
  result.hasStore = reader.HasTagStore();
  result.records = reader.Records();
  result.exifIfdOffset = reader.ExifIfdOffset();
  return result;
}

// The value of a single entry added by `add` to IFD0 of a file in the given byte order.
template <typename AddEntry>
WalkResult WalkOne(bool intel, AddEntry add) {
  TiffBuilder b(intel);
  const int ifd0 = b.AddDirectory();
  add(b, ifd0);
  return Walk(b.Build());
}

class ByteOrderTest : public testing::TestWithParam<bool> {
 protected:
  bool Intel() const { return GetParam(); }
};

INSTANTIATE_TEST_SUITE_P(BothOrders, ByteOrderTest, testing::Values(true, false),
                         [](const auto& info) { return info.param ? "Intel" : "Motorola"; });

TEST_P(ByteOrderTest, BytesInPlaceGiveEightHexDigitsMostSignificantFirst) {
  const WalkResult r = WalkOne(Intel(), [](TiffBuilder& b, int d) {
    b.Add(d, 1, test::kByte, 1, std::string("\x01", 1));
    b.Add(d, 2, test::kByte, 3, std::string("\x0A\xFF\x01", 3));
    b.Add(d, 3, test::kSByte, 0, std::string("\x05", 1));  // all four bytes, whatever the count
  });
  ASSERT_FALSE(r.error);
  EXPECT_EQ(r.Value(1), Variant(Intel() ? "00000001" : "01000000"));
  EXPECT_EQ(r.Value(2), Variant(Intel() ? "0001FF0A" : "0AFF0100"));
  EXPECT_EQ(r.Value(3), Variant(Intel() ? "00000005" : "05000000"));
  EXPECT_EQ(r.records[0].ValueOffset, 0);
}

TEST_P(ByteOrderTest, BytesAtAnOffsetGiveDecimalFormsWithoutSeparator) {
  TiffBuilder b(Intel());
  const int d = b.AddDirectory();
  b.Add(d, 1, test::kByte, 6, std::string("\x01\x02\x03\xFA\x00\x09", 6));
  b.Add(d, 2, test::kSByte, 5, std::string("\x80\x7F\x10\x00\x01", 5));
  const WalkResult r = Walk(b.Build());
  ASSERT_FALSE(r.error);
  EXPECT_EQ(r.Value(1), Variant("12325009"));
  EXPECT_EQ(r.Value(2), Variant("1281271601"));
  EXPECT_EQ(r.records[0].ValueOffset, static_cast<int32_t>(b.ValueOffset(d, 0)));
  EXPECT_EQ(r.records[0].ValueCount, 6);
  EXPECT_EQ(r.records[0].FieldType, 1);
}

TEST_P(ByteOrderTest, TextInPlaceIsFourCharactersMostSignificantFirst) {
  const WalkResult r = WalkOne(Intel(), [](TiffBuilder& b, int d) {
    b.Add(d, 1, test::kUndefined, 4, "0100");
    b.Add(d, 2, test::kAscii, 3, std::string("Hi\0", 3));
    b.Add(d, 3, test::kAscii, 1, std::string("\0", 1));
  });
  ASSERT_FALSE(r.error);
  EXPECT_EQ(r.Value(1), Variant(Intel() ? "0010" : "0100"));
  EXPECT_EQ(r.Value(2), Variant(Intel() ? std::string("\0\0iH", 4) : std::string("Hi\0\0", 4)));
  EXPECT_EQ(r.Value(3), Variant(std::string(4, '\0')));
}

TEST_P(ByteOrderTest, TextAtAnOffsetDropsItsLastByte) {
  TiffBuilder b(Intel());
  const int d = b.AddDirectory();
  b.AddAscii(d, 1, "Foto");
  b.Add(d, 2, test::kAscii, 6, "ABCDEF");  // no closing zero: F is dropped all the same
  b.Add(d, 3, test::kUndefined, 5, std::string("\xE9t\xE9\x00\x00", 5));
  const WalkResult r = Walk(b.Build());
  ASSERT_FALSE(r.error);
  EXPECT_EQ(r.Value(1), Variant("Foto"));
  EXPECT_EQ(r.Value(2), Variant("ABCDE"));
  EXPECT_EQ(r.Value(3), Variant(std::string("\xE9t\xE9\x00", 4)));  // bytes as they are
}

TEST_P(ByteOrderTest, ShortsInPlaceAreTheSumOfBothHalves) {
  const bool intel = Intel();
  const WalkResult r = WalkOne(intel, [](TiffBuilder& b, int d) {
    b.AddShort(d, 1, 6);
    b.Add(d, 2, test::kShort, 2, b.Shorts({2, 1}));
    b.Add(d, 3, test::kSShort, 1, b.Shorts({0xFFFB}));  // -5
    b.Add(d, 4, test::kShort, 2, b.Shorts({0xFFFF, 0xFFFF}));
    b.Add(d, 5, test::kShort, 0, b.Shorts({7, 8}));
  });
  ASSERT_FALSE(r.error);
  EXPECT_EQ(r.Value(1), Variant(6));
  EXPECT_EQ(r.Value(2), Variant(3));
  EXPECT_EQ(r.Value(3), Variant(65531));
  EXPECT_EQ(r.Value(4), Variant(131070));
  EXPECT_EQ(r.Value(5), Variant(15));
}

TEST_P(ByteOrderTest, ShortsAtAnOffsetGiveSingleBytesInByteOrderDirection) {
  TiffBuilder b(Intel());
  const int d = b.AddDirectory();
  b.Add(d, 1, test::kShort, 3, b.Shorts({8, 8, 8}));
  b.Add(d, 2, test::kSShort, 3, b.Shorts({0x0102, 0x0304, 0x0506}));
  const WalkResult r = Walk(b.Build());
  ASSERT_FALSE(r.error);
  // Only count bytes are taken: 08 00 08 in an Intel file; D+2, D+1, D = 00 08 00 in a Motorola
  // one.
  EXPECT_EQ(r.Value(1), Variant(Intel() ? "808" : "080"));
  // Intel bytes 02 01 04; Motorola bytes D+2, D+1, D of 01 02 03 = 3 2 1.
  EXPECT_EQ(r.Value(2), Variant(Intel() ? "214" : "321"));
}

TEST_P(ByteOrderTest, LongsInPlaceAreIntegersAndAtAnOffsetDecimalBytes) {
  TiffBuilder b(Intel());
  const int d = b.AddDirectory();
  b.AddLong(d, 1, 2147483647);
  b.Add(d, 2, test::kSLong, 1, b.U32(4000));
  b.Add(d, 3, test::kLong, 2, b.U32(0x0A0B0C0D) + b.U32(5));
  b.Add(d, 4, test::kLong, 0, b.U32(77));
  const WalkResult r = Walk(b.Build());
  ASSERT_FALSE(r.error);
  EXPECT_EQ(r.Value(1), Variant(2147483647));
  EXPECT_EQ(r.Value(2), Variant(4000));
  // count single bytes, not count 32-bit values
  EXPECT_EQ(r.Value(3), Variant(Intel() ? "1312" : "1011"));
  EXPECT_EQ(r.Value(4), Variant(77));
}

TEST_P(ByteOrderTest, RationalsGiveTheFirstFractionUnreduced) {
  TiffBuilder b(Intel());
  const int d = b.AddDirectory();
  b.AddRational(d, 1, 1, 60);
  b.AddRational(d, 2, 28, 10);
  b.AddAtOffset(d, 3, test::kRational, 2, b.Rational(5, 1) + b.Rational(7, 2));
  b.AddRational(d, 4, 0, 3, test::kSRational);
  b.AddAtOffset(d, 5, test::kRational, 0, b.Rational(9, 4));  // never in place, even count 0
  const WalkResult r = Walk(b.Build());
  ASSERT_FALSE(r.error);
  EXPECT_EQ(r.Value(1), Variant("1/60"));
  EXPECT_EQ(r.Value(2), Variant("28/10"));
  EXPECT_EQ(r.Value(3), Variant("5/1"));
  EXPECT_EQ(r.Value(4), Variant("0/3"));
  EXPECT_EQ(r.Value(5), Variant("9/4"));
  EXPECT_EQ(r.records[0].ValueOffset, static_cast<int32_t>(b.ValueOffset(d, 0)));
}

TEST_P(ByteOrderTest, UnknownTypesKeepAnEmptyValueAndTheWalkGoesOn) {
  const WalkResult r = WalkOne(Intel(), [](TiffBuilder& b, int d) {
    b.AddRaw(d, 1, 11, 1, 0x12345678);
    b.AddRaw(d, 2, 12, 9, 0x00000010);
    b.AddRaw(d, 3, 0, 1, 5);
    b.AddShort(d, 4, 9);
  });
  ASSERT_FALSE(r.error);
  ASSERT_EQ(r.records.size(), 4u);
  for (int i = 0; i < 3; ++i) {
    EXPECT_TRUE(r.records[i].TagValue.IsEmpty());
    EXPECT_EQ(r.records[i].ValueOffset, 0);
  }
  EXPECT_EQ(r.records[1].FieldType, 12);
  EXPECT_EQ(r.records[1].ValueCount, 9);
  EXPECT_EQ(r.Value(4), Variant(9));
}

TEST_P(ByteOrderTest, NegativeSignedRationalEndsTheWalkWithBlanksBehind) {
  TiffBuilder b(Intel());
  const int ifd0 = b.AddDirectory();
  const int ifd1 = b.AddDirectory();
  b.Link(ifd0, ifd1);
  b.AddShort(ifd0, 1, 1);
  b.AddRational(ifd0, 2, static_cast<uint32_t>(-2), 3, test::kSRational);
  b.AddShort(ifd0, 3, 3);
  b.AddShort(ifd0, 4, 4);
  b.AddShort(ifd1, 5, 5);
  const WalkResult r = Walk(b.Build());
  EXPECT_EQ(r.error, kErrOverflow);
  EXPECT_TRUE(r.loaded);
  ASSERT_EQ(r.records.size(), 4u);  // IFD0's four records, nothing of IFD1
  EXPECT_EQ(r.records[0].TagValue, Variant(1));
  EXPECT_EQ(r.records[1].TagId, 2);
  EXPECT_EQ(r.records[1].FieldType, 10);
  EXPECT_EQ(r.records[1].ValueCount, 1);
  EXPECT_EQ(r.records[1].ValueOffset, static_cast<int32_t>(b.ValueOffset(ifd0, 1)));
  EXPECT_TRUE(r.records[1].TagValue.IsEmpty());
  EXPECT_EQ(r.records[2], TagRecord{});
  EXPECT_EQ(r.records[3], TagRecord{});
}

TEST_P(ByteOrderTest, TopBitSetInAnyThirtyTwoBitReadOverflows) {
  // LONG value, SLONG value, rational denominator, count, value offset, next link.
  const std::vector<std::function<void(TiffBuilder&, int)>> cases = {
      [](TiffBuilder& b, int d) { b.AddLong(d, 9, 0x80000000u); },
      [](TiffBuilder& b, int d) { b.Add(d, 9, test::kSLong, 1, b.U32(0xFFFFFFFFu)); },
      [](TiffBuilder& b, int d) { b.AddRational(d, 9, 1, 0x90000000u); },
      [](TiffBuilder& b, int d) { b.AddRaw(d, 9, test::kShort, 0x80000001u, 0); },
      [](TiffBuilder& b, int d) { b.AddRaw(d, 9, test::kAscii, 8, 0xFF000000u); },
      [](TiffBuilder& b, int d) {
        b.AddShort(d, 9, 1);
        b.LinkRaw(d, 0x80000000u);
      },
  };
  for (size_t i = 0; i < cases.size(); ++i) {
    TiffBuilder b(Intel());
    const int d = b.AddDirectory();
    b.AddShort(d, 1, 1);
    cases[i](b, d);
    const WalkResult r = Walk(b.Build());
    EXPECT_EQ(r.error, kErrOverflow) << "case " << i;
    EXPECT_EQ(r.Value(1), Variant(1)) << "case " << i;
  }
}

TEST_P(ByteOrderTest, CountTimesElementSizeBeyondRangeOverflows) {
  for (uint16_t type : {test::kShort, test::kSShort, test::kLong, test::kSLong}) {
    TiffBuilder b(Intel());
    const int d = b.AddDirectory();
    b.AddRaw(d, 7, type, type == test::kShort || type == test::kSShort ? 0x40000000u : 0x20000000u,
             0);
    const WalkResult r = Walk(b.Build());
    EXPECT_EQ(r.error, kErrOverflow) << "type " << type;
  }
}

TEST_P(ByteOrderTest, ValuesAndDirectoriesBeyondTheEndAreOutOfRange) {
  {
    TiffBuilder b(Intel());
    const int d = b.AddDirectory();
    b.AddAscii(d, 1, "Foto");
    b.AddRaw(d, 2, test::kAscii, 10, 0x00100000);  // value offset past the end
    b.AddShort(d, 3, 3);
    const WalkResult r = Walk(b.Build());
    EXPECT_EQ(r.error, kErrSubscriptOutOfRange);
    ASSERT_EQ(r.records.size(), 3u);
    EXPECT_EQ(r.records[0].TagValue, Variant("Foto"));
    EXPECT_EQ(r.records[1].ValueOffset, 0x00100000);
    EXPECT_TRUE(r.records[1].TagValue.IsEmpty());
    EXPECT_EQ(r.records[2], TagRecord{});
  }
  {
    // A count that runs the byte list past the end of the file.
    TiffBuilder b(Intel());
    const int d = b.AddDirectory();
    b.AddAtOffset(d, 1, test::kByte, 5000, "\x01\x02\x03\x04\x05\x06");
    EXPECT_EQ(Walk(b.Build()).error, kErrSubscriptOutOfRange);
  }
  {
    // A next link past the end.
    TiffBuilder b(Intel());
    const int d = b.AddDirectory();
    b.AddShort(d, 1, 1);
    b.LinkRaw(d, 0x7000);
    const WalkResult r = Walk(b.Build());
    EXPECT_EQ(r.error, kErrSubscriptOutOfRange);
    EXPECT_EQ(r.records.size(), 1u);
  }
  {
    // A directory whose entries run past the end: the store was already grown for all of them.
    TiffBuilder b(Intel());
    const int d = b.AddDirectory();
    b.AddShort(d, 1, 1);
    std::string tiff = b.Build();
    tiff.replace(b.DirectoryOffset(d), 2, b.U16(300));
    const WalkResult r = Walk(tiff, "");
    EXPECT_EQ(r.error, kErrSubscriptOutOfRange);
    EXPECT_EQ(r.records.size(), 300u);
  }
}

TEST_P(ByteOrderTest, ValueEndingOnTheLastIndexReadsTheZeroBehindTheFile) {
  TiffBuilder b(Intel());
  const int d = b.AddDirectory();
  b.AddAtOffset(d, 1, test::kByte, 6, "\x01\x02\x03\x04\x05\x07");
  std::string file = ExifJpeg(b.Build(), false, "");
  file.pop_back();  // the last value byte now lies at index L, which holds no file byte
  ExifReader reader;
  reader.LoadBytes(file.data(), file.size());
  EXPECT_EQ(reader.Tag(1), Variant("123450"));
  file.pop_back();
  ExifReader shorter;
  EXPECT_THROW(shorter.LoadBytes(file.data(), file.size()), SnapError);
}

TEST_P(ByteOrderTest, WalkOrderIsIfd0ThenItsChainThenTheExifDirectory) {
  TiffBuilder b(Intel());
  const int ifd0 = b.AddDirectory();
  const int exif = b.AddDirectory();  // laid out before IFD1 on purpose
  const int ifd1 = b.AddDirectory();
  const int ifd2 = b.AddDirectory();
  const int stray = b.AddDirectory();
  b.AddShort(ifd0, 0x0112, 1);
  b.AddDirectoryPointer(ifd0, 0x8769, exif);
  b.AddShort(ifd0, 0x0128, 2);
  b.AddShort(ifd1, 0x0103, 6);
  b.AddShort(ifd2, 0x0104, 7);
  b.AddShort(exif, 0x8827, 100);
  b.AddShort(exif, 0x9209, 16);
  b.AddShort(stray, 0x0999, 9);
  b.Link(ifd0, ifd1);
  b.Link(ifd1, ifd2);
  b.Link(exif, stray);  // the Exif directory's link is never followed
  b.Link(stray, ifd0);
  const WalkResult r = Walk(b.Build());
  ASSERT_FALSE(r.error);
  EXPECT_EQ(r.TagIds(),
            (std::vector<int32_t>{0x0112, 0x8769, 0x0128, 0x0103, 0x0104, 0x8827, 0x9209}));
  EXPECT_EQ(r.exifIfdOffset, static_cast<int32_t>(b.DirectoryOffset(exif)));
  EXPECT_EQ(r.Value(0x8769), Variant(static_cast<int32_t>(b.DirectoryOffset(exif))));
}

TEST_P(ByteOrderTest, WithoutExifPointerTheWalkEndsAfterTheChain) {
  TiffBuilder b(Intel());
  const int ifd0 = b.AddDirectory();
  const int ifd1 = b.AddDirectory();
  const int other = b.AddDirectory();
  b.AddShort(ifd0, 1, 1);
  b.AddShort(ifd1, 2, 2);
  b.AddShort(other, 3, 3);
  // GPS and interoperability pointers are plain values; their directories are not walked.
  b.AddLong(ifd0, 0x8825, 0);
  b.AddLong(ifd0, 0xA005, 0);
  b.Link(ifd0, ifd1);
  std::string tiff = b.Build();
  const uint32_t other_at = b.DirectoryOffset(other);
  tiff.replace(b.DirectoryOffset(ifd0) + 2 + 12 + 8, 4, b.U32(other_at));
  tiff.replace(b.DirectoryOffset(ifd0) + 2 + 24 + 8, 4, b.U32(other_at));
  const WalkResult r = Walk(tiff);
  ASSERT_FALSE(r.error);
  EXPECT_EQ(r.TagIds(), (std::vector<int32_t>{1, 0x8825, 0xA005, 2}));
  EXPECT_EQ(r.Value(0x8825), Variant(static_cast<int32_t>(other_at)));
}

TEST_P(ByteOrderTest, LaterExifPointerOverwritesAnEarlierOne) {
  TiffBuilder b(Intel());
  const int ifd0 = b.AddDirectory();
  const int ifd1 = b.AddDirectory();
  const int first = b.AddDirectory();
  const int second = b.AddDirectory();
  b.AddDirectoryPointer(ifd0, 0x8769, first);
  b.AddDirectoryPointer(ifd1, 0x8769, second);
  b.AddShort(first, 0x1111, 1);
  b.AddShort(second, 0x2222, 2);
  b.Link(ifd0, ifd1);
  const WalkResult r = Walk(b.Build());
  ASSERT_FALSE(r.error);
  EXPECT_EQ(r.TagIds(), (std::vector<int32_t>{0x8769, 0x8769, 0x2222}));
}

TEST_P(ByteOrderTest, ExifPointerThatIsNoNumberIsATypeMismatch) {
  TiffBuilder b(Intel());
  const int d = b.AddDirectory();
  b.AddShort(d, 1, 1);
  b.Add(d, 0x8769, test::kAscii, 4, "ABCD");
  b.AddShort(d, 3, 3);
  const WalkResult r = Walk(b.Build());
  EXPECT_EQ(r.error, kErrTypeMismatch);
  ASSERT_EQ(r.records.size(), 3u);
  EXPECT_EQ(r.records[1].TagValue, Variant(Intel() ? "DCBA" : "ABCD"));
  EXPECT_EQ(r.records[2], TagRecord{});
}

TEST_P(ByteOrderTest, ExifPointerGivenAsDigitsIsTakenAsTheirNumber) {
  // A pointer of bytes at an offset gives decimal digits, which convert like any numeric text.
  TiffBuilder b(Intel());
  const int ifd0 = b.AddDirectory();
  const int exif = b.AddDirectory();
  b.AddShort(ifd0, 1, 1);
  b.AddAtOffset(ifd0, 0x8769, test::kByte, 5, std::string(5, '\0'));
  b.AddShort(exif, 0x9209, 16);
  std::string tiff = b.Build();
  const uint32_t exif_at = b.DirectoryOffset(exif);
  ASSERT_LT(exif_at, 256u);
  tiff[b.ValueOffset(ifd0, 1) + 4] = static_cast<char>(exif_at);  // bytes 0 0 0 0 n: "0000n"
  const WalkResult r = Walk(tiff);
  ASSERT_FALSE(r.error);
  EXPECT_EQ(r.Value(0x8769), Variant("0000" + std::to_string(exif_at)));
  EXPECT_EQ(r.exifIfdOffset, static_cast<int32_t>(exif_at));
  EXPECT_EQ(r.Value(0x9209), Variant(16));
}

TEST_P(ByteOrderTest, LinkBackToAWalkedDirectoryEndsTheWalkKeepingTheRecords) {
  TiffBuilder b(Intel());
  const int ifd0 = b.AddDirectory();
  const int ifd1 = b.AddDirectory();
  const int exif = b.AddDirectory();
  b.AddShort(ifd0, 1, 1);
  b.AddDirectoryPointer(ifd0, 0x8769, exif);
  b.AddShort(ifd1, 2, 2);
  b.AddShort(exif, 3, 3);
  b.Link(ifd0, ifd1);
  b.Link(ifd1, ifd0);
  const WalkResult r = Walk(b.Build());
  EXPECT_FALSE(r.error);
  EXPECT_TRUE(r.loaded);
  EXPECT_EQ(r.TagIds(), (std::vector<int32_t>{1, 0x8769, 2}));
}

TEST_P(ByteOrderTest, DirectoryLinkedToItselfIsWalkedOnce) {
  TiffBuilder b(Intel());
  const int ifd0 = b.AddDirectory();
  b.AddShort(ifd0, 1, 1);
  b.Link(ifd0, ifd0);
  const WalkResult r = Walk(b.Build());
  EXPECT_FALSE(r.error);
  EXPECT_EQ(r.TagIds(), (std::vector<int32_t>{1}));
}

TEST_P(ByteOrderTest, ExifPointerBackToAWalkedDirectoryEndsTheWalk) {
  for (int target : {0, 1}) {  // IFD0 itself, or IFD1 of its chain
    TiffBuilder b(Intel());
    const int ifd0 = b.AddDirectory();
    const int ifd1 = b.AddDirectory();
    b.AddShort(ifd0, 1, 1);
    b.AddDirectoryPointer(ifd0, 0x8769, target);
    b.AddShort(ifd1, 2, 2);
    b.Link(ifd0, ifd1);
    const WalkResult r = Walk(b.Build());
    EXPECT_FALSE(r.error) << target;
    EXPECT_EQ(r.TagIds(), (std::vector<int32_t>{1, 0x8769, 2})) << target;
  }
}

TEST_P(ByteOrderTest, MakerNoteIsAPlainUndefinedText) {
  TiffBuilder b(Intel());
  const int d = b.AddDirectory();
  std::string note(3000, '\0');
  for (size_t i = 0; i < note.size(); ++i)
    note[i] = static_cast<char>(i * 7);
  b.AddAtOffset(d, 0x927C, test::kUndefined, static_cast<uint32_t>(note.size()), note);
  const WalkResult r = Walk(b.Build());
  ASSERT_FALSE(r.error);
  EXPECT_EQ(r.Value(0x927C), Variant(note.substr(0, note.size() - 1)));
  EXPECT_FALSE(r.records[0].MakerNote);
}

TEST(ExifWalk, FirstDirectoryWithoutEntriesIsOutOfRangeAndLeavesNoStore) {
  TiffBuilder b(true);
  b.AddDirectory();
  const std::string file = ExifJpeg(b.Build());
  ExifReader reader;
  try {
    reader.LoadBytes(file.data(), file.size());
    FAIL() << "no error";
  } catch (const SnapError& e) {
    EXPECT_EQ(e.Number(), kErrSubscriptOutOfRange);
  }
  EXPECT_TRUE(reader.IsLoaded());
  EXPECT_FALSE(reader.HasTagStore());
  EXPECT_TRUE(reader.Tag(0).IsEmpty());
  EXPECT_THROW(reader.Tag(271), SnapError);
  EXPECT_THROW(reader.MakerNoteTag(271), SnapError);
}

TEST(ExifWalk, EmptyDirectoryLaterInTheWalkIsFine) {
  TiffBuilder b(false);
  const int ifd0 = b.AddDirectory();
  const int ifd1 = b.AddDirectory();
  b.AddShort(ifd0, 1, 1);
  b.Link(ifd0, ifd1);
  const WalkResult r = Walk(b.Build());
  EXPECT_FALSE(r.error);
  EXPECT_EQ(r.records.size(), 1u);
}

}  // namespace
}  // namespace snapwick
