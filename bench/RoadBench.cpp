#include <benchmark/benchmark.h>
#include <turbojpeg.h>
#include <unistd.h>

#include <algorithm>
#include <ctime>
#include <string>

#include "app/PictureSession.h"
#include "imaging/cDIBSection.h"
#include "support/Fixtures.h"
#include "support/TestEnvironment.h"

namespace snapwick {
namespace {

double ThreadSeconds() {
  timespec ts{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

// A 12-megapixel photo-like JPEG on disk, made once.
const std::string& PhotoFile() {
  static test::TempDir dir;
  static const std::string path = [] {
    const std::string file = dir.File("photo.jpg");
    test::WriteBytes(file, test::MakeJpeg(4000, 3000, test::PhotoLike, 90));
    return file;
  }();
  return path;
}

// TurboJPEG's own decode of the file's bytes into a reused buffer: the peer of the picture road.
double BareDecodeSeconds() {
  static const double seconds = [] {
    const std::string jpeg = test::ReadFile(PhotoFile());
    tjhandle handle = tjInitDecompress();
    cDIBSection target;
    target.Create(4000, 3000);
    double best = 1e9;
    for (int run = 0; run < 5; ++run) {
      const double start = ThreadSeconds();
      tjDecompress2(handle, reinterpret_cast<const unsigned char*>(jpeg.data()), jpeg.size(),
                    target.DIBSectionBitsPtr(), 4000, target.BytesPerScanLine(), 3000, TJPF_BGR,
                    TJFLAG_BOTTOMUP);
      best = std::min(best, ThreadSeconds() - start);
    }
    tjDestroy(handle);
    return best;
  }();
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
    const double start = ThreadSeconds();
    road.session.ShowPicture(RoadSwitches{}, {}, kNothingAhead);
    best = std::min(best, ThreadSeconds() - start);
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
