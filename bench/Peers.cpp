#include "bench/Peers.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <turbojpeg.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <ctime>

#include "imaging/cDIBSection.h"
#include "support/Fixtures.h"

namespace snapwick::bench {

double ThreadSeconds() {
  timespec ts{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

double WallSeconds() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

double ProcessSeconds() {
  timespec ts{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

double ChildrenSeconds() {
  rusage usage{};
  getrusage(RUSAGE_CHILDREN, &usage);
  const auto seconds = [](const timeval& tv) {
    return static_cast<double>(tv.tv_sec) + static_cast<double>(tv.tv_usec) * 1e-6;
  };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

const std::string& TwelveMegapixelJpeg() {
  static const std::string jpeg = test::MakeJpeg(4000, 3000, test::PhotoLike, 90);
  return jpeg;
}

double BareDecodeSeconds(double (*clock)()) {
  const std::string& jpeg = TwelveMegapixelJpeg();
  tjhandle handle = tjInitDecompress();
  cDIBSection target;
  target.Create(4000, 3000);
  double best = 1e9;
  for (int run = 0; run < 5; ++run) {
    const double start = clock();
    tjDecompress2(handle, reinterpret_cast<const unsigned char*>(jpeg.data()), jpeg.size(),
                  target.DIBSectionBitsPtr(), 4000, target.BytesPerScanLine(), 3000, TJPF_BGR,
                  TJFLAG_BOTTOMUP);
    best = std::min(best, clock() - start);
  }
  tjDestroy(handle);
  return best;
}

std::string FindProgram(const std::string& name) {
  const char* path = std::getenv("PATH");
  std::string folders = path ? path : "/usr/bin:/bin";
  size_t start = 0;
  while (start <= folders.size()) {
    const size_t end = std::min(folders.find(':', start), folders.size());
    const std::string folder = folders.substr(start, end - start);
    const std::string candidate = (folder.empty() ? "." : folder) + "/" + name;
    if (::access(candidate.c_str(), X_OK) == 0) return candidate;
    start = end + 1;
  }
  return {};
}

int RunProgram(const std::vector<std::string>& argv, const std::string& outputFile) {
  std::vector<char*> args;
  args.reserve(argv.size() + 1);
  for (const std::string& arg : argv)
    args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, outputFile.c_str(),
                                   O_WRONLY | O_CREAT | O_TRUNC, 0644);
  pid_t child = 0;
  const int started = posix_spawn(&child, args[0], &actions, nullptr, args.data(), ::environ);
  posix_spawn_file_actions_destroy(&actions);
  if (started != 0) return -1;
  int status = 0;
  while (::waitpid(child, &status, 0) < 0) {
    if (errno != EINTR) return -1;
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace snapwick::bench
