#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace snapwick::test {

// TIFF field types.
inline constexpr uint16_t kByte = 1, kAscii = 2, kShort = 3, kLong = 4, kRational = 5, kSByte = 6,
                          kUndefined = 7, kSShort = 8, kSLong = 9, kSRational = 10;

// Builds the TIFF structure of an EXIF block in either byte order: the header, then each
// directory followed by the values it keeps outside its entries. Value fields and links can be
// set to any number, so that broken files are as easy to make as sound ones.
class TiffBuilder {
 public:
  explicit TiffBuilder(bool intel) : intel_(intel) {}

  // A number in the builder's byte order.
  std::string U32(uint32_t value) const;
  std::string U16(uint32_t value) const { return U32(intel_ ? value : value << 16).substr(0, 2); }

  // Adds a directory and returns its index; directory 0 is IFD0.
  int AddDirectory() {
    dirs_.emplace_back();
    return static_cast<int>(dirs_.size()) - 1;
  }
  // An entry whose value bytes (in file order) sit in the value field when they are 4 bytes or
  // fewer (padded with zeros), else behind the directory. Four bytes (U32) set the value field
  // to any number.
  void Add(int dir, uint16_t tag, uint16_t type, uint32_t count, const std::string& value) {
    dirs_.at(dir).entries.push_back({tag, type, count, value});
  }
  void AddAscii(int dir, uint16_t tag, const std::string& text) {
    Add(dir, tag, kAscii, static_cast<uint32_t>(text.size() + 1), text + '\0');
  }
  void AddShort(int dir, uint16_t tag, uint16_t value) { Add(dir, tag, kShort, 1, U16(value)); }
  void AddRational(int dir, uint16_t tag, uint32_t numerator, uint32_t denominator,
                   uint16_t type = kRational) {
    Add(dir, tag, type, 1, U32(numerator) + U32(denominator));
  }
  // A pointer (a LONG) to another directory: the Exif pointer (tag 0x8769) or any other.
  void AddPointer(int dir, uint16_t tag, int target) {
    dirs_.at(dir).entries.push_back({tag, kLong, 1, {}, target});
  }
  void AddExifPointer(int dir, int target) { AddPointer(dir, 0x8769, target); }
  // A LONG holding the offset of bytes kept behind the directory (a thumbnail, say).
  void AddOffsetTo(int dir, uint16_t tag, const std::string& bytes) {
    dirs_.at(dir).entries.push_back({tag, kLong, 1, {}, -1, bytes});
  }
  // The next-directory link: to another directory, or any number (0 when not set).
  void Link(int dir, int target) { dirs_.at(dir).linkTo = target; }
  void LinkRaw(int dir, uint32_t field) { dirs_.at(dir).link = field; }

  std::string Build();

 private:
  struct Entry {
    uint16_t tag, type;
    uint32_t count;
    std::string value;      // bytes in file order
    int target = -1;        // a directory whose offset is the value
    std::string blob = {};  // bytes behind the directory whose offset is the value
  };
  struct Directory {
    std::vector<Entry> entries;
    uint32_t link = 0;  // a number for the link
    int linkTo = -1;    // a directory whose offset is the link
    uint32_t at = 0;
  };
  bool intel_;
  std::vector<Directory> dirs_;
};

// An APP1 segment: FF E1, the big-endian length, the identifier and the TIFF bytes.
std::string App1Segment(const std::string& tiff, const std::string& identifier = {"Exif\0\0", 6});
// A JPEG file: FF D8, a JFIF APP0 segment when asked, the APP1 "Exif" segment with the TIFF bytes,
// then a JPEG file's bytes behind its own FF D8 (those of a small picture when none are given).
std::string ExifJpeg(const std::string& tiff, bool withApp0 = false, const std::string& body = {});

// A camera-like EXIF TIFF structure: IFD0 (Make "Foto", Model "F-20 Zoom", DateTime
// "2004:06:12 18:42:07"), IFD1 with the thumbnail JPEG (a small picture when none is given), and
// an Exif directory with the exposure time, the focal length and a maker note of the given size.
std::string CameraExif(bool intel = true, const std::string& thumbnail = {},
                       size_t makerNoteSize = 100);

}  // namespace snapwick::test
