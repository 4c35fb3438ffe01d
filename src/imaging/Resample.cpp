#include <cmath>
#include <memory>

#include "imaging/cDIBSection.h"
#include "platform/Error.h"

namespace snapwick {

std::unique_ptr<cDIBSection> cDIBSection::Resample(int32_t lNewHeight, int32_t lNewWidth) const {
  auto target = std::make_unique<cDIBSection>();
  if (!target->Create(lNewWidth, lNewHeight)) return nullptr;
  if (lNewWidth == Width() && lNewHeight == Height()) {
    target->LoadPictureBlt(*this);
  } else {
    BilinearResample(*target);
  }
  return target;
}

void cDIBSection::BilinearResample(cDIBSection& target) const {
  const int32_t W = Width(), H = Height();
  if (!IsCreated() || W < 2 || H < 2) {
    RaiseError(kErrSubscriptOutOfRange, "a picture smaller than 2 x 2 pixels cannot be resized");
  }
  const int32_t w = target.Width(), h = target.Height();
  const int32_t srcStride = BytesPerScanLine(), dstStride = target.BytesPerScanLine();
  const uint8_t* src = m_pBits;
  uint8_t* dst = target.DIBSectionBitsPtr();

  const float xScale = static_cast<float>(static_cast<double>(W - 1) / w);
  const float yScale = static_cast<float>(static_cast<double>(H - 1) / h);
  for (int32_t ty = 0; ty < h; ++ty) {
    const float ys = static_cast<float>(static_cast<double>(yScale) * ty);
    const int32_t y0 = static_cast<int32_t>(std::floor(ys));
    const double fy = static_cast<float>(ys - y0);
    const uint8_t* lower = src + static_cast<size_t>(y0) * srcStride;
    const uint8_t* upper = lower + srcStride;
    uint8_t* out = dst + static_cast<size_t>(ty) * dstStride;
    for (int32_t tx = 0; tx < w; ++tx) {
      const float xs = static_cast<float>(static_cast<double>(xScale) * tx);
      const int32_t x0 = static_cast<int32_t>(std::floor(xs));
      const double fx = static_cast<float>(xs - x0);
      const size_t k = static_cast<size_t>(x0) * 3;
      for (int c = 0; c < 3; ++c) {
        const double left = std::nearbyint((1 - fy) * lower[k + c] + fy * upper[k + c]);
        const double right = std::nearbyint((1 - fy) * lower[k + 3 + c] + fy * upper[k + 3 + c]);
        double v = std::nearbyint((1 - fx) * left + fx * right);
        if (v < 0) v = 0;
        if (v > 255) v = 255;
        out[tx * 3 + c] = static_cast<uint8_t>(v);
      }
    }
  }
}

}  // namespace snapwick
