#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>

// The arithmetic of the bilinear resampler: mixing two bytes a and b with a weight f, as
// a x (1 - f) + b x f rounded to the nearest whole number, halves to even.
//
// f is a single-precision number in [0, 1]. When f x 2^24 is a whole number F, the mix is exactly
// (a x (2^24 - F) + b x F) / 2^24, whose numerator is below 255 x 2^24 < 2^32: it is computed in
// 32-bit integers and rounded with a shift. Worked in double precision (1 - f, the two products
// and their sum, as the resampler is defined) every intermediate needs at most 24 + 8 + 1 bits,
// so that is exact as well and both forms give the same byte. A weight with finer bits (only the
// first columns or rows of a strong enlargement) is mixed in double precision as written.
namespace snapwick::resample {

inline constexpr int kFixedBits = 24;
inline constexpr uint32_t kFixedOne = 1u << kFixedBits;

// The two weights (2^24 - F, F) of a mix, split into 12-bit halves and laid out as pairs of
// 16-bit numbers for a multiply-add with (a, b) pairs: lo holds the low halves, hi the high ones.
struct PackedWeight {
  uint32_t lo;
  uint32_t hi;
};

inline PackedWeight PackWeight(uint32_t fixed) {
  const uint32_t w0 = kFixedOne - fixed, w1 = fixed;
  return {(w0 & 0xFFF) | ((w1 & 0xFFF) << 16), (w0 >> 12) | ((w1 >> 12) << 16)};
}

// F = f x 2^24 when that is a whole number, otherwise -1.
inline int64_t FixedWeight(float weight) {
  const double scaled = static_cast<double>(weight) * kFixedOne;
  const int64_t whole = static_cast<int64_t>(scaled);
  return static_cast<double>(whole) == scaled ? whole : -1;
}

inline uint8_t MixFixed(uint32_t a, uint32_t b, uint32_t lo, uint32_t hi) {
  const uint32_t w0 = (lo & 0xFFF) | ((hi & 0xFFFF) << 12);
  const uint32_t w1 = (lo >> 16) | ((hi >> 16) << 12);
  const uint32_t n = a * w0 + b * w1;
  return static_cast<uint8_t>((n + (kFixedOne / 2 - 1) + ((n >> kFixedBits) & 1)) >> kFixedBits);
}

// a x w0 + b x w1 in double precision, rounded to the nearest whole number with halves to even
// (adding 2^52 + 2^51 leaves the rounded value in the low bits) and clamped to a byte.
inline uint8_t MixDouble(double a, double b, double w0, double w1) {
  constexpr double kRoundMagic = 6755399441055744.0;
  const double rounded = (w0 * a + w1 * b) + kRoundMagic;
  const int64_t whole = std::bit_cast<int64_t>(rounded) - std::bit_cast<int64_t>(kRoundMagic);
  return static_cast<uint8_t>(whole < 0 ? 0 : (whole > 255 ? 255 : whole));
}

// out[i] = mix of a[i] and b[i] for i < n, all with one weight.
void MixRun(const uint8_t* a, const uint8_t* b, uint8_t* out, size_t n, PackedWeight weight);
// The same with a weight of its own for every byte, lo[i] and hi[i].
void MixRunWeighted(const uint8_t* a, const uint8_t* b, uint8_t* out, size_t n, const uint32_t* lo,
                    const uint32_t* hi);

}  // namespace snapwick::resample
