#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace snapwick {

// Margins between the window and the display box, in twips.
inline constexpr double kWidthMargin = 400;
inline constexpr double kHeightMarginMenuAndBorder = 800;
inline constexpr double kHeightMarginOther = 600;
inline constexpr double kMinViewTwips = 500;

// The display box for a window size: in twips (at least 500 each) and in pixels.
struct ViewSize {
  double widthTwips = 0;
  double heightTwips = 0;
  int32_t pixelWidth = 0;
  int32_t pixelHeight = 0;
  double ratio = 0;  // pixelWidth / pixelHeight
};

ViewSize ComputeViewSize(double windowWidthTwips, double windowHeightTwips, bool border,
                         bool hideMenu, double twipsPerPixelX, double twipsPerPixelY);

// The size a picture of ratio (width / height) is fitted to in a box: single-precision sizes and
// the whole pixels they round to (halves to even), at least 1.
struct FittedSize {
  float width = 0;
  float height = 0;
  int32_t pixelWidth = 0;
  int32_t pixelHeight = 0;
};

FittedSize FitToView(double ratio, int32_t viewPixelWidth, int32_t viewPixelHeight,
                     double viewRatio);

// Width and height of a fixed-size caption ("640x480"); none when it does not read as two numbers.
std::optional<std::pair<float, float>> ParseFixedSize(const std::string& caption);

// The window size in twips that gives a display box of width x height pixels.
double FixedSizeWindowWidth(float width, double twipsPerPixelX);
double FixedSizeWindowHeight(float height, bool border, double twipsPerPixelY);

// "640x480 ratio: 133.33%": the caption drawn on the display box after a resize; the ratio in the
// default locale with two decimals.
std::string ViewSizeCaption(int32_t pixelWidth, int32_t pixelHeight, double ratio);

}  // namespace snapwick
