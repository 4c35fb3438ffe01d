#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "support/Fixtures.h"

namespace snapwick::test {

// Where the segments of a JPEG file start: the offset of each marker (0xFF and its code) from
// the one after SOI up to EOI, and where the entropy-coded data of each scan lies.
struct JpegLayout {
  struct Marker {
    size_t offset;
    uint8_t code;
  };
  std::vector<Marker> markers;
  std::vector<std::pair<size_t, size_t>> scans;  // [first byte, one past the last] of each scan
};
JpegLayout ReadJpegLayout(const std::string& jpeg);

// A progressive JPEG of a generated picture.
std::string MakeProgressiveJpeg(int32_t width, int32_t height, const Pattern& pattern = Gradient);
// A CMYK JPEG of one colour, with the inks stored inverted as most programs write them (255 is
// no ink).
std::string MakeCmykJpeg(int32_t width, int32_t height, uint8_t c, uint8_t m, uint8_t y, uint8_t k);
// The JPEG with its frame header changed: the frame marker's code (0xC0 baseline, 0xC1
// extended, 0xC3 lossless), the sample precision and the size it claims.
std::string WithFrame(std::string jpeg, uint8_t code, uint8_t precision, uint16_t width,
                      uint16_t height);

// Writes a little-endian 32-bit or 16-bit value into a byte string.
void Put32(std::string& bytes, size_t at, uint32_t value);
void Put16(std::string& bytes, size_t at, uint16_t value);

}  // namespace snapwick::test
