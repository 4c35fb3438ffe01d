#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

#include "base/Error.h"
#include "imaging/ResampleKernels.h"
#include "imaging/cDIBSection.h"

// Bilinear resampling, two passes per channel: a vertical mix of two source rows, rounded to a
// whole number, then a horizontal mix of the two results, rounded again (ResampleKernels.h).
//
// Work per target row: gather the two source pixels of every target column (left and right, in
// two contiguous runs) from the two source rows, mix the rows, then mix left and right with each
// column's weight. When the source is not much wider than the target, the whole source rows are
// mixed first and the pixel pairs gathered from the mixed row instead.

namespace snapwick {

using resample::FixedWeight;
using resample::MixDouble;
using resample::PackedWeight;
using resample::PackWeight;

namespace {

// Copies the left pixel (3 bytes at offset k) and the right pixel (at k + 3) of every target
// column into two runs of 3 bytes per column. Each run needs one byte of room past 3 x columns.
// Columns from firstInner on have k >= 3, so that the 8 bytes from k - 2 end with the right
// pixel; the columns before read 4 bytes at k and at k + 2. The same places of prefetchRow are
// meanwhile fetched into the cache (the row itself when there is nothing to fetch).
void GatherPairs(const uint8_t* row, const uint32_t* offsets, size_t columns, size_t firstInner,
                 uint8_t* left, uint8_t* right, const uint8_t* prefetchRow) {
  if constexpr (std::endian::native == std::endian::little) {
    size_t tx = 0;
    for (; tx < firstInner; ++tx) {
      const uint8_t* pixel = row + offsets[tx];
      uint32_t l, r;
      std::memcpy(&l, pixel, 4);      // blue, green, red, and the right pixel's blue
      std::memcpy(&r, pixel + 2, 4);  // left red, then the right pixel: never past it
      r >>= 8;
      std::memcpy(left + 3 * tx, &l, 4);
      std::memcpy(right + 3 * tx, &r, 4);
    }
    for (; tx < columns; ++tx) {
      __builtin_prefetch(prefetchRow + offsets[tx]);
      uint64_t both;
      std::memcpy(&both, row + offsets[tx] - 2, 8);
      const uint32_t l = static_cast<uint32_t>(both >> 16), r = static_cast<uint32_t>(both >> 40);
      std::memcpy(left + 3 * tx, &l, 4);
      std::memcpy(right + 3 * tx, &r, 4);
    }
  } else {
    for (size_t tx = 0; tx < columns; ++tx) {
      std::memcpy(left + 3 * tx, row + offsets[tx], 3);
      std::memcpy(right + 3 * tx, row + offsets[tx] + 3, 3);
    }
  }
}

// Where one target column or row samples the source: the source column (row) at or below the
// sampling position, and the weight of the next one. A position on or past the last source
// column takes the last column itself (at the next-to-last with weight 1), so that no read
// goes past the picture.
struct Sample {
  int32_t whole;
  float weight;
};

Sample SampleAt(float scale, int32_t target, int32_t lastWhole) {
  const float position = static_cast<float>(static_cast<double>(scale) * target);
  const int32_t whole = static_cast<int32_t>(std::floor(position));
  if (whole > lastWhole) return {lastWhole, 1.0f};
  return {whole, static_cast<float>(position - whole)};
}

// The grid along one side: scale = (source - 1) / target in double precision, stored single.
// A weight is the fraction of a single-precision position p = scale x t; from p = 1/2 on the
// bits of p stop at 2^-24 at the finest, so only positions below 1/2 (the first columns or rows
// of an enlargement) can give a weight without a 24-bit form.
float ScaleOf(int32_t source, int32_t target) {
  return static_cast<float>(static_cast<double>(source - 1) / target);
}

// Mixes n bytes of two runs with a weight; one that has no 24-bit form in double precision.
void MixWithWeight(const uint8_t* a, const uint8_t* b, uint8_t* out, size_t n, float weight) {
  const int64_t fixed = FixedWeight(weight);
  if (fixed >= 0) {
    resample::MixRun(a, b, out, n, PackWeight(static_cast<uint32_t>(fixed)));
  } else {
    const double w1 = weight, w0 = 1 - w1;
    for (size_t i = 0; i < n; ++i)
      out[i] = MixDouble(a[i], b[i], w0, w1);
  }
}

}  // namespace

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
  if (!target.IsCreated()) return;
  const int32_t w = target.Width(), h = target.Height();
  const size_t srcStride = static_cast<size_t>(BytesPerScanLine());
  const size_t dstStride = static_cast<size_t>(target.BytesPerScanLine());
  const size_t srcBytes = 3 * static_cast<size_t>(W);
  const size_t dstBytes = 3 * static_cast<size_t>(w);

