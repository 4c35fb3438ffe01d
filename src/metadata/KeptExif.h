#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace snapwick {

// The most an APP1 segment's payload can hold: the segment length (at most 65535) counts its
// own two bytes.
inline constexpr size_t kMaxApp1Payload = 65533;

// Builds a new EXIF TIFF structure from a source one, for a picture saved upright at the given
// size. Kept, in the source's byte order, with every offset laid out anew:
// - IFD0's entries, with Orientation (274), when present, set to 1 (a SHORT): the saved pixels
//   are upright. An Orientation that is absent stays absent, which means the same. ImageWidth
//   and ImageLength (256, 257), when present, become the saved size (LONG).
// - the Exif directory's entries, with PixelXDimension and PixelYDimension (40962, 40963) set to
//   the saved size as LONG values, added when absent. A source without an Exif directory gets
//   one holding only these two.
// - the GPS directory (34853) and the interoperability directory (40965), whose entries hold no
//   offsets, whole.
// Left out: IFD1 and the thumbnail (IFD0's next link is 0), the maker note (37500, whose inner
// offsets count from places in the old layout) with the offset schema (59933) that describes
// it, Microsoft padding (59932), the XMP packet (700, which repeats orientation and size),
// SubjectArea and SubjectLocation (37396, 41492, points of the old pixels), entries that point
// at data by offset (strips, tiles, thumbnail, sub-IFDs, any entry of type IFD), entries of an
// unknown field type, and every repeat of a tag number after its first entry. Entries are
// written in ascending tag order and every value starts on an even offset. The directory links of
// the kept directories are 0.
//
// Raises SnapError 481 ("Invalid picture: damaged EXIF block: ...") for a structure that cannot
// be read soundly: a byte order other than II or MM, a magic number other than 42, a directory
// or value outside the bytes, a count whose value would overrun them, a directory pointer that
// is no single LONG or leads back to a directory already taken. Raises 6 ("Overflow: ...") when
// the result would not fit one APP1 segment ("Exif\0\0" and the TIFF bytes beyond
// kMaxApp1Payload), and 5 for a size below 1 x 1. Work and memory stay proportional to the
// bytes given, whatever they hold.
std::string RewriteExifTiff(std::string_view tiff, int32_t width, int32_t height);

// The payload of a new APP1 segment ("Exif\0\0" and the rewritten TIFF structure) from the EXIF
// block of a source JPEG file's bytes, found as ExifReader finds it and taken to the end of its
// segment. Empty when the source has no EXIF block. Raises as RewriteExifTiff does, 481 also
// for a block without the "Exif\0\0" identifier and a TIFF header.
std::string KeptExifPayload(std::string_view sourceJpeg, int32_t width, int32_t height);

}  // namespace snapwick
