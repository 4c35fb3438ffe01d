#pragma once

#include <cstdint>
#include <string>

namespace snapwick {

inline constexpr const char* kQualityKey = "Quality";
inline constexpr int32_t kDefaultQuality = 90;

// The JPEG quality of a stored "Quality" text: a whole number of 16 bits (blanks around it
// allowed). Anything else gives the default, 90.
int32_t ParseQualitySetting(const std::string& text);

}  // namespace snapwick
