#include "imaging/Picture.h"

#include <cmath>

#include "base/Checked.h"

namespace snapwick {

int32_t PixelsToHimetric(int32_t pixels) {
  return checked::Round32(static_cast<double>(pixels) * 2540.0 / kPictureDpi);
}

int32_t HimetricToPixels(double himetric) {
  return checked::Round32(himetric * kPictureDpi / 2540.0);
}

}  // namespace snapwick
