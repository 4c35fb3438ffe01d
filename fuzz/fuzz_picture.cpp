// Feeds arbitrary bytes to the picture loader as the content of a picture file: JPEG through
// TurboJPEG, anything else through Qt's image reader. A refused picture raises 481 (or 7 when
// memory runs out) and leaves the picture empty; a loaded one must be a whole surface.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <new>

#include "base/Error.h"
#include "imaging/PictureLoader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  snapwick::Picture picture;
  try {
    snapwick::LoadPictureBytes(data, size, picture);
  } catch (const snapwick::SnapError& error) {
    if (error.Number() != snapwick::kErrInvalidPicture &&
        error.Number() != snapwick::kErrOutOfMemory) {
      __builtin_trap();
    }
    if (!picture.IsEmpty()) __builtin_trap();
    return 0;
  } catch (const std::bad_alloc&) {
    if (!picture.IsEmpty()) __builtin_trap();
    return 0;
  }
  if (picture.IsEmpty()) __builtin_trap();
  const snapwick::cDIBSection& surface = picture.Surface();
  const int64_t width = surface.Width(), height = surface.Height();
  const int64_t stride = surface.BytesPerScanLine();
  if (width <= 0 || height <= 0 || stride < width * 3 || stride % 4 != 0 ||
      stride * height >= snapwick::kMaxPictureBytes) {
    __builtin_trap();
  }
  // Every byte of the surface is read, so that a short write shows as a read outside it, and
  // the padding behind each row must be zero.
  const uint8_t* bits = surface.DIBSectionBitsPtr();
  unsigned sum = 0;
  for (int64_t row = 0; row < height; ++row) {
    const uint8_t* line = bits + row * stride;
    for (int64_t x = 0; x < width * 3; ++x)
      sum += line[x];
    for (int64_t x = width * 3; x < stride; ++x) {
      if (line[x] != 0) __builtin_trap();
    }
  }
  return sum == 0xFFFFFFFFu ? 1 : 0;
}
