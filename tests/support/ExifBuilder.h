#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "metadata/ExifReader.h"
#include "metadata/Variant.h"

namespace snapwick {
// Readable test messages for values and records.
void PrintTo(const Variant& value, std::ostream* out);
void PrintTo(const TagRecord& record, std::ostream* out);
}  // namespace snapwick

namespace snapwick::test {

// TIFF field types.
enum ExifType : uint16_t {
  kByte = 1,
  kAscii = 2,
  kShort = 3,
  kLong = 4,
  kRational = 5,
  kSByte = 6,
  kUndefined = 7,
  kSShort = 8,
  kSLong = 9,
  kSRational = 10,
};

// Builds the TIFF structure of an EXIF block in either byte order: a header, then each directory
// followed by the values it keeps outside its entries, then free blobs (a thumbnail, say).
// Offsets are laid out by Build; links, directory pointers and raw fields can be set to any value,
// so that broken files can be made as easily as sound ones.
class TiffBuilder {
 public:
  explicit TiffBuilder(bool intel) : intel_(intel) {}
  bool Intel() const { return intel_; }

  // Numbers in the builder's byte order.
  std::string U16(uint32_t value) const;
  std::string U32(uint32_t value) const;
  std::string Shorts(const std::vector<uint16_t>& values) const;
  std::string Rational(uint32_t numerator, uint32_t denominator) const;

  // Adds a directory and returns its index. Directory 0 is IFD0 unless SetIfd0Offset says else.
  int AddDirectory();
  // An entry whose value bytes (in file order) sit in the value field when they are 4 bytes or
  // fewer (padded with zeros), else behind the directory.
  void Add(int dir, uint16_t tag, uint16_t type, uint32_t count, const std::string& value);
  // An entry whose value bytes sit behind the directory whatever their size.
  void AddAtOffset(int dir, uint16_t tag, uint16_t type, uint32_t count, const std::string& value);
  // An entry whose value field holds this number.
  void AddRaw(int dir, uint16_t tag, uint16_t type, uint32_t count, uint32_t field);
  // Shorthands: ASCII with its closing zero, one SHORT, one LONG, one (S)RATIONAL.
  void AddAscii(int dir, uint16_t tag, const std::string& text);
  void AddShort(int dir, uint16_t tag, uint16_t value);
  void AddLong(int dir, uint16_t tag, uint32_t value);
  void AddRational(int dir, uint16_t tag, uint32_t numerator, uint32_t denominator,
                   uint16_t type = kRational);
  // A LONG entry holding the offset of another directory (tag 0x8769 for the Exif directory).
  void AddDirectoryPointer(int dir, uint16_t tag, int target);
  // Free bytes placed after all directories; a LONG entry can hold their offset.
  int AddBlob(const std::string& bytes);
  void AddBlobPointer(int dir, uint16_t tag, int blob);

  // Next-directory links (0 when not set).
  void Link(int dir, int target);
  void LinkRaw(int dir, uint32_t field);
  // Header: the IFD0 offset (default: where directory 0 lies) and the first byte-order byte.
  void SetIfd0Offset(uint32_t offset);
  void SetOrderByte(uint8_t byte);

  // The TIFF bytes.
  std::string Build() const;
  // Offset of a directory, of a blob, and the number of entries of a directory.
  uint32_t DirectoryOffset(int dir) const;
  uint32_t BlobOffset(int blob) const;
  int EntryCount(int dir) const;
  // Offset of the value that entry (counted from 0) of a directory keeps behind the directory.
  uint32_t ValueOffset(int dir, int entry) const;

 private:
  enum class Kind { Inline, AtOffset, Raw, DirectoryPointer, BlobPointer };
  struct Entry {
    uint16_t tag = 0;
    uint16_t type = 0;
    uint32_t count = 0;
    Kind kind = Kind::Inline;
    std::string value;
    uint32_t field = 0;
    int target = 0;
  };
  struct Directory {
    std::vector<Entry> entries;
    bool linked = false;
    bool linkRaw = false;
    int linkTarget = 0;
    uint32_t linkField = 0;
  };
  struct Layout {
    std::vector<uint32_t> directories;
    std::vector<std::vector<uint32_t>> values;  // per directory, per entry
    std::vector<uint32_t> blobs;
    uint32_t size = 0;
  };
  Layout Lay() const;
  void Put16(std::string& out, uint32_t at, uint32_t value) const;
  void Put32(std::string& out, uint32_t at, uint32_t value) const;

  bool intel_;
  std::vector<Directory> directories_;
  std::vector<std::string> blobs_;
  bool ifd0Set_ = false;
  uint32_t ifd0_ = 0;
  bool orderSet_ = false;
  uint8_t orderByte_ = 0;
};

// The JPEG body behind the metadata segments: a quantisation table segment, a few scan bytes and
// the end-of-image marker (enough for the EXIF reader, which never decodes the picture).
std::string TinyJpegBody();
// An APP1 segment: FF E1, the big-endian length, the identifier and the TIFF bytes.
std::string App1Segment(const std::string& tiff, const std::string& identifier = {"Exif\0\0", 6});
// A JFIF APP0 segment.
std::string App0Segment();
// A JPEG file: FF D8, an APP0 segment when asked, the APP1 "Exif" segment with the TIFF bytes,
// then body (a JPEG file's bytes behind its own FF D8 when it starts with one).
std::string ExifJpeg(const std::string& tiff, bool withApp0 = false,
                     const std::string& body = TinyJpegBody());

// What CameraExif puts into a file, for checking results.
struct CameraExifFacts {
  int32_t ifd0Entries = 0;
  int32_t ifd1Entries = 0;
  int32_t exifEntries = 0;
};
// A camera-like EXIF TIFF structure: IFD0 (make, model, dates, resolution...), IFD1 with a
// thumbnail JPEG, and an Exif directory of about 40 entries with a maker note of the given size.
std::string CameraExif(bool intel, const std::string& thumbnail, size_t makerNoteSize,
                       CameraExifFacts* facts = nullptr);

}  // namespace snapwick::test
