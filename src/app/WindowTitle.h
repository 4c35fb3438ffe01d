#pragma once

#include <cstdint>
#include <string>

namespace snapwick {

// Pixel count in millions with one decimal, in the default locale: 640 x 480 gives "0.3".
// The product is overflow-checked.
std::string MegaPixelText(int32_t pixelWidth, int32_t pixelHeight);

// "file  [ 3.1M 2048x1536]" for a single picture, "... Photo 2 of 5" within a list.
std::string BuildWindowTitle(const std::string& fileName, const std::string& megaPixelText,
                             int32_t pixelWidth, int32_t pixelHeight, bool single, int32_t number,
                             int32_t count);

}  // namespace snapwick
