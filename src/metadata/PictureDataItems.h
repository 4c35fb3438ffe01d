#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace snapwick {

struct PictureDataCatalogueEntry {
  const char* caption;  // ends with one blank, which belongs to the caption
  int32_t tagId;
};

// The selectable EXIF items, in check-box order (27 entries).
extern const std::array<PictureDataCatalogueEntry, 27> kPictureDataCatalogue;

inline constexpr int kPictureDataSlots = 33;  // indices 0 to 32; 0 to 31 are used
using PicDataFlags = std::array<int32_t, kPictureDataSlots>;

// The "PicData" setting: 32 states joined by ",", each followed by a comma.
inline constexpr const char* kPicDataKey = "PicData";
std::string DefaultPicDataText();  // 32 zeros
// Reads a stored text into flags 0..31 (slot 32 stays 0). A text with fewer than 32 fields, a
// field that is not a whole number, or a state other than 0, 1 or 2 gives the default (all 0).
PicDataFlags ParsePicData(const std::string& text);
// "s0,s1,...,s31," from states 0..31.
std::string FormatPicData(const PicDataFlags& states);

// The stored choice ("PicData" in the settings store), read with the default when absent or
// unreadable, and stored from states 0..31.
PicDataFlags ReadPicDataSetting();
void StorePicDataSetting(const PicDataFlags& states);

}  // namespace snapwick
