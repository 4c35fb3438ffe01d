#include "bench/Peers.h"

#include <turbojpeg.h>

#include <algorithm>
#include <chrono>
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

}  // namespace snapwick::bench
