#pragma once

#include <cstdint>
#include <functional>
#include <istream>
#include <ostream>
#include <string>
#include <vector>

namespace snapwick {

// Where a command's output goes and what it is told as it goes.
struct CommandIo {
  std::ostream& out;           // --help, --version, the pairs of --dry-run
  std::ostream& err;           // usage errors, the pictures not saved, progress and summary
  bool errIsTerminal = false;  // progress only then
  // Called after each picture of a batch with how many are done.
  std::function<void(int32_t done)> afterPicture;
  // What --files-from=- reads; standard input when none.
  std::istream* in = nullptr;
};

// Runs the command line of `snapwick --save-all=DIR [OPTION]... PICTURE...` (the arguments
// without the program's name): every picture written into DIR as the window's "Auto Save" writes
// it, with the window's stored settings where the command line gives none. A QGuiApplication
// must exist. Returns the exit status: 0 when everything was written, 1 when some picture was
// not (or DIR takes no file), 2 for a command line that cannot be run, when nothing is written.
int RunCommandLine(const std::vector<std::string>& args, CommandIo& io);

}  // namespace snapwick
