#include <gtest/gtest.h>

#include <cstring>

#include "imaging/cDIBSection.h"
#include "platform/Error.h"
#include "support/Fixtures.h"

namespace snapwick {
namespace {

using test::MakeSurface;
using test::PixelAt;
using test::Rgb;

int32_t ErrorNumberOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const SnapError& e) {
    return e.Number();
  }
  return 0;
}

TEST(DIBSection, RowSizeIsThreeBytesPerPixelPaddedToFour) {
  const std::pair<int32_t, int32_t> cases[] = {{1, 4},  {2, 8},  {3, 12},
                                               {4, 12}, {5, 16}, {160, 480}};
  for (const auto& [width, bytes] : cases) {
    cDIBSection dib;
    ASSERT_TRUE(dib.Create(width, 1));
    EXPECT_EQ(dib.BytesPerScanLine(), bytes) << "width " << width;
    EXPECT_EQ(dib.Header().biSizeImage, bytes);
  }
}

TEST(DIBSection, RowsLieBottomUpInBlueGreenRedOrder) {
  const cDIBSection dib = MakeSurface(2, 2, [](int32_t x, int32_t y) {
    return Rgb{static_cast<uint8_t>(10 + x + 2 * y), static_cast<uint8_t>(20 + x + 2 * y),
               static_cast<uint8_t>(30 + x + 2 * y)};
  });
  const BitmapInfoHeader& header = dib.Header();
  EXPECT_EQ(header.biSize, 40);
  EXPECT_EQ(header.biPlanes, 1);
  EXPECT_EQ(header.biBitCount, 24);
  EXPECT_EQ(header.biCompression, 0);
  EXPECT_EQ(header.biSizeImage, 16);
  // The first 8 bytes are the bottom row (y = 1): pixels (0, 1) and (1, 1), then 2 padding bytes.
  const uint8_t expected[16] = {32, 22, 12, 33, 23, 13, 0, 0, 30, 20, 10, 31, 21, 11, 0, 0};
  EXPECT_EQ(std::memcmp(dib.DIBSectionBitsPtr(), expected, 16), 0);
}

TEST(DIBSection, FailedCreateLeavesItEmptyWithTheRequestedSize) {
  cDIBSection dib;
  ASSERT_TRUE(dib.Create(8, 8));
  EXPECT_FALSE(dib.Create(0, 7));
  EXPECT_FALSE(dib.IsCreated());
  EXPECT_EQ(dib.DIBSectionBitsPtr(), nullptr);
  EXPECT_EQ(dib.Width(), 0);
  EXPECT_EQ(dib.Height(), 7);

  EXPECT_FALSE(dib.Create(-3, 4));
  EXPECT_FALSE(dib.IsCreated());
  EXPECT_EQ(dib.Width(), -3);
  EXPECT_EQ(dib.Height(), 4);
}

TEST(DIBSection, SizesBeyond32BitsOverflowAndEmptyTheSurface) {
  cDIBSection dib;
  ASSERT_TRUE(dib.Create(4, 4));
  // Width x 3 + 3 beyond 2,147,483,647.
  EXPECT_EQ(ErrorNumberOf([&] { dib.Create(715827882, 1); }), kErrOverflow);
  EXPECT_FALSE(dib.IsCreated());
  EXPECT_EQ(dib.Width(), 715827882);
  EXPECT_EQ(ErrorNumberOf([&] { dib.BytesPerScanLine(); }), kErrOverflow);

  // A row that fits, times the height, does not.
  ASSERT_TRUE(dib.Create(4, 4));
  EXPECT_EQ(ErrorNumberOf([&] { dib.CreateForOverwrite(100000, 100000); }), kErrOverflow);
  EXPECT_FALSE(dib.IsCreated());
  EXPECT_EQ(dib.Height(), 100000);
  // The largest width whose row fits is accepted by the size check.
  EXPECT_EQ(ErrorNumberOf([&] { dib.Create(715827881, 0); }), 0);
}

TEST(DIBSection, ClearUpTwiceIsHarmlessAndKeepsTheHeader) {
  cDIBSection dib;
  dib.ClearUp();
  EXPECT_FALSE(dib.IsCreated());
  ASSERT_TRUE(dib.Create(5, 3));
  dib.ClearUp();
  dib.ClearUp();
  EXPECT_FALSE(dib.IsCreated());
  EXPECT_EQ(dib.Width(), 5);
  EXPECT_EQ(dib.Height(), 3);
  EXPECT_TRUE(dib.Create(2, 2));
}

