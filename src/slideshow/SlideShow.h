#pragma once

#include <functional>
#include <string>
#include <vector>

namespace snapwick {

// Writes the three files of a slide show: the starter page `filename`, and "slides.htm" and
// "slideshow.js" in filePath (which ends with "/"). imageNames are the names the pictures are
// saved under, in list order. slideTime gives the "Seconds per slide" text; it is read each time
// the script needs the interval. A failure raises a SnapError; the file being written keeps what
// was written before it, later files are not written.
void GenerateSlideShow(const std::string& filename, const std::string& filePath,
                       const std::vector<std::string>& imageNames,
                       const std::function<std::string()>& slideTime);

}  // namespace snapwick
