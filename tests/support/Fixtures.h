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

// A few patterns for generated pictures.
Rgb Gradient(int32_t x, int32_t y);  // red follows x, green follows y, blue their sum
Pattern Solid(Rgb colour);
// Photo-like detail: smooth gradients with noise, so that JPEG files come out near 4 bits/pixel.
Rgb PhotoLike(int32_t x, int32_t y);

// A surface of the given size filled with the pattern.
cDIBSection MakeSurface(int32_t width, int32_t height, const Pattern& pattern = Gradient);
// The colour of pixel (x, y) of a surface, counted from the top-left.
Rgb PixelAt(const cDIBSection& surface, int32_t x, int32_t y);

// JPEG file bytes of a generated picture (4:2:0, the given quality).
std::string MakeJpeg(int32_t width, int32_t height, const Pattern& pattern = Gradient,
                     int quality = 90);
// A 24-bit uncompressed BMP file of a generated picture.
std::string MakeBmp(int32_t width, int32_t height, const Pattern& pattern = Gradient);
// A GIF file of a generated picture, each pixel put to the nearest of white, red (200, 30, 30),
// black and blue.
std::string MakeGif(int32_t width, int32_t height, const Pattern& pattern);
// Writes bytes to a file.
void WriteBytes(const std::string& path, const std::string& bytes);

// Decodes a JPEG file into a surface (TurboJPEG); an empty surface when it cannot.
cDIBSection DecodeJpegFile(const std::string& path);
// Width and height of a JPEG file, or {0, 0}.
std::pair<int32_t, int32_t> JpegSize(const std::string& path);

}  // namespace snapwick::test
