#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace snapwick {

// The longest slide interval a browser's timer keeps: 2^31 - 1 milliseconds.
inline constexpr double kMaxSlideSeconds = 2147483.647;

// Whether seconds per slide can go into a slide show: a finite number above 0 and at most
// kMaxSlideSeconds.
bool IsSlideSeconds(double seconds);

// Seconds per slide written with a point, never a comma, whatever the locale ("2.5", ".5", "1e2"),
// as the command line takes them. None when the text is no such number or IsSlideSeconds refuses
// it.
std::optional<double> SlideSecondsFromText(std::string_view text);

// Seconds per slide as the slide-show writer reads its "Seconds per slide" text: a number in the
// default locale. None when the text is no such number or IsSlideSeconds refuses it.
std::optional<double> SlideSecondsFromLocaleText(const std::string& text);

}  // namespace snapwick
