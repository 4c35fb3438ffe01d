// Feeds arbitrary bytes, as a picture file, to the rewriting of its EXIF block for a saved picture.
// A block that cannot be kept is refused with an error; one that is kept must be sound: within
// one APP1 segment, found again in a JPEG it is put into, every value our reader decodes lies
// inside it, and rewriting it once more (for the same size) changes nothing.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/Error.h"
#include "imaging/JpegSegments.h"
#include "metadata/ExifReader.h"
#include "metadata/KeptExif.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view source(reinterpret_cast<const char*>(data), size);
  // The saved size comes from the last bytes, so that the rewrite sees many sizes.
  const int32_t width = size >= 2 ? 1 + data[size - 1] * 97 : 640;
  const int32_t height = size >= 2 ? 1 + data[size - 2] * 89 : 480;
  std::string payload;
  try {
    payload = snapwick::KeptExifPayload(source, width, height);
  } catch (const snapwick::SnapError&) {
    return 0;
  }
  if (payload.empty()) return 0;
  if (payload.size() > snapwick::kMaxApp1Payload) __builtin_trap();
  // A JPEG of nothing but its start and end, carrying the kept block.
  const std::string jpeg = snapwick::InsertApp1Segment(std::string("\xFF\xD8\xFF\xD9", 4), payload);
  if (snapwick::KeptExifPayload(jpeg, width, height) != payload) __builtin_trap();
  snapwick::ExifReader reader;
  try {
    reader.LoadBytes(jpeg.data(), jpeg.size());
  } catch (const snapwick::SnapError&) {
  }
  const int64_t tiffSize = static_cast<int64_t>(payload.size()) - 6;
  for (const snapwick::TagRecord& record : reader.Records()) {
    if (record.ValueOffset < 0 || record.ValueOffset >= tiffSize) __builtin_trap();
  }
  return 0;
}
