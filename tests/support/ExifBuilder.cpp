#include "support/ExifBuilder.h"

namespace snapwick::test {

std::string TiffBuilder::U16(uint32_t value) const {
  return U32(intel_ ? value : value << 16).substr(0, 2);
}

std::string TiffBuilder::U32(uint32_t value) const {
  std::string out(4, '\0');
  for (int k = 0; k < 4; ++k)
    out[intel_ ? k : 3 - k] = static_cast<char>((value >> (8 * k)) & 0xFF);
  return out;
}

int TiffBuilder::AddDirectory() {
  dirs_.emplace_back();
  return static_cast<int>(dirs_.size()) - 1;
}

void TiffBuilder::Add(int dir, uint16_t tag, uint16_t type, uint32_t count,
                      const std::string& value) {
  dirs_.at(dir).entries.push_back({tag, type, count, value});
}

void TiffBuilder::AddRaw(int dir, uint16_t tag, uint16_t type, uint32_t count, uint32_t field) {
  dirs_.at(dir).entries.push_back({tag, type, count, {}, field});
}

void TiffBuilder::AddAscii(int dir, uint16_t tag, const std::string& text) {
  Add(dir, tag, kAscii, static_cast<uint32_t>(text.size() + 1), text + '\0');
}

void TiffBuilder::AddShort(int dir, uint16_t tag, uint16_t value) {
  Add(dir, tag, kShort, 1, U16(value));
}

void TiffBuilder::AddRational(int dir, uint16_t tag, uint32_t numerator, uint32_t denominator,
                              uint16_t type) {
  Add(dir, tag, type, 1, U32(numerator) + U32(denominator));
}

void TiffBuilder::AddExifPointer(int dir, int target) {
  dirs_.at(dir).entries.push_back({0x8769, kLong, 1, {}, -1, target});
}

void TiffBuilder::Link(int dir, int target) {
  dirs_.at(dir).linkTo = target;
}

void TiffBuilder::LinkRaw(int dir, uint32_t field) {
  dirs_.at(dir).linkTo = -1;
  dirs_.at(dir).link = field;
}

std::string TiffBuilder::Build() {
  uint32_t at = 8;  // behind the header; values start on even offsets
  for (Directory& d : dirs_) {
    d.at = at;
    at += 6 + 12 * static_cast<uint32_t>(d.entries.size());
    for (Entry& e : d.entries) {
      if (e.value.size() <= 4) continue;
      e.at = at;
      at += static_cast<uint32_t>(e.value.size() + (e.value.size() & 1));
    }
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
      } else if (e.field >= 0) {
        out += U32(static_cast<uint32_t>(e.field));
      } else if (e.value.size() <= 4) {
        out += e.value + std::string(4 - e.value.size(), '\0');
      } else {
        out += U32(e.at);
        values += e.value + std::string(e.value.size() & 1, '\0');
      }
    }
    out += U32(d.linkTo >= 0 ? dirs_.at(d.linkTo).at : static_cast<uint32_t>(d.link)) + values;
  }
  return out;
}

std::string TinyJpegBody() {
  std::string body("\xFF\xDB\x00\x43\x00", 5);
  for (int i = 0; i < 64; ++i)
    body += static_cast<char>(1 + i % 16);
  return body + std::string("\xFF\xDA\x00\x08\x01\x01\x00\x00\x3F\x00\x12\x34\x56\xFF\xD9", 15);
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
  return out + (body.rfind("\xFF\xD8", 0) == 0 ? body.substr(2) : body);
}

std::string CameraExif(bool intel, const std::string& thumbnail, size_t makerNoteSize) {
  TiffBuilder b(intel);
  const int ifd0 = b.AddDirectory(), ifd1 = b.AddDirectory(), exif = b.AddDirectory();
  b.Link(ifd0, ifd1);
  b.AddAscii(ifd0, 0x010E, "Harbour at dusk");
  b.AddAscii(ifd0, 0x010F, "Foto");
  b.AddAscii(ifd0, 0x0110, "F-20 Zoom");
  b.AddShort(ifd0, 0x0112, 1);
  b.AddRational(ifd0, 0x011A, 72, 1);
  b.AddAscii(ifd0, 0x0131, "Firmware 1.02");
  b.AddAscii(ifd0, 0x0132, "2004:06:12 18:42:07");
  b.AddExifPointer(ifd0, exif);
  b.AddShort(ifd1, 0x0103, 6);
  b.AddRational(ifd1, 0x011A, 180, 1);
  b.Add(ifd1, 0x0201, kUndefined, static_cast<uint32_t>(thumbnail.size()), thumbnail);
  b.AddRational(exif, 0x829A, 1, 60);
  b.AddShort(exif, 0x8822, 2);
  b.AddShort(exif, 0x8827, 100);
  b.AddAscii(exif, 0x9003, "2004:06:12 18:42:07");
  b.AddRational(exif, 0x9201, 189, 32);
  b.AddRational(exif, 0x9204, 0, 3, kSRational);
  b.AddShort(exif, 0x9207, 5);
  b.AddShort(exif, 0x9209, 16);
  b.AddRational(exif, 0x920A, 58, 10);
  std::string makerNote(makerNoteSize, '\0');
  for (size_t i = 0; i < makerNoteSize; ++i)
    makerNote[i] = static_cast<char>((i * 37 + 11) & 0xFF);
  b.Add(exif, 0x927C, kUndefined, static_cast<uint32_t>(makerNoteSize), makerNote);
  b.AddShort(exif, 0xA217, 2);
  b.Add(exif, 0x9211, kLong, 1, b.U32(1234));
  return b.Build();
}

}  // namespace snapwick::test
