#pragma once

#include <cstddef>
#include <string>

#include "imaging/Picture.h"

namespace snapwick {

// Largest picture accepted, in bytes of its 24-bit surface together with the buffers that decoding
// it takes beside the surface (none for a colour or grey JPEG, which is decoded in place; 4 bytes a
// pixel for a CMYK JPEG or a picture read through Qt); larger ones are refused before any memory
// is taken for them.
inline constexpr int64_t kMaxPictureBytes = int64_t{1} << 31;
// Largest picture file read: a 32-bit bitmap of the largest picture, with room for its headers.
inline constexpr int64_t kMaxPictureFileBytes = kMaxPictureBytes / 3 * 4 + (int64_t{1} << 20);

// A picture of more than kPixelsAnyFileMayClaim pixels is refused, before any memory is taken for
// it, when its file has fewer than one byte for every kMaxPixelsPerFileByte pixels. No whole JPEG
// file comes near that: each 8x8 block of its first component takes at least one bit, a byte for
// every 512 pixels. What is refused is a few bytes claiming a picture of a gigabyte (or a file cut
// far short of one), which would take that memory and seconds of decoding to show grey.
inline constexpr int64_t kPixelsAnyFileMayClaim = int64_t{1} << 24;
inline constexpr int64_t kMaxPixelsPerFileByte = 1024;

// Loads a JPEG (decoded by TurboJPEG straight into the surface layout) or a BMP into `into`,
// replacing what it held. An empty name empties the picture without an error. A file that cannot
// be read raises the file errors of base/PosixFile.h (53 missing, 76 a path through something
// that is no folder, 75 no regular file or not readable), a file that is not a picture, too large
// to hold or too short for the picture it claims 481, memory that runs out 7. On failure `into`
// is left empty.
void LoadPicture(const std::string& fileName, Picture& into);

// The same for a file's bytes already in memory; refuses what is not a picture with 481.
void LoadPictureBytes(const unsigned char* data, size_t size, Picture& into);

}  // namespace snapwick
