#include <benchmark/benchmark.h>
#include <turbojpeg.h>

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "bench/Peers.h"
#include "imaging/cDIBSection.h"
#include "imaging/mIntelJPEGLibrary.h"
#include "support/Fixtures.h"
#include "support/ReferenceResample.h"
#include "support/TestEnvironment.h"

namespace snapwick {
namespace {

// Generated photo-like sources, made once per size.
const cDIBSection& PhotoSurface(int32_t width, int32_t height) {
  static std::map<std::pair<int32_t, int32_t>, cDIBSection> cache;
  auto it = cache.find({width, height});
  if (it == cache.end()) {
    it = cache.emplace(std::pair{width, height}, test::MakeSurface(width, height, test::PhotoLike))
             .first;
  }
  return it->second;
}

// The resampler from a W x H photo-like picture to w x h, in nanoseconds per target pixel, with
// the plain per-pixel version timed on the same input for comparison.
void BM_Resample(benchmark::State& state) {
  const int32_t W = static_cast<int32_t>(state.range(0)), H = static_cast<int32_t>(state.range(1));
  const int32_t w = static_cast<int32_t>(state.range(2)), h = static_cast<int32_t>(state.range(3));
  const cDIBSection& source = PhotoSurface(W, H);
  const double pixels = static_cast<double>(w) * h;

  // The fastest iteration: the machine is shared, and other work only ever adds time.
  double fastSeconds = 1e9;
  for (auto _ : state) {
    const double start = bench::ThreadSeconds();
    std::unique_ptr<cDIBSection> result = source.Resample(h, w);
    benchmark::DoNotOptimize(result->DIBSectionBitsPtr());
    fastSeconds = std::min(fastSeconds, bench::ThreadSeconds() - start);
  }

  // The reference: best of five runs into a target made the same way.
  double referenceSeconds = 1e9;
  for (int run = 0; run < 5; ++run) {
    const double start = bench::ThreadSeconds();
    cDIBSection target;
    target.Create(w, h);
    test::ReferenceBilinearResample(source, target);
    benchmark::DoNotOptimize(target.DIBSectionBitsPtr());
    referenceSeconds = std::min(referenceSeconds, bench::ThreadSeconds() - start);
  }

  state.counters["ns_per_px"] = fastSeconds * 1e9 / pixels;
  state.counters["reference_ns_per_px"] = referenceSeconds * 1e9 / pixels;
  state.counters["speedup_vs_reference"] = referenceSeconds / fastSeconds;
}
BENCHMARK(BM_Resample)
    ->Args({4000, 3000, 640, 480})
    ->Args({4000, 3000, 1600, 1200})
    ->Args({640, 480, 1600, 1200})
    ->Args({1600, 1200, 160, 120})
    ->Unit(benchmark::kMillisecond);

// TurboJPEG's own decoding of a 12-megapixel photo-like JPEG into a reused buffer, for scale: the
// cost that every shown picture pays before it is resampled.
void BM_TurboJpegDecode12MP(benchmark::State& state) {
  const int32_t width = 4000, height = 3000;
  static const std::string jpeg = test::MakeJpeg(width, height, test::PhotoLike, 90);
  tjhandle handle = tjInitDecompress();
  cDIBSection target;
  target.Create(width, height);
  for (auto _ : state) {
    const int rc = tjDecompress2(handle, reinterpret_cast<const unsigned char*>(jpeg.data()),
                                 jpeg.size(), target.DIBSectionBitsPtr(), width,
                                 target.BytesPerScanLine(), height, TJPF_BGR, TJFLAG_BOTTOMUP);
    if (rc != 0) state.SkipWithError(tjGetErrorStr2(handle));
    benchmark::DoNotOptimize(target.DIBSectionBitsPtr());
  }
  tjDestroy(handle);
  state.counters["file_MB"] = static_cast<double>(jpeg.size()) / 1e6;
  state.counters["bits_per_px"] = static_cast<double>(jpeg.size()) * 8 / (double{width} * height);
}
BENCHMARK(BM_TurboJpegDecode12MP)->Unit(benchmark::kMillisecond);

// SaveJPG of a photo-like surface at quality 90, over the same file each time (as "temp.jpg" is
// rewritten for every shown picture): encoding, writing beside it, syncing to the disk and
// renaming. For comparison, the encoding alone into memory on the same surface.
void BM_SaveJPG(benchmark::State& state) {
  const int32_t width = static_cast<int32_t>(state.range(0));
  const int32_t height = static_cast<int32_t>(state.range(1));
  const cDIBSection& surface = PhotoSurface(width, height);
  test::TempDir dir;
  const std::string file = dir.File("temp.jpg");
  for (auto _ : state) {
    benchmark::DoNotOptimize(SaveJPG(surface, file, 90));
  }

  tjhandle handle = tjInitCompress();
  double encodeSeconds = 1e9;
  for (int run = 0; run < 5; ++run) {
    unsigned char* jpeg = nullptr;
    unsigned long size = 0;
    const double start = bench::ThreadSeconds();
    tjCompress2(handle, surface.DIBSectionBitsPtr(), width, surface.BytesPerScanLine(), height,
                TJPF_BGR, &jpeg, &size, TJSAMP_420, 90, TJFLAG_BOTTOMUP);
    encodeSeconds = std::min(encodeSeconds, bench::ThreadSeconds() - start);
    state.counters["file_KB"] = static_cast<double>(size) / 1e3;
    tjFree(jpeg);
  }
  tjDestroy(handle);
  state.counters["encode_only_ms"] = encodeSeconds * 1e3;
}
BENCHMARK(BM_SaveJPG)->Args({640, 480})->Args({1024, 768})->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace snapwick
