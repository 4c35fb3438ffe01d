#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "imaging/cDIBSection.h"

namespace snapwick {

// A file format the program writes pictures in: the suffix of the names it gives such files (and
// another one that names of such files may carry; both in lower case), the filter of the save
// dialog ("Description|*.ext"), and the encoder that turns a surface into the file's bytes at a
// quality.
struct OutputFormat {
  std::string_view suffix;
  std::string_view otherSuffix;
  std::string_view saveFilter;
  std::vector<unsigned char> (*encode)(const cDIBSection& surface, int32_t quality);
};

// JPEG, the format of every picture the program writes: the temporary JPEG, the auto-saved
// pictures and "Save as...".
extern const OutputFormat kJpegOutput;

}  // namespace snapwick
