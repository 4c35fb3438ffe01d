#pragma once

#include <cstddef>
#include <string>

#include "platform/Picture.h"

namespace snapwick {

// Largest picture accepted, in bytes of its 24-bit surface; larger ones are refused before any
// memory is taken for them.
inline constexpr int64_t kMaxPictureBytes = int64_t{1} << 31;
// Largest picture file read: a 32-bit bitmap of the largest picture, with room for its headers.
inline constexpr int64_t kMaxPictureFileBytes = kMaxPictureBytes / 3 * 4 + (int64_t{1} << 20);
// A whole JPEG takes at least a byte for every 512 pixels (even a flat picture coded with the
// shortest codes takes a bit for each 8 x 8 block); a file that claims more than eight times as
// many pixels as that allows for its length is cut off, and is refused.
inline constexpr int64_t kMinPixelsPerJpegByte = 8 * 512;

// Loads a JPEG (decoded by TurboJPEG straight into the surface layout) or a BMP into `into`,
// replacing what it held. An empty name empties the picture without an error. A missing file
// raises 53, a file that cannot be read (or that is no regular file) 75, a file that is not a
// picture, too large to hold, or a JPEG far too short for the size it claims 481. On failure
// `into` is left empty.
void LoadPicture(const std::string& fileName, Picture& into);

// The same for a file's bytes already in memory; refuses what is not a picture with 481.
void LoadPictureBytes(const unsigned char* data, size_t size, Picture& into);

}  // namespace snapwick
