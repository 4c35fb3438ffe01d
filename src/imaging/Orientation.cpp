#include "imaging/Orientation.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

namespace snapwick {

namespace {

// The source pixel of upright pixel (x, y) is (ax*x + bx*y + cx, ay*x + by*y + cy), all counted
// from the top-left; the coefficients are 0, 1 or -1.
struct Mapping {
  int ax, bx, cx, ay, by, cy;
  bool swapsSides;
};

Mapping MappingFor(int32_t orientation, int32_t w, int32_t h) {
  switch (orientation) {
    case 2:
      return {-1, 0, w - 1, 0, 1, 0, false};
    case 3:
      return {-1, 0, w - 1, 0, -1, h - 1, false};
    case 4:
      return {1, 0, 0, 0, -1, h - 1, false};
    case 5:
      return {0, 1, 0, 1, 0, 0, true};
    case 6:
      return {0, 1, 0, -1, 0, h - 1, true};
    case 7:
      return {0, -1, w - 1, -1, 0, h - 1, true};
    default:  // 8
      return {0, -1, w - 1, 1, 0, 0, true};
  }
}

}  // namespace

bool TurnUpright(const cDIBSection& source, int32_t orientation, cDIBSection& dest) {
  if (!NeedsTurning(orientation) || !source.IsCreated()) return false;
  const int32_t w = source.Width(), h = source.Height();
  const Mapping m = MappingFor(orientation, w, h);
  const int32_t outW = m.swapsSides ? h : w, outH = m.swapsSides ? w : h;
  if (!dest.Create(outW, outH)) return false;

  const ptrdiff_t srcStride = source.BytesPerScanLine();
  const ptrdiff_t dstStride = dest.BytesPerScanLine();
  const uint8_t* srcBits = source.DIBSectionBitsPtr();
  uint8_t* dstBits = dest.DIBSectionBitsPtr();
  // Memory rows run bottom-up: picture row y lies in memory row h - 1 - y.
  const auto sourceAt = [&](int32_t x, int32_t y) {
    return srcBits + (h - 1 - y) * srcStride + static_cast<ptrdiff_t>(x) * 3;
  };
  // Moving one pixel right in the upright picture moves this far in the source.
  const ptrdiff_t stepX = m.ax * 3 - m.ay * srcStride;

  // Tiles keep the source rows that a quarter turn walks across in the cache.
  constexpr int32_t kTile = 32;
  for (int32_t ty = 0; ty < outH; ty += kTile) {
    const int32_t yEnd = std::min(outH, ty + kTile);
    for (int32_t tx = 0; tx < outW; tx += kTile) {
      const int32_t xEnd = std::min(outW, tx + kTile);
      for (int32_t y = ty; y < yEnd; ++y) {
        const uint8_t* in = sourceAt(m.ax * tx + m.bx * y + m.cx, m.ay * tx + m.by * y + m.cy);
        uint8_t* out = dstBits + (outH - 1 - y) * dstStride + static_cast<ptrdiff_t>(tx) * 3;
        for (int32_t x = tx; x < xEnd; ++x, in += stepX, out += 3) {
          out[0] = in[0];
          out[1] = in[1];
          out[2] = in[2];
        }
      }
    }
  }
  return true;
}

}  // namespace snapwick
