#include "metadata/KeptExif.h"

#include <algorithm>
#include <iterator>
#include <vector>

#include "base/Error.h"
#include "metadata/ExifReader.h"
#include "metadata/TiffBytes.h"

namespace snapwick {

namespace {

constexpr uint16_t kImageWidth = 256, kImageLength = 257, kOrientation = 274;
constexpr uint16_t kExifPointer = 0x8769, kGpsPointer = 0x8825, kInteropPointer = 0xA005;
constexpr uint16_t kPixelXDimension = 40962, kPixelYDimension = 40963;
constexpr uint16_t kShortType = 3, kLongType = 4, kIfdType = 13;

// Tags left out of every directory. The pointers to the directories that are kept are written
// anew; the others point at data by offset, describe the maker note or the thumbnail, or tell of
// the old pixels.
// clang-format off
constexpr uint16_t kLeftOut[] = {
    273, 279, 324, 325, 330,                     // strips, tiles, SubIFDs
    513, 514,                                    // thumbnail
    700,                                         // XMP packet
    kExifPointer, kGpsPointer, kInteropPointer,  // the directories kept
    37396, 41492,                                // SubjectArea, SubjectLocation
    37500, 59932, 59933,                         // MakerNote, Padding, OffsetSchema
};
// clang-format on

// Bytes of one element of each field type (BYTE, ASCII, SHORT, LONG, RATIONAL, SBYTE,
// UNDEFINED, SSHORT, SLONG, SRATIONAL, FLOAT, DOUBLE, IFD); 0 for a type of unknown size.
constexpr uint32_t kElementSize[] = {0, 1, 1, 2, 4, 8, 1, 1, 2, 4, 8, 4, 8, 4};

uint32_t ElementSize(uint16_t type) {
  return type < std::size(kElementSize) ? kElementSize[type] : 0;
}

struct Entry {
  uint16_t tag = 0, type = 0;
  uint32_t count = 0;
  std::string value;  // count elements, in the block's byte order
};
using Directory = std::vector<Entry>;

[[noreturn]] void Damaged(const std::string& what) {
  RaiseError(kErrInvalidPicture, "damaged EXIF block: " + what);
}

[[noreturn]] void TooLarge(size_t bytes) {
  RaiseError(kErrOverflow, "the kept EXIF block takes " + std::to_string(bytes) +
                               " bytes or more, beyond the " + std::to_string(kMaxApp1Payload) +
                               " of a JPEG segment");
}

std::string TagText(uint16_t tag) {
  return "tag " + std::to_string(tag);
}

// Reads the directories to keep from a TIFF structure and writes them anew.
class Rewriter {
 public:
  Rewriter(std::string_view tiff, bool intel)
      : tiff_(tiff),
        in_(reinterpret_cast<const uint8_t*>(tiff.data()), static_cast<int32_t>(tiff.size()) - 1,
            intel) {}

  std::string Rewrite(int32_t width, int32_t height) {
    if (in_.Read16(2) != 42) Damaged("no TIFF magic number");
    const uint32_t ifd0Offset = in_.ReadUnsigned32(4);
    uint32_t exifOffset = 0, gpsOffset = 0, interopOffset = 0;
    Directory ifd0 =
        ReadDirectory(ifd0Offset, "IFD0", {{kExifPointer, &exifOffset}, {kGpsPointer, &gpsOffset}});
    Directory exif =
        ReadSubDirectory(exifOffset, "the Exif directory", {{kInteropPointer, &interopOffset}});
    Directory gps = ReadSubDirectory(gpsOffset, "the GPS directory", {});
    Directory interop = ReadSubDirectory(interopOffset, "the interoperability directory", {});

    if (Has(ifd0, kOrientation)) Set(ifd0, kOrientation, kShortType, Number16(1));
    if (Has(ifd0, kImageWidth)) Set(ifd0, kImageWidth, kLongType, Number32(width));
    if (Has(ifd0, kImageLength)) Set(ifd0, kImageLength, kLongType, Number32(height));
    Set(exif, kPixelXDimension, kLongType, Number32(width));
    Set(exif, kPixelYDimension, kLongType, Number32(height));

    // Pointers first hold 0; they get their directory's offset once the layout is known.
    ifd0.push_back({kExifPointer, kLongType, 1, Number32(0)});
    if (!gps.empty()) ifd0.push_back({kGpsPointer, kLongType, 1, Number32(0)});
    if (!interop.empty()) exif.push_back({kInteropPointer, kLongType, 1, Number32(0)});
    for (Directory* dir : {&ifd0, &exif, &gps, &interop})
      Order(*dir);

    const uint32_t exifAt = 8 + Size(ifd0);
    const uint32_t gpsAt = exifAt + Size(exif);
    const uint32_t interopAt = gpsAt + Size(gps);
    const size_t total = interopAt + Size(interop);
    if (6 + total > kMaxApp1Payload) TooLarge(6 + total);
    Set(ifd0, kExifPointer, kLongType, Number32(exifAt));
    if (!gps.empty()) Set(ifd0, kGpsPointer, kLongType, Number32(gpsAt));
    if (!interop.empty()) Set(exif, kInteropPointer, kLongType, Number32(interopAt));

    std::string out = std::string(in_.Intel() ? "II" : "MM") + Number16(42) + Number32(8);
    out.reserve(total);
    for (const Directory* dir : {&ifd0, &exif, &gps, &interop})
      Write(*dir, out);
    return out;
  }

