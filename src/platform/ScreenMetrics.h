#pragma once

#include <optional>

namespace snapwick {

// Twips per pixel and the screen's size, from the primary screen's logical resolution. Tests can
// put fixed values in place of the screen's.
class ScreenMetrics {
 public:
  struct Values {
    double twipsPerPixelX = 15;
    double twipsPerPixelY = 15;
    double screenWidthTwips = 0;
    double screenHeightTwips = 0;
  };

  static double TwipsPerPixelX();
  static double TwipsPerPixelY();
  static double ScreenWidthTwips();
  static double ScreenHeightTwips();

  // Replaces the screen's values (none puts the screen's own back).
  static void Override(std::optional<Values> values);

 private:
  static Values Current();
};

}  // namespace snapwick
