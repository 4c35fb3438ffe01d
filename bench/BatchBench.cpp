#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "app/PictureList.h"
#include "app/SaveAll.h"
#include "bench/Peers.h"
#include "imaging/FileAttributes.h"
#include "support/Fixtures.h"
#include "support/TestEnvironment.h"

namespace snapwick {
namespace {

constexpr int32_t kBatchSize = 50;
constexpr int32_t kBoxWidth = 640, kBoxHeight = 480;
constexpr int kQuality = 90;
constexpr double kMegabyte = 1024.0 * 1024.0;

// A batch of photo-like JPEGs in a temporary folder: a few distinct pictures, each hard-linked
// under several of the batch's names, so that the batch costs the disk space of the few. The
// folder goes with the batch.
class PhotoBatch {
 public:
  PhotoBatch(int32_t width, int32_t height, int32_t distinct) {
    std::vector<std::string> originals;
    for (int32_t k = 0; k < distinct; ++k) {
      // The same kind of picture, shifted, so that no two decode to the same pixels.
      const test::Pattern shifted = [k](int32_t x, int32_t y) {
        return test::PhotoLike(x + 101 * k, y + 37 * k);
      };
      originals.push_back(dir_.File("original" + std::to_string(k) + ".jpg"));
      test::WriteBytes(originals.back(), test::MakeJpeg(width, height, shifted, kQuality));
    }
    for (int32_t i = 0; i < kBatchSize; ++i) {
      char name[32];
      std::snprintf(name, sizeof name, "photo%02d.jpg", i + 1);
      const std::string file = dir_.File(name);
      if (::link(originals[static_cast<size_t>(i % distinct)].c_str(), file.c_str()) != 0) break;
      files_.push_back(file);
    }
    for (const std::string& original : originals)
      ::unlink(original.c_str());
    ok_ = files_.size() == static_cast<size_t>(kBatchSize);
  }

  bool Ok() const { return ok_; }
  const std::vector<std::string>& Files() const { return files_; }