  // Per target column: where its left source pixel starts, and the weight of each of its bytes.
  // Columns whose weight has no 24-bit form are mixed again afterwards in double precision.
  std::vector<uint32_t> offsets(w);
  std::vector<uint32_t> weightLo(dstBytes), weightHi(dstBytes);
  std::vector<std::pair<size_t, float>> finerColumns;
  size_t firstInner = static_cast<size_t>(w);  // first column whose left pixel is not column 0
  const float xScale = ScaleOf(W, w);
  for (int32_t tx = 0; tx < w; ++tx) {
    const Sample s = SampleAt(xScale, tx, W - 2);
    offsets[tx] = 3 * static_cast<uint32_t>(s.whole);
    if (s.whole > 0 && firstInner == static_cast<size_t>(w)) firstInner = static_cast<size_t>(tx);
    const int64_t fixed = FixedWeight(s.weight);
    if (fixed < 0) finerColumns.emplace_back(3 * static_cast<size_t>(tx), s.weight);
    const PackedWeight weight = PackWeight(fixed < 0 ? 0 : static_cast<uint32_t>(fixed));
    for (size_t at = 3 * static_cast<size_t>(tx); at < 3 * static_cast<size_t>(tx) + 3; ++at) {
      weightLo[at] = weight.lo;
      weightHi[at] = weight.hi;
    }
  }

  // Mixing whole source rows first pays when there are few source bytes per target pixel.
  const bool rowsFirst = srcBytes <= 4 * dstBytes;
  // Runs of left and right pixels, with room for the 4-byte stores of the gathering.
  const size_t run = dstBytes + 4;
  std::vector<uint8_t> lowerPairs(2 * run), upperPairs, mixed;
  if (rowsFirst) {
    mixed.resize(srcBytes);
  } else {
    upperPairs.resize(2 * run);
    mixed.resize(2 * run);
  }

  const uint8_t* src = m_pBits;
  uint8_t* dst = target.DIBSectionBitsPtr();
  const float yScale = ScaleOf(H, h);
  int32_t gatheredRow = -1;
  for (int32_t ty = 0; ty < h; ++ty) {
    const Sample s = SampleAt(yScale, ty, H - 2);
    const uint8_t* lower = src + static_cast<size_t>(s.whole) * srcStride;
    const uint8_t* upper = lower + srcStride;

    const uint8_t *left, *right;
    if (rowsFirst) {
      MixWithWeight(lower, upper, mixed.data(), srcBytes, s.weight);
      GatherPairs(mixed.data(), offsets.data(), w, firstInner, lowerPairs.data(),
                  lowerPairs.data() + run, mixed.data());  // whole rows stream in by themselves
      left = lowerPairs.data();
      right = lowerPairs.data() + run;
    } else {
      if (s.whole != gatheredRow) {
        // The source rows of the next target row are fetched into the cache meanwhile.
        const int32_t next = SampleAt(yScale, std::min(ty + 1, h - 1), H - 2).whole;
        const uint8_t* nextLower = src + static_cast<size_t>(next) * srcStride;
        GatherPairs(lower, offsets.data(), w, firstInner, lowerPairs.data(),
                    lowerPairs.data() + run, nextLower);
        GatherPairs(upper, offsets.data(), w, firstInner, upperPairs.data(),
                    upperPairs.data() + run, nextLower + srcStride);
        gatheredRow = s.whole;
      }
      // Both runs at once: left pixels, a few bytes of room, right pixels.
      MixWithWeight(lowerPairs.data(), upperPairs.data(), mixed.data(), run + dstBytes, s.weight);
      left = mixed.data();
      right = mixed.data() + run;
    }

    uint8_t* out = dst + static_cast<size_t>(ty) * dstStride;
    resample::MixRunWeighted(left, right, out, dstBytes, weightLo.data(), weightHi.data());
    for (const auto& [at, weight] : finerColumns) {
      const double w1 = weight, w0 = 1 - w1;
      for (size_t c = at; c < at + 3; ++c)
        out[c] = MixDouble(left[c], right[c], w0, w1);
    }
  }
}

void WidenThinSurface(cDIBSection& surface) {
  const int32_t width = surface.Width(), height = surface.Height();
  const int32_t wideWidth = std::max(width, 2), wideHeight = std::max(height, 2);
  cDIBSection wide;
  if (!wide.Create(wideWidth, wideHeight)) RaiseError(kErrOutOfMemory);
  const size_t inStride = static_cast<size_t>(surface.BytesPerScanLine());
  const size_t outStride = static_cast<size_t>(wide.BytesPerScanLine());
  const uint8_t* in = surface.DIBSectionBitsPtr();
  uint8_t* out = wide.DIBSectionBitsPtr();
  for (int32_t y = 0; y < wideHeight; ++y) {
    const uint8_t* from = in + static_cast<size_t>(std::min(y, height - 1)) * inStride;
    uint8_t* to = out + static_cast<size_t>(y) * outStride;
    if (width >= 2) {
      std::memcpy(to, from, static_cast<size_t>(width) * 3);
    } else {
      for (int32_t x = 0; x < wideWidth; ++x, to += 3) {
        to[0] = from[0];
        to[1] = from[1];
        to[2] = from[2];
      }
    }
  }
  surface = std::move(wide);
}

}  // namespace snapwick
