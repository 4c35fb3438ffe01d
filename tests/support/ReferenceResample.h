#pragma once

#include "imaging/cDIBSection.h"

namespace snapwick::test {

// The resampler written out plainly, one pixel at a time, to check the program's own against it:
// sampling grid xScale = (W - 1) / w and yScale = (H - 1) / h (single precision), positions
// xScale x column and yScale x row (single), a vertical pass and a horizontal pass per channel in
// double precision, each rounded to the nearest whole number with halves to even. A sampling
// position on or past the last source column (row) takes the last column (row) itself.
// Both surfaces must be created; the source at least 2 x 2.
void ReferenceBilinearResample(const cDIBSection& source, cDIBSection& target);

}  // namespace snapwick::test
