#include "support/ReferenceResample.h"

#include <cmath>

namespace snapwick::test {

namespace {
// The sampling position of target pixel t: the source pixel in front of it and the weight of the
// one behind; a position on or past the last source pixel takes the last pixel itself.
std::pair<int32_t, double> Sample(int32_t source, int32_t target, int32_t t) {
  const float scale = static_cast<float>(static_cast<double>(source - 1) / target);
  const float position = static_cast<float>(static_cast<double>(scale) * t);
  const auto before = static_cast<int32_t>(std::floor(position));
  if (before > source - 2) return {source - 2, 1.0};
  return {before, static_cast<float>(position - before)};
}
}  // namespace

void ReferenceBilinearResample(const cDIBSection& source, cDIBSection& target) {
  const int32_t srcStride = source.BytesPerScanLine(), dstStride = target.BytesPerScanLine();
  for (int32_t ty = 0; ty < target.Height(); ++ty) {
    const auto [y0, fy] = Sample(source.Height(), target.Height(), ty);
    const uint8_t* lower = source.DIBSectionBitsPtr() + static_cast<size_t>(y0) * srcStride;
    const uint8_t* upper = lower + srcStride;
    for (int32_t tx = 0; tx < target.Width(); ++tx) {
      const auto [x0, fx] = Sample(source.Width(), target.Width(), tx);
      for (int32_t c = x0 * 3; c < x0 * 3 + 3; ++c) {
        const double left = std::nearbyint((1 - fy) * lower[c] + fy * upper[c]);
        const double right = std::nearbyint((1 - fy) * lower[c + 3] + fy * upper[c + 3]);
        target.DIBSectionBitsPtr()[static_cast<size_t>(ty) * dstStride + tx * 3 + c - x0 * 3] =
            static_cast<uint8_t>(std::nearbyint((1 - fx) * left + fx * right));
      }
    }
  }
}

}  // namespace snapwick::test
