// The picture string with all 27 catalogue items ticked, beside one plain read of the same whole
// file in the same run: (a) a camera JPEG with an EXIF block (about 60 entries, a 3 KB maker note,
// a thumbnail), (b) a 12-megapixel BMP without EXIF, where every ticked item looks the file up.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "metadata/PictureDataItems.h"
#include "metadata/PictureString.h"
#include "support/ExifBuilder.h"
#include "support/Fixtures.h"
#include "support/TestEnvironment.h"

namespace {

using snapwick::ComposePictureString;
using snapwick::PictureDataItemState;
using snapwick::PictureStringResult;
using Clock = std::chrono::steady_clock;

// The whole file into memory the plain way; the size read.
size_t PlainRead(const std::string& path) {
  FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return 0;
  std::fseek(file, 0, SEEK_END);
  const long size = std::ftell(file);
  std::rewind(file);
  std::vector<unsigned char> bytes(static_cast<size_t>(size));
  const size_t got = std::fread(bytes.data(), 1, bytes.size(), file);
  std::fclose(file);
  benchmark::DoNotOptimize(bytes.data());
  return got;
}

std::vector<PictureDataItemState> AllTicked() {
  std::vector<PictureDataItemState> items;
  for (const auto& entry : snapwick::kPictureDataCatalogue) {
    items.push_back({1, entry.caption, entry.tagId});
  }
  return items;
}

struct BenchFiles {
  snapwick::test::TempDir dir;
  std::string exifJpeg;
  std::string bmp;
};

const BenchFiles& Files() {
  static const BenchFiles* files = [] {
    auto* f = new BenchFiles;
    const std::string thumbnail = snapwick::test::MakeJpeg(160, 120, snapwick::test::PhotoLike);
    const std::string picture = snapwick::test::MakeJpeg(2048, 1536, snapwick::test::PhotoLike, 90);
    f->exifJpeg = f->dir.File("camera.jpg");
    snapwick::test::WriteBytes(
        f->exifJpeg, snapwick::test::ExifJpeg(snapwick::test::CameraExif(true, thumbnail, 3072),
                                              false, picture));
    f->bmp = f->dir.File("large.bmp");
    snapwick::test::WriteBytes(f->bmp, snapwick::test::MakeBmp(4000, 3000));
    return f;
  }();
  return *files;
}

double Seconds(Clock::duration d) {
  return std::chrono::duration<double>(d).count();
}

// Times the composition (the benchmark's own time) and a plain read of the same file, taking
// turns at going first so that neither always finds the other's caches warm.
void ComposeBesidePlainRead(benchmark::State& state, const std::string& path, bool expectText) {
  const std::vector<PictureDataItemState> items = AllTicked();
  const PictureStringResult check = ComposePictureString(path, items);
  if (check.text.empty() == expectText) {
    state.SkipWithError("unexpected picture string");
    return;
  }
  double plain = 0;
  double compose = 0;
  bool plainFirst = true;
  for (auto _ : state) {
    Clock::time_point t0, t1, t2, t3;
    if (plainFirst) {
      t0 = Clock::now();
      PlainRead(path);
      t1 = Clock::now();
    }
    t2 = Clock::now();
    PictureStringResult result = ComposePictureString(path, items);
    t3 = Clock::now();
    benchmark::DoNotOptimize(result);
    if (!plainFirst) {
      t0 = Clock::now();
      PlainRead(path);
      t1 = Clock::now();
    }
    plainFirst = !plainFirst;
    plain += Seconds(t1 - t0);
    compose += Seconds(t3 - t2);
    state.SetIterationTime(Seconds(t3 - t2));
  }
  const double n = static_cast<double>(state.iterations());
  state.counters["plain_read_us"] = plain / n * 1e6;
  state.counters["compose_us"] = compose / n * 1e6;
  state.counters["ratio_to_read"] = compose / plain;
}

void BM_PictureStringExifJpeg(benchmark::State& state) {
  ComposeBesidePlainRead(state, Files().exifJpeg, true);
}

void BM_PictureStringBmp12MP(benchmark::State& state) {
  ComposeBesidePlainRead(state, Files().bmp, false);
}

}  // namespace

BENCHMARK(BM_PictureStringExifJpeg)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PictureStringBmp12MP)->UseManualTime()->Unit(benchmark::kMillisecond);
