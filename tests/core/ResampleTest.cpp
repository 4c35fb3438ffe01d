#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <random>
#include <set>
#include <vector>

#include "imaging/ResampleKernels.h"
#include "imaging/cDIBSection.h"
#include "platform/Error.h"
#include "support/Fixtures.h"
#include "support/ReferenceResample.h"

namespace snapwick {
namespace {

using test::MakeSurface;
using test::PixelAt;
using test::Rgb;

// A surface whose pixel bytes (padding excluded) come from the generator.
cDIBSection RandomSurface(int32_t width, int32_t height, std::mt19937& rng) {
  cDIBSection dib;
  EXPECT_TRUE(dib.Create(width, height));
  const int32_t stride = dib.BytesPerScanLine();
  for (int32_t row = 0; row < height; ++row) {
    uint8_t* line = dib.DIBSectionBitsPtr() + static_cast<size_t>(row) * stride;
    // Eight bytes per draw (splitmix64 seeded from the generator): large pictures fill fast.
    uint64_t state = rng();
    for (int32_t b = 0; b < width * 3; b += 8) {
      uint64_t z = (state += 0x9E3779B97F4A7C15ull);
      z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
      z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
      z ^= z >> 31;
      std::memcpy(line + b, &z, std::min(8, width * 3 - b));
    }
  }
  return dib;
}

int32_t ResampleError(const cDIBSection& source, int32_t height, int32_t width) {
  try {
    source.Resample(height, width);
  } catch (const SnapError& e) {
    return e.Number();
  }
  return 0;
}

::testing::AssertionResult SameBytes(const cDIBSection& a, const cDIBSection& b) {
  if (a.Width() != b.Width() || a.Height() != b.Height()) {
    return ::testing::AssertionFailure() << "sizes differ";
  }
  const int32_t stride = a.BytesPerScanLine();
  for (int32_t row = 0; row < a.Height(); ++row) {
    const uint8_t* pa = a.DIBSectionBitsPtr() + static_cast<size_t>(row) * stride;
    const uint8_t* pb = b.DIBSectionBitsPtr() + static_cast<size_t>(row) * stride;
    for (int32_t i = 0; i < stride; ++i) {
      if (pa[i] != pb[i]) {
        return ::testing::AssertionFailure() << "memory row " << row << " byte " << i << ": "
                                             << int{pa[i]} << " vs " << int{pb[i]};
      }
    }
  }
  return ::testing::AssertionSuccess();
}

// Resamples with the program's resampler and with the plain reference and compares all bytes,
// padding included.
void ExpectSameAsReference(const cDIBSection& source, int32_t width, int32_t height) {
  SCOPED_TRACE(::testing::Message()
               << source.Width() << "x" << source.Height() << " -> " << width << "x" << height);
  const std::unique_ptr<cDIBSection> fast = source.Resample(height, width);
  ASSERT_NE(fast, nullptr);
  if (width == source.Width() && height == source.Height()) {
    EXPECT_TRUE(SameBytes(*fast, source));
    return;
  }
  cDIBSection reference;
  ASSERT_TRUE(reference.Create(width, height));
  test::ReferenceBilinearResample(source, reference);
  EXPECT_TRUE(SameBytes(*fast, reference));
}

TEST(Resample, WorkedExampleTwoByTwoToFourByTwo) {
  // Bottom row: (10, 20, 30) and (50, 60, 70) as blue, green, red; the top row black.
  const cDIBSection source = MakeSurface(2, 2, [](int32_t x, int32_t y) {
    if (y == 0) return Rgb{};
    return x == 0 ? Rgb{30, 20, 10} : Rgb{70, 60, 50};
  });
  const std::unique_ptr<cDIBSection> result = source.Resample(2, 4);
  ASSERT_NE(result, nullptr);
  ASSERT_EQ(result->Width(), 4);
  ASSERT_EQ(result->Height(), 2);
  const uint8_t* bottom = result->DIBSectionBitsPtr();
  const uint8_t expectedBottom[12] = {10, 20, 30, 20, 30, 40, 30, 40, 50, 40, 50, 60};
  EXPECT_EQ(std::memcmp(bottom, expectedBottom, 12), 0);
  const uint8_t* top = bottom + result->BytesPerScanLine();
  const uint8_t expectedTop[12] = {5, 10, 15, 10, 15, 20, 15, 20, 25, 20, 25, 30};
  EXPECT_EQ(std::memcmp(top, expectedTop, 12), 0);
}

TEST(Resample, HalvesRoundToEvenInBothPasses) {
  // 2 x 2 to 4 x 2: yScale 0.5, so target row 1 mixes the two rows half and half; xScale 0.25,
  // so target column 2 mixes the two columns half and half.
  const cDIBSection source = MakeSurface(2, 2, [](int32_t x, int32_t y) {
    // Memory row 0 is the bottom (y = 1).
    if (y == 1) return x == 0 ? Rgb{3, 2, 1} : Rgb{4, 3, 2};  // r, g, b
    return x == 0 ? Rgb{4, 3, 2} : Rgb{5, 4, 3};
  });
  const std::unique_ptr<cDIBSection> result = source.Resample(2, 4);
  ASSERT_NE(result, nullptr);
  // Column 0, target row 1: blue 1 and 2 -> 1.5 -> 2; green 2 and 3 -> 2.5 -> 2; red 3 and 4 -> 4.
  const uint8_t* top = result->DIBSectionBitsPtr() + result->BytesPerScanLine();
  EXPECT_EQ(top[0], 2);
  EXPECT_EQ(top[1], 2);
  EXPECT_EQ(top[2], 4);
  // Column 2, target row 0: blue 1 and 2 -> 2; green 2 and 3 -> 2; red 3 and 4 -> 4.
  const uint8_t* bottom = result->DIBSectionBitsPtr();
  EXPECT_EQ(bottom[6], 2);
  EXPECT_EQ(bottom[7], 2);
  EXPECT_EQ(bottom[8], 4);
  // Column 2, target row 1 rounds twice: blue left 2 (1.5), right 2 (2.5) -> 2; green left 2
  // (2.5), right 4 (3.5) -> 3; red left 4 (3.5), right 4 (4.5) -> 4.
  EXPECT_EQ(top[6], 2);
  EXPECT_EQ(top[7], 3);
  EXPECT_EQ(top[8], 4);
}

TEST(Resample, SameSizeIsAByteCopy) {
  std::mt19937 rng(7);
  const cDIBSection source = RandomSurface(161, 9, rng);
  const std::unique_ptr<cDIBSection> copy = source.Resample(9, 161);
  ASSERT_NE(copy, nullptr);
  EXPECT_NE(copy->DIBSectionBitsPtr(), source.DIBSectionBitsPtr());
  EXPECT_TRUE(SameBytes(*copy, source));
}

TEST(Resample, RefusesSourcesSmallerThanTwoByTwoAndEmptyTargets) {
  const cDIBSection single = MakeSurface(1, 1, test::Solid({9, 8, 7}));
  EXPECT_EQ(ResampleError(single, 2, 2), kErrSubscriptOutOfRange);
  const std::unique_ptr<cDIBSection> same = single.Resample(1, 1);
  ASSERT_NE(same, nullptr);
  EXPECT_EQ(PixelAt(*same, 0, 0), (Rgb{9, 8, 7}));

  EXPECT_EQ(ResampleError(MakeSurface(1, 5), 5, 3), kErrSubscriptOutOfRange);
  EXPECT_EQ(ResampleError(MakeSurface(5, 1), 3, 5), kErrSubscriptOutOfRange);

  cDIBSection empty;
  EXPECT_FALSE(empty.Create(0, 0));
  EXPECT_EQ(ResampleError(empty, 480, 640), kErrSubscriptOutOfRange);
  EXPECT_EQ(empty.Resample(0, 0), nullptr);

  const cDIBSection picture = MakeSurface(20, 10);
  EXPECT_EQ(picture.Resample(10, 0), nullptr);
  EXPECT_EQ(picture.Resample(0, 20), nullptr);
  EXPECT_EQ(picture.Resample(-5, 20), nullptr);
  EXPECT_NE(MakeSurface(2, 2).Resample(7, 9), nullptr);
}

TEST(Resample, LargeReductionNeverReadsPastTheLastSampledColumns) {
  // 1600 x 1200 to 160 x 120: xScale = 1599 / 160 stored single; column 159 samples at about
  // 1589.006, so columns 1589 and 1590 contribute and none beyond.
  const auto whiteFrom = [](int32_t first) {
    return MakeSurface(1600, 1200, [first](int32_t x, int32_t) {
      return x >= first ? Rgb{255, 255, 255} : Rgb{};
    });
  };
  const std::unique_ptr<cDIBSection> unaffected = whiteFrom(1591).Resample(120, 160);
  ASSERT_NE(unaffected, nullptr);
  const uint8_t* bits = unaffected->DIBSectionBitsPtr();
  EXPECT_TRUE(
      std::all_of(bits, bits + unaffected->Header().biSizeImage, [](uint8_t b) { return b == 0; }));

  const std::unique_ptr<cDIBSection> touched = whiteFrom(1590).Resample(120, 160);
  ASSERT_NE(touched, nullptr);
  // fx = 0.00625...: 255 x fx = 1.59 rounds to 2; column 158 stays black.
  EXPECT_EQ(PixelAt(*touched, 159, 60), (Rgb{2, 2, 2}));
  EXPECT_EQ(PixelAt(*touched, 158, 60), (Rgb{0, 0, 0}));
}

TEST(Resample, PositionsRoundedOntoTheLastColumnOrRowTakeIt) {
  // Targets wider (higher) than about 2^23 pixels: the last sampling position, stored single,
  // rounds up onto the last source column (row), whose right (upper) neighbour does not exist.
  const cDIBSection wide = MakeSurface(6, 2);
  const float xScale = static_cast<float>(5.0 / 9718272);
  ASSERT_EQ(static_cast<float>(static_cast<double>(xScale) * 9718271), 5.0f);
  const std::unique_ptr<cDIBSection> row = wide.Resample(1, 9718272);
  ASSERT_NE(row, nullptr);
  EXPECT_EQ(PixelAt(*row, 9718271, 0), test::Gradient(5, 1));

  const cDIBSection tall = MakeSurface(2, 6);
  const std::unique_ptr<cDIBSection> column = tall.Resample(9718272, 1);
  ASSERT_NE(column, nullptr);
  // Memory row 9718271 is the top row: it takes source memory row 5, the top (y = 0).
  EXPECT_EQ(PixelAt(*column, 0, 0), test::Gradient(0, 0));
}

TEST(Resample, MatchesThePlainVersionOnRandomSizes) {
  std::mt19937 rng(20240611);
  // Every combination of source and target padding, up and down, in both directions.
  for (int32_t sw = 2; sw < 10; ++sw) {
    for (int32_t tw = 1; tw < 10; ++tw) {
      ExpectSameAsReference(RandomSurface(sw, 3 + sw % 3, rng), tw, 1 + (sw + tw) % 5);
    }
  }
  // 2 x N and N x 2 sources and targets.
  for (int32_t n : {2, 3, 7, 64, 333}) {
    ExpectSameAsReference(RandomSurface(2, n, rng), 5, n / 2 + 1);
    ExpectSameAsReference(RandomSurface(n, 2, rng), n * 2 + 1, 3);
    ExpectSameAsReference(RandomSurface(n + 3, n + 1, rng), 2, n);
    ExpectSameAsReference(RandomSurface(n + 1, n + 3, rng), n, 2);
  }
  // Random sizes, reductions and enlargements.
  std::uniform_int_distribution<int32_t> side(2, 400);
  for (int i = 0; i < 150; ++i) {
    const int32_t sw = side(rng), sh = side(rng);
    ExpectSameAsReference(RandomSurface(sw, sh, rng), side(rng), side(rng));
  }
  // Strong enlargements, whose first columns and rows have weights with bits below 2^-24.
  ExpectSameAsReference(RandomSurface(3, 3, rng), 2001, 1499);
  ExpectSameAsReference(RandomSurface(2, 5, rng), 999, 4097);
  ExpectSameAsReference(RandomSurface(17, 13, rng), 5000, 3);
  // The program's large reductions.
  ExpectSameAsReference(RandomSurface(1600, 1200, rng), 160, 120);
  const cDIBSection photo = RandomSurface(4000, 3000, rng);
  ExpectSameAsReference(photo, 640, 480);
  ExpectSameAsReference(photo, 1600, 1200);
  ExpectSameAsReference(RandomSurface(2048, 1536, rng), 640, 480);
  ExpectSameAsReference(RandomSurface(3000, 1000, rng), 640, 213);
}

// The weights that the resampler's grid gives along a side from `source` to `target` pixels.
void CollectWeights(int32_t source, int32_t target, std::set<float>& weights) {
  const float scale = static_cast<float>(static_cast<double>(source - 1) / target);
  for (int32_t t = 0; t < target; ++t) {
    const float position = static_cast<float>(static_cast<double>(scale) * t);
    weights.insert(static_cast<float>(position - std::floor(position)));
  }
}

// The mix as the resampler is defined: in double precision, rounded to nearest, halves to even.
uint8_t PlainMix(uint8_t a, uint8_t b, float weight) {
  const double f = weight;
  const double v = (1 - f) * a + f * b;
  const int whole = static_cast<int>(v);
  const double fraction = v - whole;
  const bool up = fraction > 0.5 || (fraction == 0.5 && whole % 2 == 1);
  return static_cast<uint8_t>(whole + (up ? 1 : 0));
}

TEST(Resample, FixedPointMixEqualsTheDoubleMixForEveryBytePairAndWeightInUse) {
  std::set<float> weights{0.0f, 0.5f, 1.0f, 0.25f, 0.75f};
  for (const auto& [source, target] : std::vector<std::pair<int32_t, int32_t>>{{4000, 640},
                                                                               {3000, 480},
                                                                               {4000, 1600},
                                                                               {3000, 1200},
                                                                               {640, 1600},
                                                                               {480, 1200},
                                                                               {1600, 160},
                                                                               {1200, 120},
                                                                               {2048, 640},
                                                                               {1536, 480},
                                                                               {1000, 213}}) {
    CollectWeights(source, target, weights);
  }
  std::mt19937 rng(5);
  std::uniform_int_distribution<uint32_t> anyFixed(0, resample::kFixedOne);
  for (int i = 0; i < 200; ++i)
    weights.insert(static_cast<float>(anyFixed(rng)) / 16777216.0f);

  // All 65536 byte pairs, plus a tail that takes the narrower code paths.
  constexpr size_t kPairs = 65536 + 16 + 7;
  std::vector<uint8_t> a(kPairs), b(kPairs), out(kPairs), mixed(kPairs);
  for (size_t i = 0; i < kPairs; ++i) {
    a[i] = static_cast<uint8_t>(i & 0xFF);
    b[i] = static_cast<uint8_t>((i >> 8) & 0xFF);
  }
  std::vector<uint32_t> lo(kPairs), hi(kPairs);
  size_t checked = 0;
  for (const float weight : weights) {
    const int64_t fixed = resample::FixedWeight(weight);
    if (fixed < 0) continue;
    ++checked;
    const resample::PackedWeight packed = resample::PackWeight(static_cast<uint32_t>(fixed));
    resample::MixRun(a.data(), b.data(), out.data(), kPairs, packed);
    std::fill(lo.begin(), lo.end(), packed.lo);
    std::fill(hi.begin(), hi.end(), packed.hi);
    resample::MixRunWeighted(a.data(), b.data(), mixed.data(), kPairs, lo.data(), hi.data());
    for (size_t i = 0; i < kPairs; ++i) {
      const uint8_t expected = PlainMix(a[i], b[i], weight);
      if (out[i] != expected || mixed[i] != expected) {
        FAIL() << "weight " << weight << " a " << int{a[i]} << " b " << int{b[i]} << ": "
               << int{out[i]} << ", " << int{mixed[i]} << " instead of " << int{expected};
      }
    }
  }
  EXPECT_GT(checked, 6000u);
}

TEST(Resample, WeightsWithFinerBitsHaveNoFixedForm) {
  EXPECT_EQ(resample::FixedWeight(0.5f), 1 << 23);
  EXPECT_EQ(resample::FixedWeight(1.0f), 1 << 24);
  EXPECT_EQ(resample::FixedWeight(std::ldexp(1.0f, -24)), 1);
  EXPECT_EQ(resample::FixedWeight(std::ldexp(1.0f, -25)), -1);
  EXPECT_EQ(resample::FixedWeight(0.399375f), -1);  // 639 / 1600 stored single
  // ... and are mixed in double precision exactly as written.
  const float fine = 0.399375f;
  for (int a = 0; a < 256; a += 5) {
    for (int b = 0; b < 256; b += 3) {
      EXPECT_EQ(resample::MixDouble(a, b, 1 - double{fine}, fine),
                PlainMix(static_cast<uint8_t>(a), static_cast<uint8_t>(b), fine));
    }
  }
}

}  // namespace
}  // namespace snapwick
