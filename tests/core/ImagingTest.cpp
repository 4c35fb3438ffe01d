// The picture surface, the resampler, the orientation turns and the black check.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <random>

#include "imaging/BlackCheck.h"
#include "imaging/Orientation.h"
#include "imaging/cDIBSection.h"
#include "platform/Error.h"
#include "support/Fixtures.h"
#include "support/ReferenceResample.h"
#include "support/TestEnvironment.h"

namespace snapwick {
namespace {

using test::ErrorNumberOf;
using test::MakeSurface;
using test::PixelAt;
using test::Rgb;

bool SameBytes(const cDIBSection& a, const cDIBSection& b) {
  return a.Width() == b.Width() && a.Height() == b.Height() &&
         std::memcmp(a.DIBSectionBitsPtr(), b.DIBSectionBitsPtr(),
                     static_cast<size_t>(a.Header().biSizeImage)) == 0;
}

TEST(Surface, LayoutAndFailedCreates) {
  const std::pair<int32_t, int32_t> rows[] = {{1, 4},  {2, 8},  {3, 12},
                                              {4, 12}, {5, 16}, {160, 480}};
  for (const auto& [width, bytes] : rows) {
    cDIBSection dib;
    ASSERT_TRUE(dib.Create(width, 1));
    EXPECT_EQ(dib.BytesPerScanLine(), bytes) << width;
  }
  // Rows bottom-up, blue-green-red, padded: the first 8 bytes are the bottom row.
  const cDIBSection two = MakeSurface(2, 2, [](int32_t x, int32_t y) {
    return Rgb{static_cast<uint8_t>(10 + x + 2 * y), 20, 30};
  });
  const uint8_t expected[16] = {30, 20, 12, 30, 20, 13, 0, 0, 30, 20, 10, 30, 20, 11, 0, 0};
  ASSERT_EQ(two.Header().biSizeImage, 16);
  EXPECT_EQ(std::memcmp(two.DIBSectionBitsPtr(), expected, 16), 0);

  cDIBSection dib = MakeSurface(8, 8);
  EXPECT_FALSE(dib.Create(0, 7));
  EXPECT_FALSE(dib.IsCreated());
  EXPECT_EQ(dib.Width(), 0);
  EXPECT_EQ(dib.Height(), 7);
  // Width x 3 + 3 beyond 32 bits; then a row that fits times a height that does not.
  ASSERT_TRUE(dib.Create(4, 4));
  EXPECT_EQ(ErrorNumberOf([&] { dib.Create(715827882, 1); }), kErrOverflow);
  EXPECT_FALSE(dib.IsCreated());
  ASSERT_TRUE(dib.Create(4, 4));
  EXPECT_EQ(ErrorNumberOf([&] { dib.Create(100000, 100000); }), kErrOverflow);
  EXPECT_FALSE(dib.IsCreated());
  EXPECT_EQ(dib.Height(), 100000);
}

TEST(Resample, WorkedExamplesAndHalvesToEven) {
  // Bottom row (10, 20, 30) and (50, 60, 70) as blue, green, red; the top row black.
  const cDIBSection source = MakeSurface(2, 2, [](int32_t x, int32_t y) {
    if (y == 0) return Rgb{};
    return x == 0 ? Rgb{30, 20, 10} : Rgb{70, 60, 50};
  });
  const auto result = source.Resample(2, 4);
  ASSERT_TRUE(result && result->Width() == 4 && result->Height() == 2);
  const uint8_t expected[24] = {10, 20, 30, 20, 30, 40, 30, 40, 50, 40, 50, 60,
                                5,  10, 15, 10, 15, 20, 15, 20, 25, 20, 25, 30};
  EXPECT_EQ(std::memcmp(result->DIBSectionBitsPtr(), expected, 24), 0);  // bottom row first

  // Mixes of 1 and 2 (1.5) and of 2 and 3 (2.5) both give 2.
  const cDIBSection halves = MakeSurface(2, 2, [](int32_t, int32_t y) {
    return y == 1 ? Rgb{1, 2, 0} : Rgb{2, 3, 0};
  });
  const auto mixed = halves.Resample(2, 4);
  ASSERT_TRUE(mixed);
  EXPECT_EQ(PixelAt(*mixed, 0, 0), (Rgb{2, 2, 0}));  // top row: half of each source row
}

TEST(Resample, SameSizeCopiesAndRefusedSizes) {
  const cDIBSection picture = MakeSurface(161, 9, test::PhotoLike);
  const auto copy = picture.Resample(9, 161);
  ASSERT_TRUE(copy);
  EXPECT_NE(copy->DIBSectionBitsPtr(), picture.DIBSectionBitsPtr());
  EXPECT_TRUE(SameBytes(*copy, picture));

  const cDIBSection single = MakeSurface(1, 1, test::Solid({9, 8, 7}));
  EXPECT_EQ(ErrorNumberOf([&] { single.Resample(2, 2); }), kErrSubscriptOutOfRange);
  const auto same = single.Resample(1, 1);
  ASSERT_TRUE(same);
  EXPECT_EQ(PixelAt(*same, 0, 0), (Rgb{9, 8, 7}));
  cDIBSection empty;
  EXPECT_FALSE(empty.Create(0, 0));
  EXPECT_EQ(ErrorNumberOf([&] { empty.Resample(480, 640); }), kErrSubscriptOutOfRange);
  EXPECT_EQ(picture.Resample(9, 0), nullptr);
  EXPECT_EQ(picture.Resample(0, 161), nullptr);
}

TEST(Resample, MatchesThePlainVersion) {
  std::mt19937 rng(20240611);
  const auto random = [&rng](int32_t width, int32_t height) {
    cDIBSection dib;
    EXPECT_TRUE(dib.Create(width, height));
    std::uniform_int_distribution<int> byte(0, 255);
    for (int32_t row = 0; row < height; ++row) {
      uint8_t* line = dib.DIBSectionBitsPtr() + static_cast<size_t>(row) * dib.BytesPerScanLine();
      for (int32_t i = 0; i < width * 3; ++i)
        line[i] = static_cast<uint8_t>(byte(rng));
    }
    return dib;
  };
  std::vector<std::array<int32_t, 4>> sizes;  // source and target width and height
  // Every combination of source and target padding, up and down.
  for (int32_t sw = 2; sw < 10; ++sw) {
    for (int32_t tw = 1; tw < 10; ++tw)
      sizes.push_back({sw, 3 + sw % 3, tw, 1 + (sw + tw) % 5});
  }
  std::uniform_int_distribution<int32_t> side(2, 300);
  for (int i = 0; i < 60; ++i)
    sizes.push_back({side(rng), side(rng), side(rng), side(rng)});
  // Strong enlargements, whose first weights have bits below 2^-24, and the program's reductions.
  sizes.insert(sizes.end(), {{3, 3, 2001, 1499},
                             {17, 13, 5000, 3},
                             {1600, 1200, 160, 120},
                             {4000, 3000, 640, 480},
                             {2048, 1536, 640, 480},
                             {3000, 1000, 640, 213}});
  for (const auto& [sw, sh, tw, th] : sizes) {
    SCOPED_TRACE(testing::Message() << sw << "x" << sh << " -> " << tw << "x" << th);
    const cDIBSection source = random(sw, sh);
    const auto fast = source.Resample(th, tw);
    cDIBSection plain;
    ASSERT_TRUE(fast && plain.Create(tw, th));
    if (sw != tw || sh != th) test::ReferenceBilinearResample(source, plain);
    ASSERT_TRUE(SameBytes(*fast, sw == tw && sh == th ? source : plain));
  }
}

TEST(Orientation, EachValueTurnsThePictureUpright) {
  // Larger than a tile in both directions, with odd sizes.
  const int32_t w = 77, h = 45;
  const cDIBSection stored = MakeSurface(w, h, test::PhotoLike);
  // Orientation, then whether upright x and y swap roles, and whether x and y are mirrored.
  const int cases[][4] = {{2, 0, 1, 0}, {3, 0, 1, 1}, {4, 0, 0, 1}, {5, 1, 0, 0},
                          {6, 1, 0, 1}, {7, 1, 1, 1}, {8, 1, 1, 0}};
  for (const auto& [orientation, swap, mirrorX, mirrorY] : cases) {
    SCOPED_TRACE(orientation);
    cDIBSection upright;
    ASSERT_TRUE(TurnUpright(stored, orientation, upright));
    ASSERT_EQ(upright.Width(), swap ? h : w);
    ASSERT_EQ(upright.Height(), swap ? w : h);
    for (int32_t y = 0; y < upright.Height(); ++y) {
      for (int32_t x = 0; x < upright.Width(); ++x) {
        const int32_t u = swap ? y : x, v = swap ? x : y;
        ASSERT_EQ(PixelAt(upright, x, y),
                  PixelAt(stored, mirrorX ? w - 1 - u : u, mirrorY ? h - 1 - v : v))
            << x << "," << y;
      }
    }
  }
  cDIBSection dest;
  for (int32_t value : {0, 1, 9, -6})
    EXPECT_FALSE(TurnUpright(stored, value, dest)) << value;
  EXPECT_FALSE(dest.IsCreated());
}

TEST(BlackCheck, DarkerInEveryChannelAndTheVerdict) {
  const auto colour = [](int r, int g, int b) { return r | (g << 8) | (b << 16); };
  EXPECT_TRUE(Darker(colour(2, 2, 2), kBlackMargin));
  EXPECT_FALSE(Darker(colour(3, 0, 0), kBlackMargin));
  EXPECT_FALSE(Darker(colour(0, 3, 0), kBlackMargin));
  EXPECT_FALSE(Darker(colour(0, 0, 3), kBlackMargin));
  EXPECT_TRUE(Darker(-1, kBlackMargin));  // a point outside the picture
  EXPECT_FALSE(IsBlackRatio(0.99));
  EXPECT_TRUE(IsBlackRatio(0.995));
  EXPECT_EQ(BlackVerdictText(true, 1), "Black Picture  1");
  EXPECT_EQ(BlackVerdictText(false, 1.0 / 3), "Non Black Picture  0.333333333333333");
  test::ScopedLocale german("de_DE");
  EXPECT_EQ(BlackVerdictText(true, 0.995), "Black Picture  0,995");
  EXPECT_EQ(BlackVerdictText(false, 0.99), "Non Black Picture  0,99");
}

}  // namespace
}  // namespace snapwick
