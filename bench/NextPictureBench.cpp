#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "app/PictureSession.h"
#include "bench/Peers.h"
#include "support/Fixtures.h"
#include "support/TestEnvironment.h"

namespace snapwick {
namespace {

// Two 12-megapixel photo-like JPEGs of a list, made once.
struct TwelveMegapixelList {
  test::TempDir dir;
  std::string first = dir.File("a.jpg"), second = dir.File("b.jpg");
  TwelveMegapixelList() {
    test::WriteBytes(first, bench::TwelveMegapixelJpeg());
    test::WriteBytes(second, bench::TwelveMegapixelJpeg());
  }
};

const TwelveMegapixelList& Pictures() {
  static const TwelveMegapixelList list;
  return list;
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
    const double read = bench::WallSeconds();
    session.ShowPicture({}, nullptr);  // nothing is ahead yet: the first picture is read here
    bestRead = std::min(bestRead, bench::WallSeconds() - read);
    session.Ahead().WaitIdle();
    state.ResumeTiming();
    const double start = bench::WallSeconds();
    session.ShowPicture({}, nullptr);
    bestReady = std::min(bestReady, bench::WallSeconds() - start);
  }
  const int64_t steps = static_cast<int64_t>(state.iterations());
  if (session.PixelWidth() != 4000 || session.Ahead().TakenReady() != steps) {
    state.SkipWithError("the second picture was not taken from the one decoded ahead");
  }
  const double bare = bench::BareDecodeSeconds(bench::WallSeconds);
  state.counters["next_ready_ms"] = bestReady * 1e3;
  state.counters["next_read_ms"] = bestRead * 1e3;
  state.counters["bare_decode_ms"] = bare * 1e3;
  state.counters["ratio_to_decode"] = bestReady / bare;
}
BENCHMARK(BM_NextPictureReady12MP)->Iterations(10)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace snapwick
