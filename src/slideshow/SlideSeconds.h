#pragma once

#include <optional>
#include <string>

namespace snapwick {

// The longest slide interval a browser's timer keeps: 2^31 - 1 milliseconds.
inline constexpr double kMaxSlideSeconds = 2147483.647;

// The "Seconds per slide" text as the slide-show writer reads it: a finite number in the default
// locale; none when it is no such number.
std::optional<double> ReadSlideSeconds(const std::string& text);

// Seconds per slide that a slide show can use: read as the writer reads them, above 0 and at most
// kMaxSlideSeconds; none otherwise.
std::optional<double> SlideSecondsFromLocaleText(const std::string& text);

}  // namespace snapwick