TEST(DIBSection, CreateFromKeepsSizeAndPixelsWithTheTopLeftInTheLastRow) {
  const cDIBSection picture = MakeSurface(640, 480);
  cDIBSection dib;
  dib.CreateFrom(picture);
  ASSERT_TRUE(dib.IsCreated());
  EXPECT_EQ(dib.Width(), 640);
  EXPECT_EQ(dib.Height(), 480);
  EXPECT_EQ(dib.BytesPerScanLine(), 1920);
  const Rgb topLeft = test::Gradient(0, 0);
  const uint8_t* lastRow = dib.DIBSectionBitsPtr() + 479 * 1920;
  EXPECT_EQ((Rgb{lastRow[2], lastRow[1], lastRow[0]}), topLeft);
  EXPECT_EQ(std::memcmp(dib.DIBSectionBitsPtr(), picture.DIBSectionBitsPtr(), 1920 * 480), 0);
}

TEST(DIBSection, CreateFromAnEmptiedSourceGivesAnEmptySurface) {
  cDIBSection picture = MakeSurface(64, 48);
  picture.ClearUp();  // the header still says 64 x 48
  cDIBSection dib = MakeSurface(8, 8);
  dib.CreateFrom(picture);
  EXPECT_FALSE(dib.IsCreated());
  EXPECT_EQ(dib.Width(), 0);
  EXPECT_EQ(dib.Height(), 0);
}

TEST(DIBSection, BlockCopiesAreClippedToBothSurfaces) {
  const cDIBSection source = MakeSurface(10, 8);
  cDIBSection dest = MakeSurface(6, 5, test::Solid({1, 2, 3}));

  // Source origin (7, 6): only a 3 x 2 corner exists.
  dest.LoadPictureBlt(source, 7, 6);
  for (int32_t y = 0; y < 5; ++y) {
    for (int32_t x = 0; x < 6; ++x) {
      const Rgb expected = (x < 3 && y < 2) ? test::Gradient(7 + x, 6 + y) : Rgb{1, 2, 3};
      EXPECT_EQ(PixelAt(dest, x, y), expected) << x << "," << y;
    }
  }

  // Negative origins and sizes far beyond either surface.
  cDIBSection target = MakeSurface(6, 5, test::Solid({1, 2, 3}));
  source.PaintPicture(target, -2, 3, 1000, 1000, 0, 0);
  for (int32_t y = 0; y < 5; ++y) {
    for (int32_t x = 0; x < 6; ++x) {
      const Rgb expected = (y >= 3) ? test::Gradient(x + 2, y - 3) : Rgb{1, 2, 3};
      EXPECT_EQ(PixelAt(target, x, y), expected) << x << "," << y;
    }
  }
  // Entirely outside: nothing happens.
  const cDIBSection before = MakeSurface(6, 5, test::Solid({1, 2, 3}));
  cDIBSection untouched = MakeSurface(6, 5, test::Solid({1, 2, 3}));
  BlockCopy(source, 10, 0, untouched, 0, 0, 5, 5);
  BlockCopy(source, 0, 0, untouched, -6, 0, 6, 5);
  BlockCopy(source, INT32_MIN, INT32_MIN, untouched, INT32_MAX, 0, INT32_MAX, INT32_MAX);
  EXPECT_EQ(std::memcmp(untouched.DIBSectionBitsPtr(), before.DIBSectionBitsPtr(),
                        before.Header().biSizeImage),
            0);
  // The padding of the target rows is never written.
  EXPECT_EQ(target.DIBSectionBitsPtr()[18], 0);
  EXPECT_EQ(target.DIBSectionBitsPtr()[19], 0);
}

TEST(DIBSection, OverlappingCopyWithinOneSurfaceReadsEachRowBeforeOverwritingIt) {
  for (int32_t shift : {-2, -1, 1, 2}) {
    cDIBSection dib = MakeSurface(4, 6);
    BlockCopy(dib, 0, 2, dib, 0, 2 + shift, 4, 2);
    for (int32_t y = 0; y < 2; ++y) {
      for (int32_t x = 0; x < 4; ++x) {
        EXPECT_EQ(PixelAt(dib, x, 2 + shift + y), test::Gradient(x, 2 + y)) << shift;
      }
    }
  }
}

TEST(DIBSection, RandomFillLeavesPaddingAlone) {
  cDIBSection grey;
  ASSERT_TRUE(grey.Create(5, 7));
  grey.RandomiseBits(true);
  cDIBSection colour;
  ASSERT_TRUE(colour.Create(5, 7));
  colour.RandomiseBits(false);
  bool anyNonZero = false;
  for (int32_t row = 0; row < 7; ++row) {
    const uint8_t* g = grey.DIBSectionBitsPtr() + row * 16;
    const uint8_t* c = colour.DIBSectionBitsPtr() + row * 16;
    for (int32_t x = 0; x < 15; x += 3) {
      EXPECT_EQ(g[x], g[x + 1]);
      EXPECT_EQ(g[x], g[x + 2]);
      EXPECT_EQ(c[x], 0);
      anyNonZero = anyNonZero || g[x] != 0 || c[x + 1] != 0 || c[x + 2] != 0;
    }
    EXPECT_EQ(g[15], 0);
    EXPECT_EQ(c[15], 0);
  }
  EXPECT_TRUE(anyNonZero);
}

}  // namespace
}  // namespace snapwick
