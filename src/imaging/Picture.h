#pragma once

#include <cstdint>

#include "imaging/cDIBSection.h"

namespace snapwick {

// Pictures report their size in units of 0.01 mm at this many dots per inch, and are turned back
// into pixels at the same rate, so that the round trip gives the pixel size back.
inline constexpr int32_t kPictureDpi = 96;

// 0.01 mm for a pixel count: pixels x 2540 / 96, rounded (halves to even).
int32_t PixelsToHimetric(int32_t pixels);
// Pixels for a length in 0.01 mm, rounded (halves to even); overflow-checked.
int32_t HimetricToPixels(double himetric);

// A loaded picture: its pixels in the surface layout, so that a surface is built from it with one
// memory copy. An empty picture has no pixels and reports the size 0.
class Picture {
 public:
  bool IsEmpty() const { return !surface_.IsCreated(); }
  // Size in 0.01 mm.
  int32_t Width() const { return IsEmpty() ? 0 : PixelsToHimetric(surface_.Width()); }
  int32_t Height() const { return IsEmpty() ? 0 : PixelsToHimetric(surface_.Height()); }
  int32_t PixelWidth() const { return IsEmpty() ? 0 : surface_.Width(); }
  int32_t PixelHeight() const { return IsEmpty() ? 0 : surface_.Height(); }

  cDIBSection& Surface() { return surface_; }
  const cDIBSection& Surface() const { return surface_; }

  // Empties the picture and releases its memory.
  void Clear() { surface_.ClearUp(); }

 private:
  cDIBSection surface_;
};

}  // namespace snapwick
