// The bounds on what one reader takes from a file: records, decoded text and walked directories.
// Hostile files end the walk with error 7 and keep what was decoded; camera files never come near.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "metadata/ExifReader.h"
#include "platform/Error.h"
#include "support/ExifBuilder.h"
#include "support/Fixtures.h"

namespace snapwick {
namespace {

using test::ExifJpeg;
using test::TiffBuilder;

// Loads an EXIF JPEG made of the TIFF bytes; the error number, or 0.
int32_t LoadTiff(ExifReader& reader, const std::string& tiff) {
  const std::string file = ExifJpeg(tiff);
  try {
    reader.LoadBytes(file.data(), file.size());
  } catch (const SnapError& e) {
    return e.Number();
  }
  return 0;
}

// TIFF bytes whose raw entries point at blobs: `make` adds the same blobs and entries twice, first
// to lay the blobs out, then with `offsetOf` giving their offsets.
using BlobMaker = std::function<void(TiffBuilder& b, const std::function<uint32_t(int)>& offsetOf)>;
std::string PointingAtBlobs(bool intel, const BlobMaker& make) {
  TiffBuilder draft(intel);
  make(draft, [](int) { return 0u; });
  TiffBuilder b(intel);
  make(b, [&](int blob) { return draft.BlobOffset(blob); });
  return b.Build();
}

std::string Letters(size_t size) {
  std::string text(size, '\0');
  for (size_t i = 0; i < size; ++i)
    text[i] = static_cast<char>('a' + i % 26);
  return text;
}

// IFD0 with `entries` UNDEFINED entries that all point at one value of `textBytes` + 1 bytes, so
// that each decodes to a text of `textBytes` bytes.
std::string SharedValueTiff(bool intel, uint32_t entries, uint32_t textBytes) {
  return PointingAtBlobs(intel, [&](TiffBuilder& b, const auto& offsetOf) {
    const int ifd0 = b.AddDirectory();
    const int value = b.AddBlob(Letters(textBytes + 1));
    for (uint32_t i = 0; i < entries; ++i) {
      b.AddRaw(ifd0, static_cast<uint16_t>(0x1000 + i), test::kUndefined, textBytes + 1,
               offsetOf(value));
    }
  });
}

TEST(ExifLimits, EntriesSharingOneLargeValueStopAtTheTextBound) {
  constexpr uint32_t kValueText = 1u << 20;
  constexpr auto kFit = static_cast<uint32_t>(kMaxTagTextBytes / kValueText);
  {
    ExifReader reader;
    EXPECT_EQ(LoadTiff(reader, SharedValueTiff(true, kFit, kValueText)), 0);
    ASSERT_EQ(reader.Records().size(), kFit);
    EXPECT_EQ(reader.Records().back().TagValue, Variant(Letters(kValueText)));
  }
  ExifReader reader;
  EXPECT_EQ(LoadTiff(reader, SharedValueTiff(false, kFit + 1, kValueText)), kErrOutOfMemory);
  const std::vector<TagRecord>& records = reader.Records();
  ASSERT_EQ(records.size(), kFit + 1);
  EXPECT_EQ(records[kFit - 1].TagValue.Text().size(), kValueText);
  // The entry that went beyond keeps the fields read before its value, as in any failed walk.
  EXPECT_EQ(records[kFit].TagId, static_cast<int32_t>(0x1000 + kFit));
  EXPECT_NE(records[kFit].ValueOffset, 0);
  EXPECT_TRUE(records[kFit].TagValue.IsEmpty());
  EXPECT_EQ(reader.Tag(0x1000), records[0].TagValue);
  // The bound is the reader's: a second load of even a small block goes beyond it.
  TiffBuilder small(true);
  small.AddAscii(small.AddDirectory(), 271, "Foto");
  EXPECT_EQ(LoadTiff(reader, small.Build()), kErrOutOfMemory);
}

TEST(ExifLimits, ByteListsCountTheirDecimalText) {
  // The bytes 0 to 199 give 10 + 180 + 300 = 490 digits; texts of 1 MB fill the rest exactly.
  constexpr uint32_t kChunk = 1u << 20;
  constexpr auto kFill = static_cast<uint32_t>((kMaxTagTextBytes - 490) / kChunk);
  constexpr auto kRest = static_cast<uint32_t>((kMaxTagTextBytes - 490) % kChunk);
  static_assert(kRest > 4, "the rest is a text stored outside its entry");
  std::string bytes(200, '\0');
  for (size_t i = 0; i < bytes.size(); ++i)
    bytes[i] = static_cast<char>(i);
  const auto tiff = [&](uint32_t listCount) {
    return PointingAtBlobs(true, [&](TiffBuilder& b, const auto& offsetOf) {
      const int d = b.AddDirectory();
      const int chunk = b.AddBlob(Letters(kChunk + 1));
      const int rest = b.AddBlob(Letters(kRest + 1));
      const int list = b.AddBlob(bytes);
      for (uint32_t i = 0; i < kFill; ++i)
        b.AddRaw(d, 0x2000, test::kUndefined, kChunk + 1, offsetOf(chunk));
      b.AddRaw(d, 0x2001, test::kUndefined, kRest + 1, offsetOf(rest));
      b.AddRaw(d, 0x2002, test::kByte, listCount, offsetOf(list));
    });
  };
  ExifReader fits;
  EXPECT_EQ(LoadTiff(fits, tiff(200)), 0);
  EXPECT_EQ(fits.Tag(0x2002).Text().size(), 490u);
  ExifReader beyond;
  EXPECT_EQ(LoadTiff(beyond, tiff(201)), kErrOutOfMemory);  // one byte more, one digit or more
  EXPECT_EQ(beyond.Tag(0x2001).Text().size(), kRest);
  EXPECT_TRUE(beyond.Tag(0x2002).IsEmpty());
}

TEST(ExifLimits, StoreStopsGrowingAtTheRecordBound) {
  for (const uint32_t second : {1u, 2u}) {
    TiffBuilder b(second == 1);
    const int ifd0 = b.AddDirectory();
    const int ifd1 = b.AddDirectory();
    b.Link(ifd0, ifd1);
    for (uint32_t i = 0; i < 65535; ++i)
      b.AddShort(ifd0, 0x0100, static_cast<uint16_t>(i));
    for (uint32_t i = 0; i < second; ++i)
      b.AddShort(ifd1, 0x0200, 7);
    ExifReader reader;
    const int32_t error = LoadTiff(reader, b.Build());
    if (65535 + second <= kMaxTagRecords) {
      EXPECT_EQ(error, 0);
      EXPECT_EQ(reader.Tag(0), Variant(static_cast<int32_t>(65535 + second)));
      EXPECT_EQ(reader.Tag(0x0200), Variant(7));
    } else {
      // The directory that does not fit is not taken at all.
      EXPECT_EQ(error, kErrOutOfMemory);
      EXPECT_EQ(reader.Tag(0), Variant(65535));
      EXPECT_TRUE(reader.Tag(0x0200).IsEmpty());
      EXPECT_EQ(reader.Records().back().TagValue, Variant(65534));
    }
  }
}

// Directories that overlap: directory k starts 12 k bytes after the first and shares all but one
// of its `n` entries with directory k - 1; each entry's tag doubles as the next link of the
// directory that ends in front of it. `total` entries give total - n + 1 directories of n
// records: with n = 5000 and total = 10000 a 120 KB file that would fill 25 million records.
std::string OverlappingDirectories(uint16_t n, uint32_t total) {
  const uint32_t first = 12;  // offset of the first entry
  std::string tiff = "II*";
  tiff.push_back('\0');
  const auto put16 = [&](uint32_t v) {
    tiff.push_back(static_cast<char>(v & 0xFF));
    tiff.push_back(static_cast<char>(v >> 8));
  };
  put16(first - 2);  // IFD0 at offset 10: its count is the two bytes in front of entry 0
  put16(0);
  put16(0);
  put16(n);
  for (uint32_t j = 0; j < total; ++j) {
    put16(j < n ? 0x0100 : first + 12 * (j - n + 1) - 2);  // tag: link of directory j - n
    put16(0);                                              // type 0: no value decoded
    put16(0);
    put16(0);  // count 0
    put16(0);
    put16(n);  // value field; its last two bytes are the count of the directory behind
  }
  put16(0);  // the last directory's link
  put16(0);
  return tiff;
}

TEST(ExifLimits, OverlappingDirectoriesEndAtTheRecordBound) {
  constexpr uint16_t kEntries = 5000;
  ExifReader reader;
  EXPECT_EQ(LoadTiff(reader, OverlappingDirectories(kEntries, 2 * kEntries)), kErrOutOfMemory);
  const size_t whole = kMaxTagRecords / kEntries * kEntries;
  const std::vector<TagRecord>& records = reader.Records();
  ASSERT_EQ(records.size(), whole);
  // The records are the entries of the directories walked: directory k holds entries k to
  // k + n - 1, the last of which carries the tag 10 + 12 k.
  const auto lastDirectory = static_cast<int32_t>(whole / kEntries - 1);
  EXPECT_EQ(records[whole - kEntries].TagId, 0x0100);
  EXPECT_EQ(records.back().TagId, 10 + 12 * lastDirectory);
}

TEST(ExifLimits, SmallOverlapsWalkThrough) {
  // The same structure below the bound: every directory is walked.
  ExifReader reader;
  EXPECT_EQ(LoadTiff(reader, OverlappingDirectories(100, 300)), 0);
  EXPECT_EQ(reader.Records().size(), 201u * 100u);
}

TEST(ExifLimits, LongChainsOfEmptyDirectoriesEndAtTheDirectoryBound) {
  for (const uint32_t empty : {static_cast<uint32_t>(kMaxWalkedDirectories - 1),
                               static_cast<uint32_t>(kMaxWalkedDirectories)}) {
    TiffBuilder b(false);
    const int ifd0 = b.AddDirectory();
    b.AddShort(ifd0, 271, 5);
    int previous = ifd0;
    for (uint32_t i = 0; i < empty; ++i) {
      const int d = b.AddDirectory();
      b.Link(previous, d);
      previous = d;
    }
    ExifReader reader;
    const int32_t error = LoadTiff(reader, b.Build());
    EXPECT_EQ(error, 1 + empty <= kMaxWalkedDirectories ? 0 : kErrOutOfMemory) << empty;
    EXPECT_EQ(reader.Tag(271), Variant(5));
  }
}

TEST(ExifLimits, CameraFilesStayFarBelowTheBounds) {
  test::CameraExifFacts facts;
  const std::string thumbnail = test::MakeJpeg(160, 120, test::PhotoLike);
  // A maker note of 400 KB, beyond what cameras write; the reader loads it twenty times over.
  const std::string tiff = test::CameraExif(true, thumbnail, 400 << 10, &facts);
  const int32_t perFile = facts.ifd0Entries + facts.ifd1Entries + facts.exifEntries;
  ExifReader reader;
  for (int i = 1; i <= 20; ++i) {
    ASSERT_EQ(LoadTiff(reader, tiff), 0) << i;
    EXPECT_EQ(reader.Tag(0), Variant(perFile * i));
  }
  EXPECT_EQ(reader.Tag(0x927C).Text().size(), (400u << 10) - 1);
  EXPECT_EQ(reader.Tag(0x0110), Variant("F-20 Zoom"));
}

}  // namespace
}  // namespace snapwick
