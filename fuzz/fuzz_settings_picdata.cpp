// The stored "PicData" text: any text reads as 32 states of 0, 1 or 2 (slot 32 left 0), and the
// text written from them reads back as the same states and writes as the same text.
#include <cstddef>
#include <cstdint>
#include <string>

#include "metadata/PictureDataItems.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const snapwick::PicDataFlags flags = snapwick::ParsePicData(text);
  for (size_t i = 0; i < flags.size(); ++i) {
    if (flags[i] < 0 || flags[i] > 2 || (i == 32 && flags[i] != 0)) __builtin_trap();
  }
  const std::string stored = snapwick::FormatPicData(flags);
  const snapwick::PicDataFlags again = snapwick::ParsePicData(stored);
  if (again != flags) __builtin_trap();
  if (snapwick::FormatPicData(again) != stored) __builtin_trap();
  return 0;
}
