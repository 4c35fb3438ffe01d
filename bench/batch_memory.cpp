// Runs one batch of pictures through SaveAll and prints the peak resident memory of the process
// in kB, so that a benchmark can weigh a batch with nothing else of its own counted:
//
//   snapwick_batch_memory JOBS OUTPUT_FOLDER [PICTURE...]
//
// Every picture is boxed to 640 x 480 with the date drawn and written at quality 90 under a
// numbered name in OUTPUT_FOLDER. With no picture the number is what the libraries alone take.
// Exits 1 when a picture is not written, 2 on a wrong command line.
#include <sys/resource.h>

#include <QGuiApplication>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "app/PictureList.h"
#include "app/SaveAll.h"

namespace {

// The peak resident memory of this program, in kB. getrusage's ru_maxrss is not enough alone:
// the kernel carries the high-water mark of the address space that exec replaced over into it,
// so a program started by a larger one (fork or posix_spawn, then exec) reports at least its
// starter's peak. The high-water mark of the address space in use ("VmHWM" in /proc/self/status)
// is this program's own; ru_maxrss is the answer where that cannot be read.
long PeakResidentKilobytes() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmHWM:", 0) == 0) return std::strtol(line.c_str() + 6, nullptr, 10);
  }
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: snapwick_batch_memory JOBS OUTPUT_FOLDER [PICTURE...]\n");
    return 2;
  }
  char* end = nullptr;
  const long jobs = std::strtol(argv[1], &end, 10);
  if (*end != '\0' || jobs < 1 || jobs > 256) {
    std::fprintf(stderr, "snapwick_batch_memory: JOBS must be a number from 1 to 256\n");
    return 2;
  }
  const std::string output = argv[2];
  const std::vector<std::string> pictures(argv + 3, argv + argc);

  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  int appArgc = 1;
  QGuiApplication app(appArgc, argv);

  snapwick::SaveAllJob job;
  job.settings.quality = 90;
  job.settings.viewWidth = 640;
  job.settings.viewHeight = 480;
  job.settings.autoSave.names.filePath = output + "/";
  job.settings.autoSave.names.prefix = "batch";
  job.settings.autoSave.names.base = output + "/batch";
  if (!pictures.empty()) job.files.SetFiles(snapwick::PictureList::SelectionFor(pictures));
  job.switches.autoDate = true;
  job.jobs = static_cast<int32_t>(jobs);

  snapwick::SaveAll batch(std::move(job));
  const snapwick::SaveAllSummary summary = batch.Run(nullptr);
  if (summary.written != static_cast<int32_t>(pictures.size())) {
    std::fprintf(stderr, "snapwick_batch_memory: %s\n", summary.Text().c_str());
    return 1;
  }

  std::printf("%ld\n", PeakResidentKilobytes());
  return 0;
}
