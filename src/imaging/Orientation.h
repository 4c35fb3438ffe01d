#pragma once

#include <cstdint>

#include "imaging/cDIBSection.h"

namespace snapwick {

// The EXIF tag that tells how a camera held the picture.
inline constexpr int32_t kOrientationTag = 274;

// Whether an orientation value (1 to 8) asks for a change; 1 and anything unknown do not.
inline bool NeedsTurning(int32_t orientation) {
  return orientation >= 2 && orientation <= 8;
}

// Makes dest the upright form of a picture stored with the given orientation: 2 mirrored,
// 3 turned half round, 4 upside down, 5 mirrored across its main diagonal, 6 turned a quarter
// clockwise, 7 mirrored across the other diagonal, 8 turned a quarter anticlockwise. Returns false
// (dest untouched) when no change is asked for or dest cannot be created.
bool TurnUpright(const cDIBSection& source, int32_t orientation, cDIBSection& dest);

}  // namespace snapwick
