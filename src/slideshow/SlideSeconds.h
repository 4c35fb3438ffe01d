#pragma once

#include <optional>
#include <string>

namespace snapwick {

// The longest slide interval a browser's timer keeps: 2^31 - 1 milliseconds.
inline constexpr double kMaxSlideSeconds = 2147483.647;

// Seconds per slide as the slide-show writer reads its "Seconds per slide" text: a number in the
// default locale. None when the text is no such number, or not above 0 and at most
// kMaxSlideSeconds.
std::optional<double> SlideSecondsFromLocaleText(const std::string& text);

}  // namespace snapwick
