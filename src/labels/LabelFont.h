#pragma once

#include <optional>
#include <string>

namespace snapwick {

// The four properties of the label font that are chosen, stored and restored.
struct LabelFont {
  std::string face;
  float size = 0;  // points
  bool bold = false;
  bool italic = false;
  bool operator==(const LabelFont&) const = default;
};

inline constexpr const char* kFontKey = "Font";
// The largest label font in points: a label of that size already fills the largest picture box.
inline constexpr float kMaxLabelFontPoints = 1000;

// "face:size:bold:italic", the size in the default locale's shortest decimal form, the flags as
// True or False: "Arial:12:True:False".
std::string FontSettingText(const LabelFont& font);

// Reads a stored text; none when it does not split into four usable fields: exactly four fields
// separated by ":", a face that is not empty, a size that is a positive number in the default
// locale, at most kMaxLabelFontPoints, and flags that read True or False in any case, or a number
// (non-zero is true).
std::optional<LabelFont> ParseFontSetting(const std::string& text);

}  // namespace snapwick
