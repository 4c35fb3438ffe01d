#include "support/ExifBuilder.h"

#include <stdexcept>

namespace snapwick {

void PrintTo(const Variant& value, std::ostream* out) {
  switch (value.GetKind()) {
    case Variant::Kind::Empty:
      *out << "Empty";
      break;
    case Variant::Kind::Integer:
      *out << "Integer " << value.Integer();
      break;
    case Variant::Kind::Text:
      *out << "Text \"";
      for (char c : value.Text()) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte < 0x7F && c != '\\' && c != '"') {
          *out << c;
        } else {
          static const char kHex[] = "0123456789ABCDEF";
          *out << "\\x" << kHex[byte >> 4] << kHex[byte & 15];
        }
      }
      *out << "\"";
      break;
  }
}

void PrintTo(const TagRecord& record, std::ostream* out) {
  *out << "{TagId " << record.TagId << ", MakerNote " << record.MakerNote << ", FieldType "
       << record.FieldType << ", ValueCount " << record.ValueCount << ", ValueOffset "
       << record.ValueOffset << ", ";
  PrintTo(record.TagValue, out);
  *out << "}";
}

}  // namespace snapwick

namespace snapwick::test {

std::string TiffBuilder::U16(uint32_t value) const {
  std::string out(2, '\0');
  Put16(out, 0, value);
  return out;
}

std::string TiffBuilder::U32(uint32_t value) const {
  std::string out(4, '\0');
  Put32(out, 0, value);
  return out;
}

std::string TiffBuilder::Shorts(const std::vector<uint16_t>& values) const {
  std::string out;
  for (uint16_t v : values)
    out += U16(v);
  return out;
}

std::string TiffBuilder::Rational(uint32_t numerator, uint32_t denominator) const {
  return U32(numerator) + U32(denominator);
}

int TiffBuilder::AddDirectory() {
  directories_.emplace_back();
  return static_cast<int>(directories_.size()) - 1;
}

void TiffBuilder::Add(int dir, uint16_t tag, uint16_t type, uint32_t count,
                      const std::string& value) {
  Entry e;
  e.tag = tag;
  e.type = type;
  e.count = count;
  e.kind = value.size() <= 4 ? Kind::Inline : Kind::AtOffset;
  e.value = value;
  directories_.at(static_cast<size_t>(dir)).entries.push_back(e);
}

void TiffBuilder::AddAtOffset(int dir, uint16_t tag, uint16_t type, uint32_t count,
                              const std::string& value) {
  Entry e;
  e.tag = tag;
  e.type = type;
  e.count = count;
  e.kind = Kind::AtOffset;
  e.value = value;
  directories_.at(static_cast<size_t>(dir)).entries.push_back(e);
}

void TiffBuilder::AddRaw(int dir, uint16_t tag, uint16_t type, uint32_t count, uint32_t field) {
  Entry e;
  e.tag = tag;
  e.type = type;
  e.count = count;
  e.kind = Kind::Raw;
  e.field = field;
  directories_.at(static_cast<size_t>(dir)).entries.push_back(e);
}

void TiffBuilder::AddAscii(int dir, uint16_t tag, const std::string& text) {
  Add(dir, tag, kAscii, static_cast<uint32_t>(text.size() + 1), text + std::string(1, '\0'));
}

void TiffBuilder::AddShort(int dir, uint16_t tag, uint16_t value) {
  Add(dir, tag, kShort, 1, U16(value));
}

void TiffBuilder::AddLong(int dir, uint16_t tag, uint32_t value) {
  Add(dir, tag, kLong, 1, U32(value));
}

void TiffBuilder::AddRational(int dir, uint16_t tag, uint32_t numerator, uint32_t denominator,
                              uint16_t type) {
  AddAtOffset(dir, tag, type, 1, Rational(numerator, denominator));
}

void TiffBuilder::AddDirectoryPointer(int dir, uint16_t tag, int target) {
  Entry e;
  e.tag = tag;
  e.type = kLong;
  e.count = 1;
  e.kind = Kind::DirectoryPointer;
  e.target = target;
  directories_.at(static_cast<size_t>(dir)).entries.push_back(e);
}

int TiffBuilder::AddBlob(const std::string& bytes) {
  blobs_.push_back(bytes);
  return static_cast<int>(blobs_.size()) - 1;
}

void TiffBuilder::AddBlobPointer(int dir, uint16_t tag, int blob) {
  Entry e;
  e.tag = tag;
  e.type = kLong;
  e.count = 1;
  e.kind = Kind::BlobPointer;
  e.target = blob;
  directories_.at(static_cast<size_t>(dir)).entries.push_back(e);
}

void TiffBuilder::Link(int dir, int target) {
  Directory& d = directories_.at(static_cast<size_t>(dir));
  d.linked = true;
  d.linkRaw = false;
  d.linkTarget = target;
}

void TiffBuilder::LinkRaw(int dir, uint32_t field) {
  Directory& d = directories_.at(static_cast<size_t>(dir));
  d.linked = true;
  d.linkRaw = true;
  d.linkField = field;
}

void TiffBuilder::SetIfd0Offset(uint32_t offset) {
  ifd0Set_ = true;
  ifd0_ = offset;
}

void TiffBuilder::SetOrderByte(uint8_t byte) {
  orderSet_ = true;
  orderByte_ = byte;
}

TiffBuilder::Layout TiffBuilder::Lay() const {
  Layout layout;
  uint32_t at = 8;
  for (const Directory& d : directories_) {
    layout.directories.push_back(at);
    at += 2 + 12 * static_cast<uint32_t>(d.entries.size()) + 4;
    std::vector<uint32_t> values;
    for (const Entry& e : d.entries) {
      values.push_back(at);
      if (e.kind == Kind::AtOffset) {
        at += static_cast<uint32_t>(e.value.size());
        at += at & 1;  // values start on even offsets
      }
    }
    layout.values.push_back(values);
  }
  for (const std::string& blob : blobs_) {
    layout.blobs.push_back(at);
    at += static_cast<uint32_t>(blob.size());
    at += at & 1;
  }
  layout.size = at;
  return layout;
}

void TiffBuilder::Put16(std::string& out, uint32_t at, uint32_t value) const {
  const auto lo = static_cast<char>(value & 0xFF);
  const auto hi = static_cast<char>((value >> 8) & 0xFF);
  out[at] = intel_ ? lo : hi;
  out[at + 1] = intel_ ? hi : lo;
}

void TiffBuilder::Put32(std::string& out, uint32_t at, uint32_t value) const {
  for (int k = 0; k < 4; ++k) {
    const auto byte = static_cast<char>((value >> (8 * k)) & 0xFF);
    out[at + (intel_ ? k : 3 - k)] = byte;
  }
}

std::string TiffBuilder::Build() const {
  const Layout layout = Lay();
  std::string out(layout.size, '\0');
  out[0] = out[1] = intel_ ? 'I' : 'M';
  if (orderSet_) out[0] = static_cast<char>(orderByte_);
  Put16(out, 2, 42);
  Put32(out, 4, ifd0Set_ ? ifd0_ : (directories_.empty() ? 0 : layout.directories[0]));

  for (size_t di = 0; di < directories_.size(); ++di) {
    const Directory& d = directories_[di];
    const uint32_t base = layout.directories[di];
    Put16(out, base, static_cast<uint32_t>(d.entries.size()));
    for (size_t ei = 0; ei < d.entries.size(); ++ei) {
      const Entry& e = d.entries[ei];
      const uint32_t at = base + 2 + 12 * static_cast<uint32_t>(ei);
      Put16(out, at, e.tag);
      Put16(out, at + 2, e.type);
      Put32(out, at + 4, e.count);
      switch (e.kind) {
        case Kind::Inline:
          out.replace(at + 8, e.value.size(), e.value);
          break;
        case Kind::AtOffset:
          Put32(out, at + 8, layout.values[di][ei]);
          out.replace(layout.values[di][ei], e.value.size(), e.value);
          break;
        case Kind::Raw:
          Put32(out, at + 8, e.field);
          break;
        case Kind::DirectoryPointer:
          Put32(out, at + 8, layout.directories.at(static_cast<size_t>(e.target)));
          break;
        case Kind::BlobPointer:
          Put32(out, at + 8, layout.blobs.at(static_cast<size_t>(e.target)));
          break;
      }
    }
    const uint32_t link = base + 2 + 12 * static_cast<uint32_t>(d.entries.size());
    if (d.linked) {
      Put32(out, link,
            d.linkRaw ? d.linkField : layout.directories.at(static_cast<size_t>(d.linkTarget)));
    }
  }
  for (size_t bi = 0; bi < blobs_.size(); ++bi)
    out.replace(layout.blobs[bi], blobs_[bi].size(), blobs_[bi]);
  return out;
}

uint32_t TiffBuilder::ValueOffset(int dir, int entry) const {
  return Lay().values.at(static_cast<size_t>(dir)).at(static_cast<size_t>(entry));
}

int TiffBuilder::EntryCount(int dir) const {
  return static_cast<int>(directories_.at(static_cast<size_t>(dir)).entries.size());
}

uint32_t TiffBuilder::DirectoryOffset(int dir) const {
  return Lay().directories.at(static_cast<size_t>(dir));
}

uint32_t TiffBuilder::BlobOffset(int blob) const {
  return Lay().blobs.at(static_cast<size_t>(blob));
}

std::string TinyJpegBody() {
  std::string body = "\xFF\xDB";
  body += std::string("\x00\x43\x00", 3);
  for (int i = 0; i < 64; ++i)
    body.push_back(static_cast<char>(1 + i % 16));
  body += "\xFF\xDA";
  body += std::string("\x00\x08\x01\x01\x00\x00\x3F\x00", 8);
  body += "\x12\x34\x56\x78\x9A\xBC\xDE";
  body += "\xFF\xD9";
  return body;
}

std::string App1Segment(const std::string& tiff, const std::string& identifier) {
  const size_t length = 2 + identifier.size() + tiff.size();
  std::string out = "\xFF\xE1";
  // Larger blocks than one segment can hold keep the largest length (the reader does not use it).
  const size_t stored = length > 0xFFFF ? 0xFFFF : length;
  out.push_back(static_cast<char>(stored >> 8));
  out.push_back(static_cast<char>(stored & 0xFF));
  return out + identifier + tiff;
}

std::string App0Segment() {
  std::string out = "\xFF\xE0";
  out += std::string("\x00\x10JFIF\x00\x01\x01\x00\x00\x01\x00\x01\x00\x00", 16);
  return out;
}

std::string ExifJpeg(const std::string& tiff, bool withApp0, const std::string& body) {
  std::string out = "\xFF\xD8";
  if (withApp0) out += App0Segment();
  out += App1Segment(tiff);
  if (body.size() >= 2 && static_cast<uint8_t>(body[0]) == 0xFF &&
      static_cast<uint8_t>(body[1]) == 0xD8) {
    out.append(body, 2);
  } else {
    out += body;
  }
  return out;
}

std::string CameraExif(bool intel, const std::string& thumbnail, size_t makerNoteSize,
                       CameraExifFacts* facts) {
  TiffBuilder b(intel);
  const int ifd0 = b.AddDirectory();
  const int ifd1 = b.AddDirectory();
  const int exif = b.AddDirectory();
  b.Link(ifd0, ifd1);

  b.AddAscii(ifd0, 0x010E, "Harbour at dusk");
  b.AddAscii(ifd0, 0x010F, "Foto");
  b.AddAscii(ifd0, 0x0110, "F-20 Zoom");
  b.AddShort(ifd0, 0x0112, 1);
  b.AddRational(ifd0, 0x011A, 72, 1);
  b.AddRational(ifd0, 0x011B, 72, 1);
  b.AddShort(ifd0, 0x0128, 2);
  b.AddAscii(ifd0, 0x0131, "Firmware 1.02");
  b.AddAscii(ifd0, 0x0132, "2004:06:12 18:42:07");
  b.AddShort(ifd0, 0x0213, 2);
  b.AddAscii(ifd0, 0x8298, "(c) Someone");
  b.AddDirectoryPointer(ifd0, 0x8769, exif);

  const int thumb = b.AddBlob(thumbnail);
  b.AddShort(ifd1, 0x0103, 6);
  b.AddShort(ifd1, 0x0112, 1);
  b.AddRational(ifd1, 0x011A, 180, 1);
  b.AddRational(ifd1, 0x011B, 180, 1);
  b.AddShort(ifd1, 0x0128, 2);
  b.AddBlobPointer(ifd1, 0x0201, thumb);
  b.AddLong(ifd1, 0x0202, static_cast<uint32_t>(thumbnail.size()));
  b.AddShort(ifd1, 0x0213, 2);

  b.AddRational(exif, 0x829A, 1, 60);
  b.AddRational(exif, 0x829D, 28, 10);
  b.AddShort(exif, 0x8822, 2);
  b.AddShort(exif, 0x8827, 100);
  b.Add(exif, 0x9000, kUndefined, 4, "0220");
  b.AddAscii(exif, 0x9003, "2004:06:12 18:42:07");
  b.AddAscii(exif, 0x9004, "2004:06:12 18:42:07");
  b.Add(exif, 0x9101, kUndefined, 4, std::string("\x01\x02\x03\x00", 4));
  b.AddRational(exif, 0x9102, 2, 1);
  b.AddRational(exif, 0x9201, 189, 32);
  b.AddRational(exif, 0x9202, 95, 32);
  b.AddRational(exif, 0x9204, 0, 3, kSRational);
  b.AddRational(exif, 0x9205, 95, 32);
  b.AddRational(exif, 0x9206, 3500, 1000);
  b.AddShort(exif, 0x9207, 5);
  b.AddShort(exif, 0x9208, 0);
  b.AddShort(exif, 0x9209, 16);
  b.AddRational(exif, 0x920A, 58, 10);
  b.AddLong(exif, 0x9211, 1234);
  std::string makerNote(makerNoteSize, '\0');
  for (size_t i = 0; i < makerNoteSize; ++i)
    makerNote[i] = static_cast<char>((i * 37 + 11) & 0xFF);
  b.AddAtOffset(exif, 0x927C, kUndefined, static_cast<uint32_t>(makerNote.size()), makerNote);
  std::string comment = std::string("ASCII\0\0\0", 8) + "Evening light";
  b.AddAtOffset(exif, 0x9286, kUndefined, static_cast<uint32_t>(comment.size()), comment);
  b.AddAscii(exif, 0x9290, "42");
  b.AddAscii(exif, 0x9291, "42");
  b.AddAscii(exif, 0x9292, "42");
  b.Add(exif, 0xA000, kUndefined, 4, "0100");
  b.AddShort(exif, 0xA001, 1);
  b.AddShort(exif, 0xA002, 2048);
  b.AddShort(exif, 0xA003, 1536);
  b.AddRational(exif, 0xA20E, 2048000, 243);
  b.AddRational(exif, 0xA20F, 1536000, 182);
  b.AddShort(exif, 0xA210, 2);
  b.AddShort(exif, 0xA217, 2);
  b.Add(exif, 0xA300, kUndefined, 1, std::string("\x03", 1));
  b.Add(exif, 0xA301, kUndefined, 1, std::string("\x01", 1));
  b.AddShort(exif, 0xA401, 0);
  b.AddShort(exif, 0xA402, 0);
  b.AddShort(exif, 0xA403, 0);
  b.AddRational(exif, 0xA404, 0, 100);
  b.AddShort(exif, 0xA405, 35);
  b.AddShort(exif, 0xA406, 0);
  b.AddShort(exif, 0xA407, 0);
  b.AddShort(exif, 0xA408, 0);
  b.AddShort(exif, 0xA409, 0);
  b.AddShort(exif, 0xA40A, 0);

  if (facts != nullptr) {
    facts->ifd0Entries = b.EntryCount(ifd0);
    facts->ifd1Entries = b.EntryCount(ifd1);
    facts->exifEntries = b.EntryCount(exif);
  }
  return b.Build();
}

}  // namespace snapwick::test
