#pragma once

#include <string>
#include <vector>

namespace snapwick::bench {

// CPU time of the calling thread: the machine is shared, so wall-clock time would count the
// time spent waiting for a core.
double ThreadSeconds();
// Wall-clock time, for work whose parts run on other threads.
double WallSeconds();
// CPU time of the whole process, all its threads, user and system.
double ProcessSeconds();
// CPU time, user and system, of the child processes that have ended and been waited for.
double ChildrenSeconds();

// The bytes of a 12-megapixel (4000 x 3000) photo-like JPEG at quality 90, made once.
const std::string& TwelveMegapixelJpeg();

// The peer of the picture road: TurboJPEG's own decode of TwelveMegapixelJpeg into a reused
// buffer, best of five runs, timed by the clock given.
double BareDecodeSeconds(double (*clock)());

// The full path of a program found on PATH; empty when it is not installed.
std::string FindProgram(const std::string& name);

// Runs a program (argv[0] a path) as a child process with its standard output sent to the file
// given (or thrown away), and waits for it. Returns its exit status, or -1 when it could not be
// started or did not end by itself.
int RunProgram(const std::vector<std::string>& argv, const std::string& outputFile = "/dev/null");

}  // namespace snapwick::bench
