#pragma once

#include <cstdint>

class QWidget;

namespace snapwick {

// Results of SetTransparency.
enum TransparencyResult : int32_t {
  kTransparencyDone = 0,
  kTransparencyOutOfRange = 1,
  kTransparencyUnavailable = 2,
};

// The window's opacity for a percentage of transparency (0 opaque, 100 invisible):
// alpha = (100 - percentage) / 100 x 255, rounded with halves to even.
int32_t TransparencyAlpha(int32_t percentage);

// Makes a window partly transparent. Returns 1, changing nothing, when the percentage gives an
// alpha outside 0..255, and 2 when there is no window to change.
int32_t SetTransparency(QWidget* window, int16_t percentage);

}  // namespace snapwick
