// The reader object: file reading, the search for the EXIF block, byte order, loading and the
// lookups of the tag store.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <functional>
#include <string>
#include <vector>

#include "metadata/ExifReader.h"
#include "platform/Error.h"
#include "support/ExifBuilder.h"
#include "support/Fixtures.h"
#include "support/TestEnvironment.h"

namespace snapwick {
namespace {

using test::ExifJpeg;
using test::TiffBuilder;

// A small sound EXIF block: IFD0 with Make, XResolution and the Exif pointer, IFD1 with
// Compression and its own XResolution, an Exif directory with the exposure time.
std::string SmallTiff(bool intel) {
  TiffBuilder b(intel);
  const int ifd0 = b.AddDirectory();
  const int ifd1 = b.AddDirectory();
  const int exif = b.AddDirectory();
  b.AddAscii(ifd0, 271, "Foto");
  b.AddRational(ifd0, 282, 72, 1);
  b.AddDirectoryPointer(ifd0, 0x8769, exif);
  b.AddShort(ifd1, 259, 6);
  b.AddRational(ifd1, 282, 180, 1);
  b.AddRational(exif, 33434, 1, 60);
  b.Link(ifd0, ifd1);
  return b.Build();
}

int32_t ErrorOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const SnapError& e) {
    return e.Number();
  }
  return 0;
}

class ExifReaderFileTest : public testing::Test {
 protected:
  std::string Write(const std::string& name, const std::string& bytes) {
    const std::string path = dir_.File(name);
    test::WriteBytes(path, bytes);
    return path;
  }
  test::TempDir dir_;
};

TEST_F(ExifReaderFileTest, NewReaderAndEmptyNamesDoNothing) {
  ExifReader reader;
  EXPECT_FALSE(reader.IsLoaded());
  EXPECT_FALSE(reader.HasTagStore());
  EXPECT_EQ(reader.App1Pos(), 0);
  EXPECT_EQ(reader.TiffBase(), 0);
  reader.Load("");
  EXPECT_EQ(reader.FileReadCount(), 0);
  EXPECT_TRUE(reader.Tag(271).IsEmpty());  // no name: no load, no error
  EXPECT_TRUE(reader.Tag(0).IsEmpty());
  EXPECT_TRUE(reader.MakerNoteTag(37500).IsEmpty());
  EXPECT_EQ(reader.FileReadCount(), 0);
}

TEST_F(ExifReaderFileTest, LoadReadsTheNameSetBeforeAndIgnoresItsArgument) {
  const std::string a = Write("a.jpg", ExifJpeg(SmallTiff(true)));
  const std::string b = Write("b.jpg", test::MakeBmp(4, 4));
  ExifReader reader;
  reader.picFile(a);
  reader.Load(b);
  EXPECT_TRUE(reader.IsLoaded());
  EXPECT_EQ(reader.PicFile(), a);
  EXPECT_EQ(reader.Tag(271), Variant("Foto"));
}

TEST_F(ExifReaderFileTest, App1IsFoundRightAfterTheStartOrBehindApp0) {
  for (bool withApp0 : {false, true}) {
    const std::string path = Write("p.jpg", ExifJpeg(SmallTiff(false), withApp0));
    ExifReader reader;
    reader.Load(path);
    EXPECT_TRUE(reader.IsLoaded());
    EXPECT_EQ(reader.App1Pos(), withApp0 ? 20 : 2);
    EXPECT_EQ(reader.TiffBase(), reader.App1Pos() + 10);
    EXPECT_EQ(reader.Tag(33434), Variant("1/60"));
  }
}

TEST_F(ExifReaderFileTest, FirstFfE1PairIsTakenWhereverItLies) {
  // An FF E1 pair inside the APP0 segment's data comes first; the block there is no "Exif".
  std::string app0 = test::App0Segment();
  app0[12] = '\xFF';
  app0[13] = '\xE1';
  const std::string file = "\xFF\xD8" + app0 + test::App1Segment(SmallTiff(true));
  ExifReader reader;
  reader.Load(Write("p.jpg", file));
  EXPECT_FALSE(reader.IsLoaded());
  EXPECT_EQ(reader.App1Pos(), 14);
}

