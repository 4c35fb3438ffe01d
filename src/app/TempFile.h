#pragma once

#include <string>

namespace snapwick {

// Where every shown picture's temporary JPEG goes: "temp.jpg" in the current folder, or, when
// that folder cannot be written (a program started from a launcher) or already holds something
// called "temp.jpg" (which may be the user's own), the cache file below.
std::string ChooseTempFile();

// "temp-<process number>.jpg" in the per-user cache folder, which is made when missing.
std::string CacheTempFile();

}  // namespace snapwick
