// The stored "Quality" text: any text gives a whole number of 16 bits, and that number written
// back as the program would store it reads as itself.
#include <cstddef>
#include <cstdint>
#include <string>

#include "app/QualitySetting.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const int32_t quality = snapwick::ParseQualitySetting(text);
  if (quality < INT16_MIN || quality > INT16_MAX) __builtin_trap();
  if (snapwick::ParseQualitySetting(std::to_string(quality)) != quality) __builtin_trap();
  return 0;
}