TEST_F(ExifReaderFileTest, FilesThatAreNoJpegHaveNoExifBlock) {
  const std::string tiffBlock = test::App1Segment(SmallTiff(true));
  for (const std::string& start :
       {std::string("\xFF\xD9"), std::string("\x00\xD8", 2), std::string("BM")}) {
    ExifReader reader;
    EXPECT_NO_THROW(reader.Load(Write("p.bin", start + tiffBlock)));
    EXPECT_FALSE(reader.IsLoaded());
    EXPECT_FALSE(reader.HasTagStore());
  }
}

TEST_F(ExifReaderFileTest, ExifIdentifierIsCaseSensitive) {
  for (const char* id : {"EXIF", "exif", "Exif"}) {
    const std::string file = "\xFF\xD8" +
                             test::App1Segment(SmallTiff(true), std::string(id) + '\0' + '\0') +
                             test::TinyJpegBody();
    ExifReader reader;
    reader.Load(Write("p.jpg", file));
    EXPECT_EQ(reader.IsLoaded(), std::string(id) == "Exif") << id;
  }
}

TEST_F(ExifReaderFileTest, ByteOrderIsIntelOnlyFor0x49) {
  // The same Motorola-order structure, marked with different first bytes.
  for (uint8_t mark : {0x4D, 0x00, 0x4A, 0x69}) {
    TiffBuilder b(false);
    b.SetOrderByte(mark);
    const int d = b.AddDirectory();
    b.AddShort(d, 274, 6);
    ExifReader reader;
    reader.Load(Write("p.jpg", ExifJpeg(b.Build())));
    EXPECT_EQ(reader.Tag(274), Variant(6)) << int(mark);
  }
  TiffBuilder b(true);
  b.SetOrderByte(0x49);
  const int d = b.AddDirectory();
  b.AddShort(d, 274, 6);
  ExifReader reader;
  reader.Load(Write("p.jpg", ExifJpeg(b.Build())));
  EXPECT_EQ(reader.Tag(274), Variant(6));
}

TEST_F(ExifReaderFileTest, Ifd0OffsetOutOfRangeOverflowsBeforeTheWalk) {
  for (uint32_t offset : {0x80000000u, 0xFFFFFFF0u, 0x7FFFFFFAu}) {  // top bit; base + offset
    TiffBuilder b(true);
    const int d = b.AddDirectory();
    b.AddShort(d, 274, 6);
    b.SetIfd0Offset(offset);
    const std::string path = Write("p.jpg", ExifJpeg(b.Build()));
    ExifReader reader;
    EXPECT_EQ(ErrorOf([&] { reader.Load(path); }), kErrOverflow) << offset;
    EXPECT_FALSE(reader.IsLoaded());
    EXPECT_FALSE(reader.HasTagStore());
  }
}

TEST_F(ExifReaderFileTest, FilesTooShortForTheSearchAreOutOfRange) {
  const std::vector<std::string> files = {
      "",          // bytes 0 and 1 are both looked at
      "\xFF\xD8",  // no pair: "Exif" is looked for at 4 to 7
      std::string("\xFF\xD8\x00\x00\xFF\xE1\x00\x10"
                  "Ex",
                  10),  // byte p+7 beyond the end
      std::string("\xFF\xD8\xFF\xE1\x00\x10"
                  "Exif",
                  10),  // byte order beyond the end
  };
  for (size_t i = 0; i < files.size(); ++i) {
    ExifReader reader;
    EXPECT_EQ(ErrorOf([&] { reader.Load(Write("short.jpg", files[i])); }), kErrSubscriptOutOfRange)
        << i;
    EXPECT_FALSE(reader.IsLoaded());
  }
  ExifReader oneByte;
  EXPECT_NO_THROW(oneByte.Load(Write("one.jpg", "\xFF")));  // index 1 is the zero behind it
}

