#pragma once

#include <string>

namespace snapwick {

// Where every shown picture's temporary JPEG goes: "temp.jpg" in the current folder, or, when
// that folder cannot be written (a program started from a launcher) or holds a "temp.jpg" that
// cannot be replaced (read-only, a folder), "temp.jpg" in the per-user cache folder, which is
// made when missing.
std::string ChooseTempFile();

// "temp.jpg" in the per-user cache folder, which is made when missing.
std::string CacheTempFile();

}  // namespace snapwick
