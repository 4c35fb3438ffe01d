#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "metadata/Variant.h"

namespace snapwick {
// Values in test messages.
inline void PrintTo(const Variant& value, std::ostream* out) {
  *out << (value.IsEmpty() ? "Empty" : (value.IsText() ? "Text " : "Integer ")) << value.ToText();
}
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

// Builds the TIFF structure of an EXIF block in either byte order: the header, then each
// directory followed by the values it keeps outside its entries. Value fields and links can be
// set to any number, so that broken files are as easy to make as sound ones.
class TiffBuilder {
 public:
  explicit TiffBuilder(bool intel) : intel_(intel) {}

  // Numbers in the builder's byte order.
  std::string U16(uint32_t value) const;
  std::string U32(uint32_t value) const;

  // Adds a directory and returns its index; directory 0 is IFD0.
  int AddDirectory();
  // An entry whose value bytes (in file order) sit in the value field when they are 4 bytes or
  // fewer (padded with zeros), else behind the directory.
  void Add(int dir, uint16_t tag, uint16_t type, uint32_t count, const std::string& value);
  // An entry whose value field holds this number.
  void AddRaw(int dir, uint16_t tag, uint16_t type, uint32_t count, uint32_t field);
  // ASCII with its closing zero, one SHORT, one (S)RATIONAL.
  void AddAscii(int dir, uint16_t tag, const std::string& text);
  void AddShort(int dir, uint16_t tag, uint16_t value);
  void AddRational(int dir, uint16_t tag, uint32_t numerator, uint32_t denominator,
                   uint16_t type = kRational);
  // The Exif pointer (tag 0x8769, a LONG) to another directory.
  void AddExifPointer(int dir, int target);
  // The next-directory link: to another directory, or any number (0 when not set).
  void Link(int dir, int target);
  void LinkRaw(int dir, uint32_t field);

  std::string Build();
  // Offsets laid out by the last Build: of a directory, and of the value of an entry (counted
  // from 0) that the directory keeps behind it.
  uint32_t DirectoryOffset(int dir) const { return dirs_.at(dir).at; }
  uint32_t ValueOffset(int dir, int entry) const { return dirs_.at(dir).entries.at(entry).at; }

 private:
  struct Entry {
    uint16_t tag, type;
    uint32_t count;
    std::string value;   // bytes in file order, unless the field is given
    int64_t field = -1;  // a number for the value field
    int target = -1;     // a directory whose offset is the value
    uint32_t at = 0;     // where a value longer than 4 bytes was laid out
  };
  struct Directory {
    std::vector<Entry> entries;
    int64_t link = 0;  // a number for the link
    int linkTo = -1;   // a directory whose offset is the link
    uint32_t at = 0;
  };
  bool intel_;
  std::vector<Directory> dirs_;
};

// The JPEG body behind the metadata segments: a quantisation table segment, a few scan bytes and
// the end-of-image marker (enough for the EXIF reader, which never decodes the picture).
std::string TinyJpegBody();
// An APP1 segment: FF E1, the big-endian length, the identifier and the TIFF bytes.
std::string App1Segment(const std::string& tiff, const std::string& identifier = {"Exif\0\0", 6});
// A JPEG file: FF D8, a JFIF APP0 segment when asked, the APP1 "Exif" segment with the TIFF bytes,
// then body (a JPEG file's bytes behind its own FF D8 when it starts with one).
std::string ExifJpeg(const std::string& tiff, bool withApp0 = false,
                     const std::string& body = TinyJpegBody());

// A camera-like EXIF TIFF structure: IFD0 (Make "Foto", Model "F-20 Zoom", DateTime
// "2004:06:12 18:42:07"...), IFD1 with the thumbnail JPEG, and an Exif directory of exposure items
// with a maker note of the given size.
std::string CameraExif(bool intel, const std::string& thumbnail, size_t makerNoteSize);

}  // namespace snapwick::test