 private:
  test::TempDir dir_;
  std::vector<std::string> files_;
  bool ok_ = false;
};

// Fifty 12-megapixel (4000 x 3000) pictures, made once for all the benchmarks of the batch.
const PhotoBatch& TwelveMegapixelBatch() {
  static const PhotoBatch batch(4000, 3000, 5);
  return batch;
}

// The fifty pictures for a benchmark, or null when they could not be made (the benchmark is then
// marked as failed with the reason).
const PhotoBatch* BatchFor(benchmark::State& state) {
  const PhotoBatch& batch = TwelveMegapixelBatch();
  if (batch.Ok()) return &batch;
  state.SkipWithError("the batch's pictures could not be made");
  return nullptr;
}

// Wall and CPU time (all threads, or all of a child process) per file of one round of a batch.
struct PerFile {
  double wall = -1;  // negative: the round did not write the batch
  double cpu = 0;
};

// The batch through SaveAll as File > Save All runs it: each picture boxed to 640 x 480 with the
// date drawn, written at quality 90 under a numbered name in a fresh folder.
PerFile SaveAllPerFile(const std::vector<std::string>& files, int32_t jobs) {
  test::TempDir output;
  SaveAllJob job;
  job.settings.quality = kQuality;
  job.settings.viewWidth = kBoxWidth;
  job.settings.viewHeight = kBoxHeight;
  job.settings.autoSave.names.filePath = output.Path() + "/";
  job.settings.autoSave.names.prefix = "batch";
  job.settings.autoSave.names.base = output.Path() + "/batch";
  job.files.SetFiles(PictureList::SelectionFor(files));
  job.switches.autoDate = true;
  job.jobs = jobs;
  SaveAll batch(std::move(job));
  const double start = bench::WallSeconds(), startCpu = bench::ProcessSeconds();
  const SaveAllSummary summary = batch.Run(nullptr);
  const double wall = bench::WallSeconds() - start, cpu = bench::ProcessSeconds() - startCpu;
  if (summary.written != static_cast<int32_t>(files.size())) {
    std::fprintf(stderr, "%s\n", summary.Text().c_str());
    return {};
  }
  const double count = static_cast<double>(files.size());
  return {wall / count, cpu / count};
}

// The best time per file of our batch seen so far in this run for each number of jobs; a
// benchmark that compares with one measures it when no other has yet.
std::map<int32_t, double>& BestOurs() {
  static std::map<int32_t, double> best;
  return best;
}

double OursPerFile(int32_t jobs) {
  auto found = BestOurs().find(jobs);
  if (found != BestOurs().end()) return found->second;
  const double seconds = SaveAllPerFile(TwelveMegapixelBatch().Files(), jobs).wall;
  if (seconds > 0) BestOurs()[jobs] = seconds;
  return seconds;
}

void Remember(int32_t jobs, double seconds) {
  auto [it, added] = BestOurs().emplace(jobs, seconds);
  if (!added) it->second = std::min(it->second, seconds);
}

// Fifty 12-megapixel JPEGs through Save All with the jobs given (all cores, and one: the road of
// a single thread), wall time per file, and the CPU time it took, which tells a busy machine from
// a slow road. The run on all cores is set against the single one.
void BM_BatchSaveAll12MP(benchmark::State& state) {
  const int32_t jobs = static_cast<int32_t>(state.range(0));
  const PhotoBatch* batch = BatchFor(state);
  if (batch == nullptr) return;
  PerFile best{1e9, 0};
  for (auto _ : state) {
    const PerFile round = SaveAllPerFile(batch->Files(), jobs);
    if (round.wall < 0) {
      state.SkipWithError("a picture of the batch was not written");
      return;
    }
    state.SetIterationTime(round.wall * kBatchSize);
    if (round.wall < best.wall) best = round;
  }
  Remember(jobs, best.wall);
  state.counters["jobs"] = jobs;
  state.counters["per_file_ms"] = best.wall * 1e3;
  state.counters["cpu_per_file_ms"] = best.cpu * 1e3;
  if (jobs != 1) {
    const double single = OursPerFile(1);
    state.counters["single_per_file_ms"] = single * 1e3;
    state.counters["ratio_to_single"] = best.wall / single;
  }
}
BENCHMARK(BM_BatchSaveAll12MP)
    ->ArgName("jobs")
    ->Apply([](benchmark::internal::Benchmark* b) {
      b->Arg(1);
      if (AllCores() > 1) b->Arg(AllCores());
    })
    ->Iterations(2)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// How many entries a folder holds.
int32_t FilesIn(const std::string& folder) {
  std::error_code error;
  int32_t count = 0;
  for (auto it = std::filesystem::directory_iterator(folder, error);
       !error && it != std::filesystem::directory_iterator(); it.increment(error))
    ++count;
  return count;
}

// A peer run as a child process on the fifty 12-megapixel files, one invocation for all of them
// into a fresh folder, wall time (and the CPU time it took) per file, set against our batch on all
// cores. A peer that is not installed is passed over with a line that says so.
void RunPeer(benchmark::State& state, const char* program, const char* package,
             std::vector<std::string> (*arguments)(const std::string& output)) {
  const std::string path = bench::FindProgram(program);
  if (path.empty()) {
    const std::string note = std::string(program) + " not installed (" + package + "): skipped";
    std::printf("%s\n", note.c_str());
    state.SetLabel(note);
    for (auto _ : state)
      state.SetIterationTime(0);
    return;
  }
  const PhotoBatch* batch = BatchFor(state);
  if (batch == nullptr) return;
  PerFile best{1e9, 0};
  for (auto _ : state) {
    test::TempDir output;
    std::vector<std::string> argv = arguments(output.Path());
    argv.insert(argv.begin(), path);
    argv.insert(argv.end(), batch->Files().begin(), batch->Files().end());
    const double start = bench::WallSeconds(), startCpu = bench::ChildrenSeconds();
    const int status = bench::RunProgram(argv);
    const double wall = bench::WallSeconds() - start, cpu = bench::ChildrenSeconds() - startCpu;
    if (status != 0 || FilesIn(output.Path()) != kBatchSize) {
      state.SkipWithError((std::string(program) + " did not write the batch").c_str());
      return;
    }
    state.SetIterationTime(wall);
    if (wall / kBatchSize < best.wall) best = {wall / kBatchSize, cpu / kBatchSize};
  }
  const double ours = OursPerFile(AllCores());
  state.counters["per_file_ms"] = best.wall * 1e3;
  state.counters["cpu_per_file_ms"] = best.cpu * 1e3;
  state.counters["ours_per_file_ms"] = ours * 1e3;
  state.counters["ours_faster_x"] = best.wall / ours;
}

std::vector<std::string> VipsArguments(const std::string& output) {
  return {"-s", std::to_string(kBoxWidth) + "x" + std::to_string(kBoxHeight), "-o",
          output + "/%s.jpg[Q=" + std::to_string(kQuality) + "]"};
}

std::vector<std::string> MogrifyArguments(const std::string& output) {
  // The date that our batch draws on the first picture (all of them share its file's times).
  const std::string date = GetFileDate(TwelveMegapixelBatch().Files().front(), true);
  return {"-path",     output,
          "-resize",   std::to_string(kBoxWidth) + "x" + std::to_string(kBoxHeight),
          "-quality",  std::to_string(kQuality),
          "-fill",     "white",
          "-annotate", "+0+12",
          date};
}

void BM_BatchPeerVipsthumbnail12MP(benchmark::State& state) {
  RunPeer(state, "vipsthumbnail", "libvips-tools", VipsArguments);
}
BENCHMARK(BM_BatchPeerVipsthumbnail12MP)
    ->Iterations(2)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

void BM_BatchPeerMogrify12MP(benchmark::State& state) {
  RunPeer(state, "mogrify", "imagemagick", MogrifyArguments);
}
BENCHMARK(BM_BatchPeerMogrify12MP)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

// The peak resident memory of the helper program run on a list, in bytes; negative when it
// failed.
double HelperPeakBytes(int32_t jobs, const std::vector<std::string>& files) {
  test::TempDir output, work;
  const std::string report = work.File("peak.txt");
  std::vector<std::string> argv = {SNAPWICK_BATCH_MEMORY, std::to_string(jobs), output.Path()};
  argv.insert(argv.end(), files.begin(), files.end());
  if (bench::RunProgram(argv, report) != 0) return -1;
  long kilobytes = -1;
  std::ifstream(report) >> kilobytes;
  return kilobytes < 0 ? -1 : static_cast<double>(kilobytes) * 1024.0;
}

// The peak resident memory of Save All on fifty 24-megapixel (6000 x 4000) pictures with two
// jobs, in a process of its own, set against what the batch may take: one decoded picture for
// each job and one more, and 60 MB besides. The same process with no picture shows what the
// libraries alone take.
void BM_BatchPeakMemory24MP(benchmark::State& state) {
  constexpr int32_t kWidth = 6000, kHeight = 4000, kJobs = 2;
  const PhotoBatch batch(kWidth, kHeight, 3);
  if (!batch.Ok()) {
    state.SkipWithError("the batch's pictures could not be made");
    return;
  }
  double peak = 0, baseline = 0;
  for (auto _ : state) {
    peak = HelperPeakBytes(kJobs, batch.Files());
    baseline = HelperPeakBytes(kJobs, {});
  }
  if (peak < 0 || baseline < 0) {
    state.SkipWithError("the batch helper failed");
    return;
  }
  const double decoded = static_cast<double>(kWidth) * kHeight * 3;
  const double bound = (kJobs + 1) * decoded + 60 * kMegabyte;
  state.counters["jobs"] = kJobs;
  state.counters["decoded_MB"] = decoded / kMegabyte;
  state.counters["peak_MB"] = peak / kMegabyte;
  state.counters["baseline_MB"] = baseline / kMegabyte;
  state.counters["bound_MB"] = bound / kMegabyte;
  state.counters["peak_to_bound"] = peak / bound;
}
BENCHMARK(BM_BatchPeakMemory24MP)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace snapwick