 private:
  struct Pointer {
    uint16_t tag;
    uint32_t* offset;
  };

  // The bytes [offset, offset + length) of the block, which must lie in it.
  std::string_view Slice(uint64_t offset, uint64_t length, const std::string& what) const {
    if (offset > tiff_.size() || length > tiff_.size() - offset)
      Damaged(what + " lies outside the block");
    return tiff_.substr(offset, length);
  }

  Directory ReadSubDirectory(uint32_t offset, const char* name,
                             std::initializer_list<Pointer> pointers) {
    if (offset == 0) return {};
    if (std::find(taken_.begin(), taken_.end(), offset) != taken_.end())
      Damaged(std::string(name) + " leads back to a directory already read");
    return ReadDirectory(offset, name, pointers);
  }

  // The entries of the directory at the offset that are kept; the pointers asked for are read
  // from their first entries.
  Directory ReadDirectory(uint32_t offset, const char* name,
                          std::initializer_list<Pointer> pointers) {
    taken_.push_back(offset);
    if (offset < 8) Damaged(std::string(name) + " overlaps the header");
    Slice(offset, 2, name);
    const auto at = static_cast<int32_t>(offset);
    const int32_t count = in_.Read16(at);
    Slice(offset, 2 + uint64_t{12} * static_cast<uint32_t>(count), name);

    Directory dir;
    std::vector<uint16_t> pointersRead;
    for (int32_t i = 0; i < count; ++i) {
      const int32_t e = at + 2 + 12 * i;
      Entry entry;
      entry.tag = static_cast<uint16_t>(in_.Read16(e));
      entry.type = static_cast<uint16_t>(in_.Read16(e + 2));
      entry.count = in_.ReadUnsigned32(e + 4);
      const std::string what = std::string(name) + ", " + TagText(entry.tag) + ",";

      for (const Pointer& pointer : pointers) {
        if (entry.tag != pointer.tag) continue;
        if (std::find(pointersRead.begin(), pointersRead.end(), entry.tag) != pointersRead.end())
          continue;
        if ((entry.type != kLongType && entry.type != kIfdType) || entry.count != 1)
          Damaged(what + " is no directory offset");
        *pointer.offset = in_.ReadUnsigned32(e + 8);
        pointersRead.push_back(entry.tag);
      }
      // Only the pointers read above may hold a directory's offset.
      const uint32_t element = entry.type == kIfdType ? 0 : ElementSize(entry.type);
      if (element == 0 ||
          std::find(std::begin(kLeftOut), std::end(kLeftOut), entry.tag) != std::end(kLeftOut))
        continue;

      const uint64_t length = uint64_t{entry.count} * element;
      const std::string_view value =
          length <= 4 ? Slice(static_cast<uint32_t>(e) + 8, length, what)
                      : Slice(in_.ReadUnsigned32(e + 8), length, what + " its value");
      // What is kept can never take more than one segment: stop before copying beyond it.
      kept_ += 12 + value.size();
      if (kept_ > kMaxApp1Payload) TooLarge(kept_);
      entry.value.assign(value);
      dir.push_back(std::move(entry));
    }
    return dir;
  }

