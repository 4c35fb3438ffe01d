#pragma once

#include <chrono>
#include <cstdint>
#include <ostream>
#include <string>

#include "app/PictureSession.h"
#include "app/SaveAll.h"

namespace snapwick {

// What a batch of the command line tells on the error output: one line for each picture that was
// not saved ("snapwick: FILE: reason", the name as the bytes it is), a progress line while it runs
// when the output is a terminal, and a summary at the end. Progress and summary can be silenced;
// the lines of failures cannot. Output that is no terminal holds no carriage return and no
// control sequence.
class BatchReport {
 public:
  BatchReport(std::ostream& err, bool terminal, bool quiet);

  // A picture done; called one at a time, in the order the pictures end.
  void Picture(const SavedPicture& saved, int32_t done, int32_t total);
  // Ends the progress line and tells how the batch ended, `folder` being the output folder as the
  // user named it. Returns the exit status: 0 when every picture was saved, else 1.
  int End(const SaveAllSummary& summary, const std::string& folder);

 private:
  void Line(std::string text);
  void Progress(const std::string& name, int32_t done, int32_t total);

  std::ostream& err_;
  bool terminal_;
  bool quiet_;
  bool progressShown_ = false;
  std::string stopReason_;  // why the first picture that stopped the batch was not written
  std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
  std::chrono::steady_clock::time_point lastDrawn_{};
};

}  // namespace snapwick
