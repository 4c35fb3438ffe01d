#include <benchmark/benchmark.h>
#include <turbojpeg.h>
#include <unistd.h>

#include <QApplication>
#include <algorithm>
#include <ctime>
#include <optional>
#include <string>

#include "app/Form1.h"
#include "imaging/cDIBSection.h"
#include "platform/Dialogs.h"
#include "platform/PictureBox.h"
#include "platform/ScreenMetrics.h"
#include "support/Fixtures.h"
#include "support/TestEnvironment.h"

namespace snapwick {
namespace {

// The main window is driven without dialogs here.
class NoDialogs : public DialogHost {
 public:
  std::optional<std::string> OpenFiles(QWidget*, const std::string&, const std::string&) override {
    return std::nullopt;
  }
  std::optional<std::string> SaveFile(QWidget*, const std::string&, const std::string&) override {
    return std::nullopt;
  }
  std::optional<std::string> ChooseFolder(QWidget*, const std::string&,
                                          const std::string&) override {
    return std::nullopt;
  }
  bool AskYesNo(QWidget*, const std::string&, const std::string&) override { return false; }
  void ShowMessage(QWidget*, const std::string&, const std::string&) override {}
  std::optional<QFont> ChooseFont(QWidget*, const QFont&) override { return std::nullopt; }
  int RunModal(QDialog*) override { return 0; }
};

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

struct Window {
  NoDialogs dialogs;
  test::TempDir work;
  std::unique_ptr<Form1> form;

  explicit Window(int fixedSize) {
    ScreenMetrics::Override(ScreenMetrics::Values{15, 15, 1920 * 15, 1200 * 15});
    if (::chdir(work.Path().c_str()) != 0) std::abort();
    form = std::make_unique<Form1>(dialogs);
    form->show();
    form->FixedSize_Click(fixedSize);
    QApplication::processEvents();
  }
  ~Window() { ScreenMetrics::Override(std::nullopt); }
};

// The whole road of one picture: file date, picture string, load, title, fit, "temp.jpg", the
// picture read back, the date drawn. Reported against the bare decode of the same file.
void BM_ShowPicture12MP(benchmark::State& state) {
  Window window(static_cast<int>(state.range(0)));
  Form1& form = *window.form;
  // One run first, so that the measured runs reuse the window's memory as every later picture of
  // a session does.
  form.Session().Files().SetFiles(PhotoFile());
  form.ShowPicture();
  double best = 1e9;
  for (auto _ : state) {
    form.Session().Files().SetFiles(PhotoFile());
    const double start = ThreadSeconds();
    form.ShowPicture();
    best = std::min(best, ThreadSeconds() - start);
  }
  if (form.Session().PixelWidth() != 4000) state.SkipWithError("the picture was not shown");
  state.counters["box_width"] = form.Session().Picture2().Image().width();
  state.counters["best_ms"] = best * 1e3;
  state.counters["bare_decode_ms"] = BareDecodeSeconds() * 1e3;
  state.counters["ratio_to_decode"] = best / BareDecodeSeconds();
}
BENCHMARK(BM_ShowPicture12MP)->Arg(2)->Arg(4)->Unit(benchmark::kMillisecond);

// Writing the shown picture, drawn date included, as "Save as..." and the automatic save do.
void BM_SaveShownPicture(benchmark::State& state) {
  Window window(static_cast<int>(state.range(0)));
  Form1& form = *window.form;
  form.Session().Files().SetFiles(PhotoFile());
  form.ShowPicture();
  const std::string target = window.work.File("saved.jpg");
  for (auto _ : state)
    form.Session().SaveShownPicture(target);
  state.counters["box_width"] = form.Session().Picture2().Image().width();
}
BENCHMARK(BM_SaveShownPicture)->Arg(2)->Arg(4)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace snapwick
