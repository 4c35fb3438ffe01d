#include "support/ReferenceResample.h"

#include <cmath>

namespace snapwick::test {

void ReferenceBilinearResample(const cDIBSection& source, cDIBSection& target) {
  const int32_t W = source.Width(), H = source.Height();
  const int32_t w = target.Width(), h = target.Height();
  const int32_t srcStride = source.BytesPerScanLine(), dstStride = target.BytesPerScanLine();
  const uint8_t* src = source.DIBSectionBitsPtr();
  uint8_t* dst = target.DIBSectionBitsPtr();

  const float xScale = static_cast<float>(static_cast<double>(W - 1) / w);
  const float yScale = static_cast<float>(static_cast<double>(H - 1) / h);
  for (int32_t ty = 0; ty < h; ++ty) {
    const float ys = static_cast<float>(static_cast<double>(yScale) * ty);
    int32_t y0 = static_cast<int32_t>(std::floor(ys));
    float fy = static_cast<float>(ys - y0);
    if (y0 > H - 2) {
      y0 = H - 2;
      fy = 1.0f;
    }
    const uint8_t* lower = src + static_cast<size_t>(y0) * srcStride;
    const uint8_t* upper = lower + srcStride;
    uint8_t* out = dst + static_cast<size_t>(ty) * dstStride;
    for (int32_t tx = 0; tx < w; ++tx) {
      const float xs = static_cast<float>(static_cast<double>(xScale) * tx);
      int32_t x0 = static_cast<int32_t>(std::floor(xs));
      float fx = static_cast<float>(xs - x0);
      if (x0 > W - 2) {
        x0 = W - 2;
        fx = 1.0f;
      }
      const size_t k = static_cast<size_t>(x0) * 3;
      for (int c = 0; c < 3; ++c) {
        const double dfy = fy, dfx = fx;
        const double left = std::nearbyint((1 - dfy) * lower[k + c] + dfy * upper[k + c]);
        const double right = std::nearbyint((1 - dfy) * lower[k + 3 + c] + dfy * upper[k + 3 + c]);
        double v = std::nearbyint((1 - dfx) * left + dfx * right);
        if (v < 0) v = 0;
        if (v > 255) v = 255;
        out[tx * 3 + c] = static_cast<uint8_t>(v);
      }
    }
  }
}

}  // namespace snapwick::test
