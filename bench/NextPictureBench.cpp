#include <benchmark/benchmark.h>
#include <turbojpeg.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <string>

#include "app/PictureSession.h"
#include "imaging/cDIBSection.h"
#include "support/Fixtures.h"
#include "support/TestEnvironment.h"

namespace snapwick {
namespace {

double Now() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// Two 12-megapixel photo-like JPEGs of a list, made once.
struct TwelveMegapixelList {
  test::TempDir dir;
  std::string first = dir.File("a.jpg"), second = dir.File("b.jpg");
  std::string jpeg = test::MakeJpeg(4000, 3000, test::PhotoLike, 90);
  TwelveMegapixelList() {
    test::WriteBytes(first, jpeg);
    test::WriteBytes(second, jpeg);
  }
};

const TwelveMegapixelList& Pictures() {
  static const TwelveMegapixelList list;
  return list;
}

// TurboJPEG's own decode of the file's bytes into a reused buffer, best of five, wall clock.
double BareDecodeSeconds() {
  const std::string& jpeg = Pictures().jpeg;
  tjhandle handle = tjInitDecompress();
  cDIBSection target;
  target.Create(4000, 3000);
  double best = 1e9;
  for (int run = 0; run < 5; ++run) {
    const double start = Now();
    tjDecompress2(handle, reinterpret_cast<const unsigned char*>(jpeg.data()), jpeg.size(),
                  target.DIBSectionBitsPtr(), 4000, target.BytesPerScanLine(), 3000, TJPF_BGR,
                  TJFLAG_BOTTOMUP);
    best = std::min(best, Now() - start);
  }
  tjDestroy(handle);
  return best;
}

// "Next" from the first picture of a list to the second, once the second is decoded ahead: the
// file date and picture string, the hand-over, the fit into a 640 x 480 box, "temp.jpg", the date
// drawn. Beside it the same step when the picture is read on the spot, and the bare decode.
void BM_NextPictureReady12MP(benchmark::State& state) {
  test::TempDir work;
  if (::chdir(work.Path().c_str()) != 0) std::abort();
  const TwelveMegapixelList& list = Pictures();
  PictureSession session;
  session.SetView(640, 480);
  const std::string selection = PictureList::SelectionFor({list.first, list.second});
  double bestReady = 1e9, bestRead = 1e9;
  for (auto _ : state) {
    state.PauseTiming();
    session.Files().SetFiles(selection);
    const double read = Now();
    session.ShowPicture({}, nullptr);  // nothing is ahead yet: the first picture is read here
    bestRead = std::min(bestRead, Now() - read);
    session.Ahead().WaitIdle();
    state.ResumeTiming();
    const double start = Now();
    session.ShowPicture({}, nullptr);
    bestReady = std::min(bestReady, Now() - start);
  }
  const int64_t steps = static_cast<int64_t>(state.iterations());
  if (session.PixelWidth() != 4000 || session.Ahead().TakenReady() != steps) {
    state.SkipWithError("the second picture was not taken from the one decoded ahead");
  }
  const double bare = BareDecodeSeconds();
  state.counters["next_ready_ms"] = bestReady * 1e3;
  state.counters["next_read_ms"] = bestRead * 1e3;
  state.counters["bare_decode_ms"] = bare * 1e3;
  state.counters["ratio_to_decode"] = bestReady / bare;
}
BENCHMARK(BM_NextPictureReady12MP)->Iterations(10)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace snapwick
