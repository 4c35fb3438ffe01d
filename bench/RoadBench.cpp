#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <string>

#include "app/PictureSession.h"
#include "bench/Peers.h"
#include "support/Fixtures.h"
#include "support/TestEnvironment.h"

namespace snapwick {
namespace {

// A 12-megapixel photo-like JPEG on disk, made once.
const std::string& PhotoFile() {
  static test::TempDir dir;
  static const std::string path = [] {
    const std::string file = dir.File("photo.jpg");
    test::WriteBytes(file, bench::TwelveMegapixelJpeg());
    return file;
  }();
  return path;
}

// The bare decode of the photo, the peer of the picture road, in CPU time, measured once.
double BareDecodeSeconds() {
  static const double seconds = bench::BareDecodeSeconds(bench::ThreadSeconds);
  return seconds;
}

// The photo is read on the road every time, never taken from a picture decoded ahead (another
// benchmark measures that): a single picture has none before it, so going back reads nothing
// ahead.
constexpr Travel kNothingAhead = Travel::Back;

// A picture session with a display box of the benchmark's size, working in a folder of its own.
struct Session {
  test::TempDir work;
  const bool entered = ::chdir(work.Path().c_str()) == 0;  // before the session picks its files
  PictureSession session;

  explicit Session(const benchmark::State& state) {
    if (!entered) std::abort();
    session.SetView(static_cast<int32_t>(state.range(0)), static_cast<int32_t>(state.range(1)));
  }
  // Shows the photo with the menu's switches at start (the date drawn).
  void ShowPhoto() {
    session.Files().SetFiles(PhotoFile());
    session.ShowPicture(RoadSwitches{}, {}, kNothingAhead);
  }
};

// The whole road of one picture: file date, picture string, load, title, fit, "temp.jpg", the
// picture read back, the date drawn. Reported against the bare decode of the same file.
void BM_RoadShowPicture12MP(benchmark::State& state) {
  Session road(state);
  // One run first, so that the measured runs reuse the session's memory as every later picture
  // does.
  road.ShowPhoto();
  double best = 1e9;
  for (auto _ : state) {
    road.session.Files().SetFiles(PhotoFile());
    const double start = bench::ThreadSeconds();
    road.session.ShowPicture(RoadSwitches{}, {}, kNothingAhead);
    best = std::min(best, bench::ThreadSeconds() - start);
  }
  if (road.session.PixelWidth() != 4000 || road.session.Ahead().TakenReady() != 0)
    state.SkipWithError("the picture was not shown, or not read on the road");
  state.counters["box_width"] = road.session.Picture2().Image().width();
  state.counters["best_ms"] = best * 1e3;
  state.counters["bare_decode_ms"] = BareDecodeSeconds() * 1e3;
  state.counters["ratio_to_decode"] = best / BareDecodeSeconds();
}
BENCHMARK(BM_RoadShowPicture12MP)
    ->Args({640, 480})
    ->Args({1024, 768})
    ->Unit(benchmark::kMillisecond);

// Writing the shown picture, drawn date included, as "Save as..." and the automatic save do.
void BM_RoadSaveShownPicture(benchmark::State& state) {
  Session road(state);
  road.ShowPhoto();
  const std::string target = road.work.File("saved.jpg");
  for (auto _ : state)
    road.session.SaveShownPicture(target);
  state.counters["box_width"] = road.session.Picture2().Image().width();
}
BENCHMARK(BM_RoadSaveShownPicture)
    ->Args({640, 480})
    ->Args({1024, 768})
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace snapwick