TEST_F(ExifReaderFileTest, MissingFileFailsWithoutCreatingOne) {
  const std::string path = dir_.File("missing.jpg");
  ExifReader reader;
  EXPECT_EQ(ErrorOf([&] { reader.Load(path); }), kErrFileNotFound);
  EXPECT_FALSE(test::FileExists(path));
  EXPECT_FALSE(reader.IsLoaded());
  // Tag tries again and fails the same way; MakerNoteTag does not load.
  EXPECT_EQ(ErrorOf([&] { reader.Tag(271); }), kErrFileNotFound);
  EXPECT_TRUE(reader.MakerNoteTag(271).IsEmpty());
  EXPECT_FALSE(test::FileExists(path));
}

TEST_F(ExifReaderFileTest, FolderIsAPathAccessError) {
  ExifReader reader;
  EXPECT_EQ(ErrorOf([&] { reader.Load(dir_.Path()); }), kErrPathFileAccess);
}

TEST_F(ExifReaderFileTest, BufferHoldsTheFileAndOneZeroByte) {
  const std::string file = ExifJpeg(SmallTiff(true));
  ExifReader reader;
  reader.Load(Write("p.jpg", file));
  EXPECT_EQ(reader.BufferLastIndex(), static_cast<int32_t>(file.size()));
}

TEST_F(ExifReaderFileTest, TagReturnsTheFirstMatchInWalkOrder) {
  for (bool intel : {true, false}) {
    ExifReader reader;
    reader.Load(Write("p.jpg", ExifJpeg(SmallTiff(intel))));
    EXPECT_EQ(reader.Tag(282), Variant("72/1"));  // IFD0's, not the thumbnail's 180/1
    EXPECT_EQ(reader.Tag(259), Variant(6));       // only in IFD1
    EXPECT_TRUE(reader.Tag(305).IsEmpty());       // absent
    EXPECT_EQ(reader.Tag(0), Variant(6));
    EXPECT_TRUE(reader.MakerNoteTag(37500).IsEmpty());
    EXPECT_TRUE(reader.MakerNoteTag(271).IsEmpty());  // the walk flags no maker-note records
  }
}

TEST_F(ExifReaderFileTest, TagZeroCountsTheRecordsOfEveryDirectory) {
  TiffBuilder b(true);
  const int ifd0 = b.AddDirectory();
  const int ifd1 = b.AddDirectory();
  const int exif = b.AddDirectory();
  b.Link(ifd0, ifd1);
  b.AddDirectoryPointer(ifd0, 0x8769, exif);
  for (int i = 0; i < 9; ++i)
    b.AddShort(ifd0, static_cast<uint16_t>(0x100 + i), 1);
  for (int i = 0; i < 2; ++i)
    b.AddShort(ifd1, static_cast<uint16_t>(0x200 + i), 1);
  for (int i = 0; i < 20; ++i)
    b.AddShort(exif, static_cast<uint16_t>(0x9000 + i), 1);
  ExifReader reader;
  reader.Load(Write("p.jpg", ExifJpeg(b.Build())));
  EXPECT_EQ(reader.Tag(0), Variant(32));
}

TEST_F(ExifReaderFileTest, SecondLoadAppendsAnotherSetOfRecords) {
  const std::string path = Write("p.jpg", ExifJpeg(SmallTiff(true)));
  ExifReader reader;
  reader.Load(path);
  // The file changes; a second Load reads it again but the first records keep answering.
  TiffBuilder b(true);
  const int ifd0 = b.AddDirectory();
  const int exif = b.AddDirectory();
  b.AddAscii(ifd0, 271, "Other");
  b.AddAscii(ifd0, 272, "M-100");
  b.AddDirectoryPointer(ifd0, 0x8769, exif);
  b.AddRational(exif, 33434, 1, 250);
  b.AddRational(exif, 37386, 58, 10);
  test::WriteBytes(path, ExifJpeg(b.Build()));
  reader.Load("ignored");
  EXPECT_EQ(reader.Tag(0), Variant(6 + 5));
  EXPECT_EQ(reader.Tag(271), Variant("Foto"));
  EXPECT_EQ(reader.Tag(33434), Variant("1/60"));
  EXPECT_EQ(reader.Tag(272), Variant("M-100"));
  EXPECT_EQ(reader.Tag(37386), Variant("58/10"));
  EXPECT_EQ(reader.FileReadCount(), 2);
}

