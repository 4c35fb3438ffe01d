#pragma once

#include <cstdint>

#include "base/Checked.h"
#include "base/Error.h"

namespace snapwick {

// Bounds-checked reads of the numbers of a TIFF structure, in its byte order (Intel: least
// significant byte first; Motorola: most significant first). The bytes are indices 0 to last. An
// index outside them raises error 9 (subscript out of range); sums of positions are checked and
// raise error 6 (overflow). A 32-bit number is limited to 0 to 2147483647: one with its top bit
// set raises error 6. The bytes are not owned and must outlive the reader.
class TiffBytes {
 public:
  TiffBytes(const uint8_t* bytes, int32_t last, bool intel)
      : bytes_(bytes), last_(last), intel_(intel) {}

  bool Intel() const { return intel_; }
  int32_t Last() const { return last_; }

  uint8_t ByteAt(int32_t index) const {
    if (index < 0 || index > last_) RaiseError(kErrSubscriptOutOfRange);
    return bytes_[index];
  }

  // Never fails for an index in range: the value is 0 to 65535.
  int32_t Read16(int32_t index) const {
    const int32_t hi = ByteAt(checked::Add(index, intel_ ? 1 : 0));
    const int32_t lo = ByteAt(checked::Add(index, intel_ ? 0 : 1));
    return hi * 256 + lo;
  }

  // The 32-bit number at the index, all 32 bits of it.
  uint32_t ReadUnsigned32(int32_t index) const {
    uint32_t value = 0;
    for (int32_t k = 0; k < 4; ++k)
      value = value << 8 | ByteAt(checked::Add(index, intel_ ? 3 - k : k));
    return value;
  }

  int32_t Read32(int32_t index) const {
    // Most significant byte first; a top byte of 0x80 or more does not fit and overflows.
    int32_t value = checked::Mul(ByteAt(checked::Add(index, intel_ ? 3 : 0)), 0x1000000);
    value = checked::Add(value, ByteAt(checked::Add(index, intel_ ? 2 : 1)) * 0x10000);
    value = checked::Add(value, ByteAt(checked::Add(index, intel_ ? 1 : 2)) * 0x100);
    return checked::Add(value, ByteAt(checked::Add(index, intel_ ? 0 : 3)));
  }

 private:
  const uint8_t* bytes_;
  int32_t last_;
  bool intel_;
};

}  // namespace snapwick