  static bool Has(const Directory& dir, uint16_t tag) {
    return std::any_of(dir.begin(), dir.end(), [tag](const Entry& e) { return e.tag == tag; });
  }

  // Gives the tag's first entry this value, in its place, and drops the others; adds an entry
  // at the end when there is none.
  static void Set(Directory& dir, uint16_t tag, uint16_t type, std::string value) {
    const auto count = static_cast<uint32_t>(value.size() / ElementSize(type));
    const auto first =
        std::find_if(dir.begin(), dir.end(), [tag](const Entry& e) { return e.tag == tag; });
    if (first == dir.end()) {
      dir.push_back({tag, type, count, std::move(value)});
      return;
    }
    *first = {tag, type, count, std::move(value)};
    dir.erase(std::remove_if(first + 1, dir.end(), [tag](const Entry& e) { return e.tag == tag; }),
              dir.end());
  }

  // Ascending tag numbers; of entries with one tag number, the first in the block stays.
  static void Order(Directory& dir) {
    std::stable_sort(dir.begin(), dir.end(),
                     [](const Entry& a, const Entry& b) { return a.tag < b.tag; });
    dir.erase(std::unique(dir.begin(), dir.end(),
                          [](const Entry& a, const Entry& b) { return a.tag == b.tag; }),
              dir.end());
  }

  static uint32_t Padded(size_t length) { return static_cast<uint32_t>(length + (length & 1)); }

  // Bytes of a directory and the values it keeps behind it; none for an empty one.
  static uint32_t Size(const Directory& dir) {
    if (dir.empty()) return 0;
    uint32_t size = 2 + 12 * static_cast<uint32_t>(dir.size()) + 4;
    for (const Entry& e : dir)
      size += e.value.size() > 4 ? Padded(e.value.size()) : 0;
    return size;
  }

  // The directory at the end of out, its values behind it, and a next link of 0.
  void Write(const Directory& dir, std::string& out) const {
    if (dir.empty()) return;
    const auto start = static_cast<uint32_t>(out.size());
    uint32_t valueAt = start + 2 + 12 * static_cast<uint32_t>(dir.size()) + 4;
    std::string values;
    out += Number16(static_cast<uint32_t>(dir.size()));
    for (const Entry& e : dir) {
      out += Number16(e.tag) + Number16(e.type) + Number32(e.count);
      if (e.value.size() <= 4) {
        out += e.value + std::string(4 - e.value.size(), '\0');
      } else {
        out += Number32(valueAt + static_cast<uint32_t>(values.size()));
        values += e.value;
        if (e.value.size() & 1) values += '\0';
      }
    }
    out += Number32(0) + values;
  }

  std::string Number32(uint32_t value) const {
    std::string bytes(4, '\0');
    for (int k = 0; k < 4; ++k)
      bytes[in_.Intel() ? k : 3 - k] = static_cast<char>(value >> (8 * k) & 0xFF);
    return bytes;
  }
  std::string Number16(uint32_t value) const {
    const std::string bytes = Number32(value);
    return in_.Intel() ? bytes.substr(0, 2) : bytes.substr(2);
  }

  std::string_view tiff_;
  TiffBytes in_;
  std::vector<uint32_t> taken_;  // offsets of the directories read
  size_t kept_ = 0;              // bytes of the entries kept so far
};

}  // namespace

std::string RewriteExifTiff(std::string_view tiff, int32_t width, int32_t height) {
  if (width < 1 || height < 1) RaiseError(kErrInvalidCall, "a picture of no pixels");
  if (tiff.size() > static_cast<size_t>(INT32_MAX)) Damaged("it is larger than any picture file");
  if (tiff.size() < 8) Damaged("no TIFF header");
  const std::string_view order = tiff.substr(0, 2);
  if (order != "II" && order != "MM") Damaged("unknown byte order");
  return Rewriter(tiff, order == "II").Rewrite(width, height);
}

std::string KeptExifPayload(std::string_view sourceJpeg, int32_t width, int32_t height) {
  const std::string_view payload = ExifReader::ExifPayload(sourceJpeg);
  if (payload.empty()) return {};
  // "Exif" and two bytes that are not looked at, as the reader does.
  if (payload.size() < 6) Damaged("no TIFF header");
  return std::string("Exif\0\0", 6) + RewriteExifTiff(payload.substr(6), width, height);
}

}  // namespace snapwick
