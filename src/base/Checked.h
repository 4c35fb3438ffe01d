#pragma once

#include <cmath>
#include <cstdint>

#include "base/Error.h"

// Whole-number arithmetic that raises an overflow error instead of wrapping around.
namespace snapwick::checked {

inline int32_t Add(int32_t a, int32_t b) {
  int32_t r;
  if (__builtin_add_overflow(a, b, &r)) RaiseError(kErrOverflow);
  return r;
}

inline int32_t Sub(int32_t a, int32_t b) {
  int32_t r;
  if (__builtin_sub_overflow(a, b, &r)) RaiseError(kErrOverflow);
  return r;
}

inline int32_t Mul(int32_t a, int32_t b) {
  int32_t r;
  if (__builtin_mul_overflow(a, b, &r)) RaiseError(kErrOverflow);
  return r;
}

// Narrows a wider value to 32 bits, or raises an overflow error.
inline int32_t To32(int64_t v) {
  if (v < INT32_MIN || v > INT32_MAX) RaiseError(kErrOverflow);
  return static_cast<int32_t>(v);
}

// Narrows to a signed 16-bit value, or raises an overflow error.
inline int16_t To16(int64_t v) {
  if (v < INT16_MIN || v > INT16_MAX) RaiseError(kErrOverflow);
  return static_cast<int16_t>(v);
}

// Rounds to the nearest whole number, halves to the even neighbour, and narrows to 32 bits; a
// value outside the 32-bit range (or not a number) raises an overflow error.
inline int32_t Round32(double v) {
  const double r = std::nearbyint(v);
  if (!(r >= -2147483648.0 && r <= 2147483647.0)) RaiseError(kErrOverflow);
  return static_cast<int32_t>(r);
}

}  // namespace snapwick::checked
