#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "imaging/cDIBSection.h"

namespace snapwick::test {

struct Rgb {
  uint8_t r = 0, g = 0, b = 0;
  bool operator==(const Rgb&) const = default;
};

// Colour of pixel (x, y), counted from the top-left.
using Pattern = std::function<Rgb(int32_t x, int32_t y)>;

Rgb Gradient(int32_t x, int32_t y);  // red follows x, green follows y, blue their sum
Pattern Solid(Rgb colour);
// Photo-like detail: smooth gradients with noise, so that JPEG files come out near 4 bits/pixel.
Rgb PhotoLike(int32_t x, int32_t y);

// A surface of the given size filled with the pattern, and the colour of its pixel (x, y).
cDIBSection MakeSurface(int32_t width, int32_t height, const Pattern& pattern = Gradient);
Rgb PixelAt(const cDIBSection& surface, int32_t x, int32_t y);

// File bytes of generated pictures: JPEG (4:2:0, baseline or progressive; or a CMYK picture of
// no cyan, full magenta and yellow and no black, which is red, 4:4:4), 24-bit BMP, and GIF with
// each pixel put to the nearest of white, red (200, 30, 30), black and blue.
enum class JpegKind { Baseline, Progressive, CmykRed };
std::string MakeJpeg(int32_t width, int32_t height, const Pattern& pattern = Gradient,
                     int quality = 90, JpegKind kind = JpegKind::Baseline);
std::string MakeBmp(int32_t width, int32_t height, const Pattern& pattern = Gradient);
std::string MakeGif(int32_t width, int32_t height, const Pattern& pattern);
void WriteBytes(const std::string& path, const std::string& bytes);

// A JPEG file decoded into a surface (empty when it cannot be), and its size ({0, 0} then).
cDIBSection DecodeJpegFile(const std::string& path);
std::pair<int32_t, int32_t> JpegSize(const std::string& path);

}  // namespace snapwick::test
