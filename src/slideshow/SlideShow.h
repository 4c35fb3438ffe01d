#pragma once

#include <functional>
#include <string>
#include <vector>

namespace snapwick {

// Writes the three files of a slide show: the starter page `filename`, and "slides.htm" and
// "slideshow.js" in filePath (which ends with "/"). imageNames are the names the pictures are
// saved under, in list order; they are written as UTF-8 bytes, escaped for the script string and
// the HTML attribute they sit in (\\ \' and control characters as \xHH for the script, &amp;
// &quot; &lt; &gt; for the page).
// slideTime gives the "Seconds per slide" text, a number in the default locale; it is read each
// time the script needs the interval, which is written in milliseconds with a "." whatever the
// locale. A failure raises a SnapError: type mismatch (13) for an interval that is no finite
// number or too large, and the file errors of base/PosixFile.h for a file that cannot be
// created, written or closed (76 for a missing folder, 61 for a full disk, 75 for most other
// failures). The file being written keeps what was written before the failure and is closed;
// later files are not written.
void GenerateSlideShow(const std::string& filename, const std::string& filePath,
                       const std::vector<std::string>& imageNames,
                       const std::function<std::string()>& slideTime);

}  // namespace snapwick