TEST_F(ExifReaderFileTest, TagLoadsANamedReaderOnFirstUse) {
  const std::string path = Write("p.jpg", ExifJpeg(SmallTiff(false)));
  ExifReader reader;
  reader.picFile(path);
  EXPECT_TRUE(reader.MakerNoteTag(271).IsEmpty());  // no load
  EXPECT_FALSE(reader.IsLoaded());
  EXPECT_EQ(reader.Tag(271), Variant("Foto"));
  EXPECT_TRUE(reader.IsLoaded());
}

TEST_F(ExifReaderFileTest, FileWithoutExifIsLookedAtAgainOnEveryTag) {
  const std::string path = Write("p.bmp", test::MakeBmp(8, 8));
  ExifReader reader;
  reader.Load(path);
  EXPECT_FALSE(reader.IsLoaded());
  EXPECT_TRUE(reader.Tag(0).IsEmpty());
  EXPECT_EQ(ErrorOf([&] { reader.Tag(271); }), kErrSubscriptOutOfRange);
  EXPECT_EQ(ErrorOf([&] { reader.Tag(271); }), kErrSubscriptOutOfRange);
  // The same file is not read again while it stays unchanged...
  EXPECT_EQ(reader.FileReadCount(), 1);

  // ...but a change to it is seen by the next lookup.
  test::WriteBytes(path, ExifJpeg(SmallTiff(true)));
  EXPECT_EQ(reader.Tag(271), Variant("Foto"));
  EXPECT_EQ(reader.FileReadCount(), 2);
}

TEST_F(ExifReaderFileTest, NoExifFileChangedInPlaceOrRemovedIsNoticed) {
  const std::string path = Write("p.jpg", test::MakeJpeg(16, 16));
  ExifReader reader;
  reader.Load(path);
  EXPECT_FALSE(reader.IsLoaded());

  // Same size, new content and times: read again.
  const std::string same = test::ReadFile(path);
  struct stat before;
  ASSERT_EQ(::stat(path.c_str(), &before), 0);
  test::WriteBytes(path, same);
  timespec times[2] = {before.st_atim, before.st_mtim};
  times[1].tv_sec += 5;
  ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
  EXPECT_EQ(ErrorOf([&] { reader.Tag(271); }), kErrSubscriptOutOfRange);
  EXPECT_EQ(reader.FileReadCount(), 2);

  ASSERT_EQ(::unlink(path.c_str()), 0);
  EXPECT_EQ(ErrorOf([&] { reader.Tag(271); }), kErrFileNotFound);
}

TEST_F(ExifReaderFileTest, BrokenWalkKeepsItsRecordsForLookups) {
  TiffBuilder b(true);
  const int d = b.AddDirectory();
  b.AddAscii(d, 271, "Foto");
  b.AddLong(d, 0x9999, 0x80000000u);
  b.AddAscii(d, 272, "F-20");
  const std::string path = Write("p.jpg", ExifJpeg(b.Build()));
  ExifReader reader;
  EXPECT_EQ(ErrorOf([&] { reader.Load(path); }), kErrOverflow);
  EXPECT_TRUE(reader.IsLoaded());
  EXPECT_EQ(reader.Tag(271), Variant("Foto"));
  EXPECT_TRUE(reader.Tag(272).IsEmpty());
  EXPECT_EQ(reader.Tag(0), Variant(3));  // blanks included
  EXPECT_EQ(reader.FileReadCount(), 1);  // loaded: no further reads
}

TEST(ExifReaderBytes, WalksBytesInMemoryWithoutAName) {
  const std::string file = ExifJpeg(SmallTiff(true));
  ExifReader reader;
  reader.LoadBytes(file.data(), file.size());
  EXPECT_TRUE(reader.IsLoaded());
  EXPECT_EQ(reader.Tag(271), Variant("Foto"));
  EXPECT_EQ(reader.FileReadCount(), 0);

  const std::string bmp = test::MakeBmp(2, 2);
  ExifReader none;
  none.LoadBytes(bmp.data(), bmp.size());
  EXPECT_FALSE(none.IsLoaded());
  EXPECT_TRUE(none.Tag(271).IsEmpty());  // no name, so nothing to load again
}

}  // namespace
}  // namespace snapwick
