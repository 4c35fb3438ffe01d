#pragma once

#include <string>
#include <string_view>

namespace snapwick {

// JPEG bytes with an APP1 segment of the given payload put in right behind the start-of-image
// marker, or behind a JFIF APP0 segment that follows it, as readers expect an EXIF block. The
// other segments stay as they are. Raises SnapError 5 when the bytes do not start with a JPEG's
// start-of-image marker, when a JFIF segment there runs past their end, or when the payload does
// not fit one segment (more than 65533 bytes).
std::string InsertApp1Segment(std::string_view jpeg, std::string_view payload);

}  // namespace snapwick
