#pragma once

#include <cstddef>
#include <string>

#include "platform/Picture.h"

namespace snapwick {

// Largest picture accepted, in bytes of its 24-bit surface; larger ones are refused before any
// memory is taken for them.
inline constexpr int64_t kMaxPictureBytes = int64_t{1} << 31;

// Loads a JPEG (decoded by TurboJPEG straight into the surface layout) or a BMP into `into`,
// replacing what it held. An empty name empties the picture without an error. A missing file
// raises 53, a file that cannot be read 75, a file that is not a picture or too large to hold
// 481. On failure `into` is left empty.
void LoadPicture(const std::string& fileName, Picture& into);

// The same for a file's bytes already in memory; refuses what is not a picture with 481.
void LoadPictureBytes(const unsigned char* data, size_t size, Picture& into);

}  // namespace snapwick
