#pragma once

#include <cstdint>
#include <string>

namespace snapwick {

// Threshold of the black check: red, green and blue 3.
inline constexpr int32_t kBlackMargin = 0x030303;

// True when the colour (0x00BBGGRR; -1 for a point outside the picture) is darker than margin in
// all three channels, strictly.
bool Darker(int32_t pixel, int32_t margin);

// "Black Picture  " or "Non Black Picture  " followed by the ratio in general number format
// (up to 15 significant digits, the default locale's decimal sign).
std::string BlackVerdictText(bool black, double ratio);

// A picture is black when more than 99 % of its sample points are dark.
inline bool IsBlackRatio(double ratio) {
  return ratio > 0.99;
}

}  // namespace snapwick
