// Feeds arbitrary bytes to the EXIF reader as the content of a picture file, then asks for every
// tag the picture string can show, the record count and a maker-note tag, and turns the texts into
// display text. Errors raised by the reader are its normal answer to broken files.
#include <cstddef>
#include <cstdint>

#include "base/Error.h"
#include "metadata/ExifReader.h"
#include "metadata/PictureDataItems.h"
#include "metadata/TextBytes.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  snapwick::ExifReader reader;
  try {
    reader.LoadBytes(data, size);
  } catch (const snapwick::SnapError&) {
  }
  size_t textBytes = 0;
  const auto lookUp = [&](int32_t tag) {
    try {
      const snapwick::Variant value = reader.Tag(tag);
      textBytes += snapwick::TextBytesToUtf8(value.ToText()).size();
    } catch (const snapwick::SnapError&) {
    }
  };
  lookUp(0);
  lookUp(0x927C);
  // Without a tag store every other lookup fails the same way; skipping them keeps runs fast.
  if (reader.HasTagStore()) {
    for (const auto& entry : snapwick::kPictureDataCatalogue)
      lookUp(entry.tagId);
    lookUp(0x8769);
  }
  try {
    textBytes += reader.MakerNoteTag(0x0001).ToText().size();
  } catch (const snapwick::SnapError&) {
  }
  // Records of a walk that failed part-way must still be whole.
  for (const snapwick::TagRecord& record : reader.Records()) {
    if (record.TagId < 0 || record.TagId > 0xFFFF || record.ValueCount < 0) __builtin_trap();
    if (record.TagValue.IsInteger() && record.TagValue.Integer() < 0) __builtin_trap();
  }
  return textBytes == SIZE_MAX ? 1 : 0;
}
