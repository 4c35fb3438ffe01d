#include "support/ExifBuilder.h"

#include "support/Fixtures.h"

namespace snapwick::test {

std::string TiffBuilder::U32(uint32_t value) const {
  std::string out(4, '\0');
  for (int k = 0; k < 4; ++k)
    out[intel_ ? k : 3 - k] = static_cast<char>((value >> (8 * k)) & 0xFF);
  return out;
}

std::string TiffBuilder::Build() {
  uint32_t at = 8;  // behind the header
  for (Directory& d : dirs_) {
    d.at = at;
    at += 6 + 12 * static_cast<uint32_t>(d.entries.size());
    for (const Entry& e : d.entries)
      at += static_cast<uint32_t>((e.value.size() > 4 ? e.value.size() : 0) + e.blob.size());
  }
  std::string out =
      std::string(intel_ ? "II" : "MM") + U16(42) + U32(dirs_.empty() ? 0 : dirs_[0].at);
  for (const Directory& d : dirs_) {
    out += U16(static_cast<uint32_t>(d.entries.size()));
    std::string values;
    for (const Entry& e : d.entries) {
      out += U16(e.tag) + U16(e.type) + U32(e.count);
      if (e.target >= 0) {
        out += U32(dirs_.at(e.target).at);
      } else if (!e.blob.empty()) {
        out += U32(static_cast<uint32_t>(d.at + 6 + 12 * d.entries.size() + values.size()));
        values += e.blob;
      } else if (e.value.size() <= 4) {
        out += e.value + std::string(4 - e.value.size(), '\0');
      } else {  // behind the directory
        out += U32(static_cast<uint32_t>(d.at + 6 + 12 * d.entries.size() + values.size()));
        values += e.value;
      }
    }
    out += U32(d.linkTo >= 0 ? dirs_.at(d.linkTo).at : d.link) + values;
  }
  return out;
}

std::string App1Segment(const std::string& tiff, const std::string& identifier) {
  // Blocks larger than one segment can hold keep the largest length (the reader does not use it).
  const size_t length = std::min<size_t>(2 + identifier.size() + tiff.size(), 0xFFFF);
  return "\xFF\xE1" +
         std::string{static_cast<char>(length >> 8), static_cast<char>(length & 0xFF)} +
         identifier + tiff;
}

std::string ExifJpeg(const std::string& tiff, bool withApp0, const std::string& body) {
  std::string out = "\xFF\xD8";
  if (withApp0)
    out += std::string("\xFF\xE0\x00\x10JFIF\x00\x01\x01\x00\x00\x01\x00\x01\x00\x00", 18);
  out += App1Segment(tiff);
  return out + (body.empty() ? MakeJpeg(8, 8) : body).substr(2);
}

std::string CameraExif(bool intel, const std::string& thumbnailGiven, size_t makerNoteSize) {
  const std::string thumbnail = thumbnailGiven.empty() ? MakeJpeg(8, 8) : thumbnailGiven;
  TiffBuilder b(intel);
  const int ifd0 = b.AddDirectory(), ifd1 = b.AddDirectory(), exif = b.AddDirectory();
  b.Link(ifd0, ifd1);
  b.AddAscii(ifd0, 0x010F, "Foto");
  b.AddAscii(ifd0, 0x0110, "F-20 Zoom");
  b.AddAscii(ifd0, 0x0132, "2004:06:12 18:42:07");
  b.AddExifPointer(ifd0, exif);
  b.AddShort(ifd1, 0x0103, 6);
  b.Add(ifd1, 0x0201, kUndefined, static_cast<uint32_t>(thumbnail.size()), thumbnail);
  b.AddRational(exif, 0x829A, 1, 60);
  b.AddRational(exif, 0x920A, 58, 10);
  b.Add(exif, 0x927C, kUndefined, static_cast<uint32_t>(makerNoteSize),
        std::string(makerNoteSize, '\x5A'));
  return b.Build();
}

}  // namespace snapwick::test
