#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "imaging/Orientation.h"
#include "support/Fixtures.h"

namespace snapwick {
namespace {

using test::Rgb;

// Every pixel of a 5 x 3 picture has its own colour, so that each turn can be checked exactly.
Rgb Numbered(int32_t x, int32_t y) {
  return Rgb{static_cast<uint8_t>(x), static_cast<uint8_t>(y), 7};
}

TEST(Orientation, EachValueTurnsThePictureUpright) {
  const cDIBSection stored = test::MakeSurface(5, 3, Numbered);
  struct Case {
    int32_t orientation;
    int32_t width, height;
    // The stored pixel that upright pixel (x, y) shows.
    std::function<std::pair<int, int>(int, int)> from;
  };
  const Case cases[] = {
      {2, 5, 3,
       [](int x, int y) {
         return std::pair{4 - x, y};
       }},
      {3, 5, 3,
       [](int x, int y) {
         return std::pair{4 - x, 2 - y};
       }},
      {4, 5, 3,
       [](int x, int y) {
         return std::pair{x, 2 - y};
       }},
      {5, 3, 5,
       [](int x, int y) {
         return std::pair{y, x};
       }},
      {6, 3, 5,
       [](int x, int y) {
         return std::pair{y, 2 - x};
       }},
      {7, 3, 5,
       [](int x, int y) {
         return std::pair{4 - y, 2 - x};
       }},
      {8, 3, 5,
       [](int x, int y) {
         return std::pair{4 - y, x};
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.orientation);
    cDIBSection upright;
    ASSERT_TRUE(TurnUpright(stored, c.orientation, upright));
    ASSERT_EQ(upright.Width(), c.width);
    ASSERT_EQ(upright.Height(), c.height);
    for (int y = 0; y < c.height; ++y) {
      for (int x = 0; x < c.width; ++x) {
        const auto [sx, sy] = c.from(x, y);
        EXPECT_EQ(test::PixelAt(upright, x, y), Numbered(sx, sy)) << x << "," << y;
      }
    }
  }
}

TEST(Orientation, OneAndUnknownValuesChangeNothing) {
  const cDIBSection stored = test::MakeSurface(5, 3, Numbered);
  cDIBSection dest;
  for (int32_t value : {0, 1, 9, -6, 65535})
    EXPECT_FALSE(TurnUpright(stored, value, dest)) << value;
  EXPECT_FALSE(dest.IsCreated());
}

TEST(Orientation, QuarterTurnsOfALargePictureAgreeWithThePixelRule) {
  // Larger than one tile in both directions, with odd sizes.
  const cDIBSection stored = test::MakeSurface(77, 45, test::PhotoLike);
  cDIBSection six, eight, back;
  ASSERT_TRUE(TurnUpright(stored, 6, six));
  ASSERT_TRUE(TurnUpright(six, 8, back));
  EXPECT_EQ(0, std::memcmp(back.DIBSectionBitsPtr(), stored.DIBSectionBitsPtr(),
                           static_cast<size_t>(stored.Header().biSizeImage)));
  ASSERT_TRUE(TurnUpright(stored, 8, eight));
  EXPECT_EQ(test::PixelAt(eight, 0, 0), test::PixelAt(stored, 76, 0));
  EXPECT_EQ(test::PixelAt(six, 0, 0), test::PixelAt(stored, 0, 44));
}

}  // namespace
}  // namespace snapwick
