#pragma once

#include <string>

namespace snapwick::bench {

// CPU time of the calling thread: the machine is shared, so wall-clock time would count the
// time spent waiting for a core.
double ThreadSeconds();
// Wall-clock time, for work whose parts run on other threads.
double WallSeconds();

// The bytes of a 12-megapixel (4000 x 3000) photo-like JPEG at quality 90, made once.
const std::string& TwelveMegapixelJpeg();

// The peer of the picture road: TurboJPEG's own decode of TwelveMegapixelJpeg into a reused
// buffer, best of five runs, timed by the clock given.
double BareDecodeSeconds(double (*clock)());

}  // namespace snapwick::bench
