#include "metadata/PictureDataItems.h"

#include <charconv>
#include <cstdint>

#include "base/Settings.h"

namespace snapwick {

const std::array<PictureDataCatalogueEntry, 27> kPictureDataCatalogue = {{
    {"ImageDescription ", 270},
    {"Make ", 271},
    {"Model ", 272},
    {"Orientation ", 274},
    {"Software ", 305},
    {"DateTime ", 306},
    {"ExposureTime ", 33434},
    {"ExposureProgram ", 34850},
    {"ISOSpeedRatings ", 34855},
    {"DateTimeOriginal ", 36867},
    {"DateTimeDigitized ", 36868},
    {"ShutterSpeedValue ", 37377},
    {"ApertureValue ", 37378},
    {"SubjectDistance ", 37382},
    {"MeteringMode ", 37383},
    {"LightSource ", 37384},
    {"Flash ", 37385},
    {"FocalLength ", 37386},
    {"SensingMethod ", 41495},
    {"ImageWidth ", 256},
    {"ImageHeight ", 257},
    {"BitsPerSample ", 258},
    {"Compression ", 259},
    {"TimeZoneOffset ", 34858},
    {"SelfTimerMode ", 34859},
    {"FlashEnergy ", 37387},
    {"ImageNumber ", 37393},
}};

namespace {

constexpr int kStoredStates = 32;

// A whole number, blanks around it and a sign allowed; false for anything else.
bool ParseState(std::string_view field, int32_t* out) {
  while (!field.empty() && field.front() == ' ')
    field.remove_prefix(1);
  while (!field.empty() && field.back() == ' ')
    field.remove_suffix(1);
  bool negative = false;
  if (!field.empty() && (field.front() == '+' || field.front() == '-')) {
    negative = field.front() == '-';
    field.remove_prefix(1);
  }
  if (field.empty()) return false;
  uint32_t value = 0;  // unsigned, so that no second sign is taken
  const auto [ptr, ec] = std::from_chars(field.data(), field.data() + field.size(), value);
  if (ec != std::errc() || ptr != field.data() + field.size() || value > INT32_MAX) return false;
  *out = negative ? -static_cast<int32_t>(value) : static_cast<int32_t>(value);
  return true;
}

}  // namespace

std::string DefaultPicDataText() {
  std::string text;
  for (int i = 0; i < kStoredStates; ++i) {
    if (i > 0) text += ',';
    text += '0';
  }
  return text;
}

PicDataFlags ParsePicData(const std::string& text) {
  PicDataFlags flags{};
  const std::string_view all(text);
  size_t start = 0;
  for (int i = 0; i < kStoredStates; ++i) {
    if (start > all.size()) return PicDataFlags{};  // fewer than 32 fields
    const size_t comma = all.find(',', start);
    const size_t end = comma == std::string_view::npos ? all.size() : comma;
    int32_t state = 0;
    if (!ParseState(all.substr(start, end - start), &state)) return PicDataFlags{};
    if (state < 0 || state > 2) return PicDataFlags{};
    flags[static_cast<size_t>(i)] = state;
    start = end + 1;  // past the comma; beyond the end when there was none
  }
  return flags;
}

std::string FormatPicData(const PicDataFlags& states) {
  std::string text;
  for (int i = 0; i < kStoredStates; ++i) {
    text += std::to_string(states[static_cast<size_t>(i)]);
    text += ',';
  }
  return text;
}

PicDataFlags ReadPicDataSetting() {
  return ParsePicData(SettingsStore::GetSetting(kPicDataKey, DefaultPicDataText()));
}

void StorePicDataSetting(const PicDataFlags& states) {
  SettingsStore::SaveSetting(kPicDataKey, FormatPicData(states));
}

}  // namespace snapwick
