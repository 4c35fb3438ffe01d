#pragma once

#include <string>
#include <string_view>

namespace snapwick {

// Turns text read from a picture file (EXIF texts are kept as the file's bytes) into UTF-8 for
// display: byte sequences that form valid UTF-8 are kept as they are; every other byte becomes
// the Latin-1 character of its code, encoded in UTF-8.
std::string TextBytesToUtf8(std::string_view bytes);

// Length of the valid UTF-8 sequence starting at bytes[0] (1 to 4), or 0 when the bytes there do
// not start one (stray continuation byte, overlong form, surrogate, beyond U+10FFFF, cut short).
size_t Utf8SequenceLength(std::string_view bytes);

}  // namespace snapwick
