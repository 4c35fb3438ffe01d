#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace snapwick {

// One check box of the picture-data dialog as the composer reads it.
struct PictureDataItemState {
  int32_t state = 0;    // 0 unchecked, 1 checked, 2 grey (counts as unchecked)
  std::string caption;  // "Make " (with its trailing blank)
  int32_t tagId = 0;
};

struct PictureStringResult {
  std::string text;     // " Make : Foto Model : F-20"
  std::string listing;  // " Make \tFoto\r\n Model \tF-20\r\n"
};

// Composes the picture string and its listing for a file, from the ticked items in their order.
// Never fails: whatever cannot be read is left out.
PictureStringResult ComposePictureString(const std::string& fileName,
                                         const std::vector<PictureDataItemState>& items);

}  // namespace snapwick
