// The picture road fed with damaged, odd and hostile files: the program keeps running, a file it
// cannot show leaves the previous picture on screen (without its drawn text) with its title, the
// position moves on, and nothing is written for it.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QLabel>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

#include "support/DamagedFiles.h"
#include "ui/RoadFixture.h"

namespace snapwick::test {
namespace {

enum class Outcome { Refused, Shown, Either };

struct Case {
  std::string label;
  std::string name;                                   // file name in the pictures' folder
  std::function<void(const std::string& path)> make;  // makes the file
  Outcome outcome;
  QSize fitted;  // the shown picture's size in the 320 x 240 box
};

std::function<void(const std::string&)> Bytes(std::string bytes) {
  return [bytes = std::move(bytes)](const std::string& path) { WriteBytes(path, bytes); };
}

// A BMP of 40 x 30 with some of its header changed.
std::function<void(const std::string&)> Bmp(const std::function<void(std::string&)>& change) {
  std::string bytes = MakeBmp(40, 30);
  change(bytes);
  return Bytes(bytes);
}

// A BMP stored top-down (negative height), as some programs write them.
std::string TopDownBmp(int32_t width, int32_t height) {
  std::string bytes = MakeBmp(width, height);
  const size_t stride = (static_cast<size_t>(width) * 3 + 3) & ~size_t{3};
  std::string rows;
  for (int32_t row = height - 1; row >= 0; --row)
    rows += bytes.substr(54 + row * stride, stride);
  bytes.replace(54, rows.size(), rows);
  Put32(bytes, 22, static_cast<uint32_t>(-height));
  return bytes;
}

// After a grace period, and until stopped, opens a FIFO for writing whenever someone waits to
// read it, so that a reader stuck in opening it gets free (and reads nothing) instead of hanging
// the test.
class FifoWatchdog {
 public:
  explicit FifoWatchdog(std::string path) : path_(std::move(path)) {
    thread_ = std::thread([this] {
      std::unique_lock lock(mutex_);
      if (wake_.wait_for(lock, std::chrono::seconds(10), [this] { return stopped_; })) return;
      while (!wake_.wait_for(lock, std::chrono::milliseconds(20), [this] { return stopped_; })) {
        const int fd = ::open(path_.c_str(), O_WRONLY | O_NONBLOCK);
        if (fd >= 0) {
          rescued_ = true;
          ::close(fd);
        }
      }
    });
  }
  ~FifoWatchdog() {
    {
      std::lock_guard lock(mutex_);
      stopped_ = true;
    }
    wake_.notify_all();
    thread_.join();
  }
  bool Rescued() const { return rescued_; }

 private:
  std::string path_;
  std::mutex mutex_;
  std::condition_variable wake_;
  bool stopped_ = false;
  std::atomic<bool> rescued_{false};
  std::thread thread_;
};

class HostileInputTest : public PictureRoadTest {
 protected:
  void SetUp() override {
    PictureRoadTest::SetUp();
    WriteBytes(pics_.File("good.jpg"), MakeJpeg(400, 300, PhotoLike));
  }

  // Shows each case after a good picture, in one list with auto-save on, stepping alternately
  // with "Next" and "Auto"; after a refused file, "Refresh" and "Save as..." work on the picture
  // still shown.
  void RunCases(const std::vector<Case>& cases) {
    Form1& form = Start();
    FixSize(1);  // 320 x 240
    AutoSaveWith(out_.Path(), "x");
    std::vector<std::string> names;
    for (const Case& c : cases) {
      c.make(pics_.File(c.name));
      names.push_back("good.jpg");
      names.push_back(c.name);
    }
    TempDir saved;
    std::vector<std::string> expected;
    const auto savedName = [](int number) {
      char name[32];
      std::snprintf(name, sizeof name, "x_%03d.jpg", number);
      return std::string(name);
    };

    Load(Selection(pics_.Path(), names));
    // The good picture as "Refresh" fits it: without the date that the auto-save made part of it.
    form.Resize_Click();
    const QImage refreshed = form.Picture2->PictureImage();
    for (size_t i = 0; i < cases.size(); ++i) {
      const Case& c = cases[i];
      SCOPED_TRACE(c.label);
      const int goodNumber = static_cast<int>(2 * i + 1);
      if (i > 0) form.NextFile_Click();
      ASSERT_EQ(form.CurrentFileName, pics_.File("good.jpg"));
      expected.push_back(savedName(goodNumber));
      ASSERT_EQ(ListFolder(out_.Path()), expected);
      // The auto-save made the date part of the picture; text drawn since is not.
      form.PicturePrint(10, 100, "drawn text", 0xFFFFFF, 0x000000);
      ASSERT_NE(form.Picture2->Image(), form.Picture2->PictureImage());

      const Screen before = Shown();
      if (i % 2 == 0) {
        form.NextFile_Click();
      } else {
        AutoStep();
      }
      EXPECT_EQ(form.CurrentFileName, pics_.File(c.name));
      EXPECT_EQ(form.Files.CurrentFile, goodNumber + 2);

      const bool shown = form.WindowTitle != before.title;
      if (c.outcome != Outcome::Either) {
        EXPECT_EQ(shown, c.outcome == Outcome::Shown);
      }
      if (shown) {
        EXPECT_EQ(form.Picture2->PictureImage().size(), c.fitted);
        expected.push_back(savedName(goodNumber + 1));
        EXPECT_EQ(ListFolder(out_.Path()), expected);
        EXPECT_EQ(JpegSize(out_.File(expected.back())),
                  std::make_pair(c.fitted.width(), c.fitted.height()));
        continue;
      }
      ExpectPreviousPictureKept(before);
      EXPECT_EQ(ListFolder(out_.Path()), expected);
      // The picture still shown is the one that "Refresh" fits and "Save as..." writes.
      form.Resize_Click();
      EXPECT_TRUE(form.Picture2->PictureImage() == refreshed);
      const std::string copy = saved.File("copy" + std::to_string(i) + ".jpg");
      SaveAs(copy);
      EXPECT_EQ(JpegSize(copy), std::make_pair(before.picture.width(), before.picture.height()));
    }
    form.NextFile_Click();  // the list is used up: the last picture stays
    EXPECT_EQ(ListFolder(out_.Path()), expected);
    EXPECT_TRUE(dialogs_.messages.empty()) << dialogs_.messages.front();
    EXPECT_TRUE(form.isVisible());
  }
};

TEST_F(HostileInputTest, DamagedAndOddFilesLeaveThePreviousPicture) {
  const std::string jpeg = MakeJpeg(64, 48, PhotoLike);
  const auto refused = [](std::string label, std::string name, auto make) {
    return Case{std::move(label), std::move(name), std::move(make), Outcome::Refused, {}};
  };
  const auto either = [](std::string label, std::string name, auto make, QSize fitted) {
    return Case{std::move(label), std::move(name), std::move(make), Outcome::Either, fitted};
  };
  std::vector<Case> cases = {
      refused("empty file", "empty.jpg", Bytes("")),
      refused("text", "text.jpg", Bytes("just some text, no picture")),
      refused("folder named like a picture", "x.jpg",
              [](const std::string& path) { ASSERT_EQ(::mkdir(path.c_str(), 0755), 0); }),
      refused("link to an endless device", "zero.jpg",
              [](const std::string& path) { ASSERT_EQ(::symlink("/dev/zero", path.c_str()), 0); }),
      refused("12-bit JPEG", "twelve.jpg", Bytes(WithFrame(jpeg, 0xC1, 12, 64, 48))),
      refused("lossless 16-bit JPEG", "lossless.jpg", Bytes(WithFrame(jpeg, 0xC3, 16, 64, 48))),
      refused("JPEG of no size", "nosize.jpg", Bytes(WithFrame(jpeg, 0xC0, 8, 0, 0))),
      refused("JPEG of no width", "nowidth.jpg", Bytes(WithFrame(jpeg, 0xC0, 8, 0, 48))),
      refused("BMP, negative width", "negw.bmp",
              Bmp([](std::string& b) { Put32(b, 18, static_cast<uint32_t>(-40)); })),
      refused("BMP, width 0", "w0.bmp", Bmp([](std::string& b) { Put32(b, 18, 0); })),
      refused("BMP, height 0", "h0.bmp", Bmp([](std::string& b) { Put32(b, 22, 0); })),
      refused("BMP, most negative height", "hmin.bmp",
              Bmp([](std::string& b) { Put32(b, 22, 0x80000000u); })),
      refused("BMP, largest width", "wmax.bmp",
              Bmp([](std::string& b) { Put32(b, 18, 0x7FFFFFFF); })),
      refused("BMP, 20000 x 20000 without pixels", "big.bmp", Bmp([](std::string& b) {
                Put32(b, 18, 20000);
                Put32(b, 22, 20000);
              })),
      refused("BMP, header size absurd", "hdr.bmp",
              Bmp([](std::string& b) { Put32(b, 14, 0x7FFFFFF0); })),
      refused("BMP, header size 0", "hdr0.bmp", Bmp([](std::string& b) { Put32(b, 14, 0); })),
      refused("BMP, 0 bits per pixel", "bpp0.bmp", Bmp([](std::string& b) { Put16(b, 28, 0); })),
      refused("BMP, 7 bits per pixel", "bpp7.bmp", Bmp([](std::string& b) { Put16(b, 28, 7); })),
      refused("BMP, run-length coding on 24 bits", "rle.bmp",
              Bmp([](std::string& b) { Put32(b, 30, 1); })),
      refused("BMP, palette of 2^31 colours", "pal.bmp", Bmp([](std::string& b) {
                Put16(b, 28, 8);
                Put32(b, 46, 0x7FFFFFFF);
              })),
      refused("BMP cut in its header", "cuthdr.bmp", Bytes(MakeBmp(40, 30).substr(0, 30))),
      refused("BMP magic alone", "magic.bmp", Bytes("BM")),
      // The reader may find the pixels behind the header when the offset points elsewhere.
      either("BMP, pixel offset beyond the end", "offend.bmp",
             Bmp([](std::string& b) { Put32(b, 10, 1000000); }), QSize(320, 240)),
      either("BMP, pixel offset negative", "offneg.bmp",
             Bmp([](std::string& b) { Put32(b, 10, 0xFFFFFFF0u); }), QSize(320, 240)),
      either("BMP, pixel offset inside the header", "offhdr.bmp",
             Bmp([](std::string& b) { Put32(b, 10, 4); }), QSize(320, 240)),
      either("BMP, pixels cut in half", "half.bmp",
             Bytes(MakeBmp(40, 30).substr(0, 54 + 40 * 3 * 15)), QSize(320, 240)),
  };
  RunCases(cases);
}

TEST_F(HostileInputTest, AFifoNamedLikeAPictureDoesNotHangTheProgram) {
  const std::string fifo = pics_.File("pipe.jpg");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
  FifoWatchdog watchdog(fifo);
  RunCases({Case{"FIFO", "pipe.jpg", [](const std::string&) {}, Outcome::Refused, {}}});
  EXPECT_FALSE(watchdog.Rescued()) << "the program hung opening a FIFO";
}

TEST_F(HostileInputTest, UnusualButSoundPicturesAreShown) {
  RunCases({
      Case{"CMYK JPEG", "cmyk.jpg", Bytes(MakeCmykJpeg(64, 48, 255, 0, 0, 255)), Outcome::Shown,
           QSize(320, 240)},
      Case{"one pixel wide", "wide1.jpg", Bytes(MakeJpeg(1, 300)), Outcome::Shown, QSize(1, 240)},
      Case{"one pixel high", "high1.bmp", Bytes(MakeBmp(300, 1)), Outcome::Shown, QSize(320, 1)},
      Case{"one pixel", "one.bmp", Bytes(MakeBmp(1, 1)), Outcome::Shown, QSize(240, 240)},
      // 2000 pixels high and 1 wide: fitted to 0.12 pixels, shown 1 pixel wide.
      Case{"a thread", "thread.bmp", Bytes(MakeBmp(1, 2000)), Outcome::Shown, QSize(1, 240)},
      Case{"top-down BMP", "topdown.bmp", Bytes(TopDownBmp(40, 30)), Outcome::Shown,
           QSize(320, 240)},
      // Few bytes for many pixels, as a complete picture can be: not taken for a cut-off file.
      Case{"flat 9-megapixel progressive JPEG", "flat.jpg",
           Bytes(MakeProgressiveJpeg(3000, 3000, Solid(Rgb{128, 128, 128}))), Outcome::Shown,
           QSize(240, 240)},
  });
}

TEST_F(HostileInputTest, CmykAndTopDownPicturesKeepTheirColoursAndWayUp) {
  WriteBytes(pics_.File("cmyk.jpg"), MakeCmykJpeg(64, 48, 255, 0, 0, 255));  // red
  WriteBytes(pics_.File("topdown.bmp"), TopDownBmp(40, 30));
  Form1& form = Start();
  FixSize(1);
  Load(Selection(pics_.Path(), {"cmyk.jpg", "topdown.bmp"}));
  const QColor red = form.Picture2->PictureImage().pixelColor(160, 120);
  EXPECT_GT(red.red(), 230);
  EXPECT_LT(red.green(), 25);
  EXPECT_LT(red.blue(), 25);
  form.NextFile_Click();
  // Green grows downwards in the generated picture.
  const QImage& shown = form.Picture2->PictureImage();
  ASSERT_EQ(shown.size(), QSize(320, 240));
  EXPECT_LT(shown.pixelColor(4, 4).green(), 30);
  EXPECT_GT(shown.pixelColor(4, 235).green(), 110);
}

// Every cut of a baseline and a progressive JPEG: at the start of each segment, at the start of
// each scan's data, one byte into it and in its middle. A file cut before its first scan's data
// has no picture; from there on what arrived is shown at the picture's full size.
TEST_F(HostileInputTest, TruncatedJpegsAtEverySegmentBoundary) {
  std::vector<Case> cases;
  const auto addCuts = [&](const std::string& kind, const std::string& jpeg) {
    const JpegLayout layout = ReadJpegLayout(jpeg);
    ASSERT_FALSE(layout.scans.empty());
    const size_t firstData = layout.scans.front().first;
    std::vector<size_t> cuts = {1, 2};
    for (const JpegLayout::Marker& marker : layout.markers) {
      cuts.push_back(marker.offset);
      cuts.push_back(marker.offset + 1);
      cuts.push_back(marker.offset + 3);  // inside the segment's length
    }
    for (const auto& [begin, end] : layout.scans) {
      cuts.push_back(begin);
      cuts.push_back(begin + 1);
      cuts.push_back((begin + end) / 2);
    }
    std::sort(cuts.begin(), cuts.end());
    cuts.erase(std::unique(cuts.begin(), cuts.end()), cuts.end());
    for (const size_t cut : cuts) {
      if (cut >= jpeg.size()) continue;
      const std::string name = kind + "_" + std::to_string(cut) + ".jpg";
      cases.push_back(Case{kind + " cut at " + std::to_string(cut), name,
                           Bytes(jpeg.substr(0, cut)),
                           cut >= firstData ? Outcome::Shown : Outcome::Refused, QSize(320, 240)});
    }
  };
  addCuts("baseline", MakeJpeg(64, 48, PhotoLike));
  addCuts("progressive", MakeProgressiveJpeg(64, 48, PhotoLike));
  ASSERT_GT(cases.size(), 60u);
  RunCases(cases);
}

TEST_F(HostileInputTest, FilesThatVanishOrLockUpAfterLoadingAreSkipped) {
  ScopedFilePermissionsApply permissions;
  ASSERT_TRUE(permissions.Effective()) << "mode bits cannot be made to apply";
  WriteBytes(pics_.File("gone.jpg"), MakeJpeg(64, 48));
  WriteBytes(pics_.File("locked.jpg"), MakeJpeg(64, 48));
  WriteBytes(pics_.File("folder.jpg"), MakeJpeg(64, 48));
  WriteBytes(pics_.File("last.jpg"), MakeJpeg(200, 100));
  Form1& form = Start();
  FixSize(1);
  AutoSaveWith(out_.Path(), "x");
  Load(Selection(pics_.Path(), {"good.jpg", "gone.jpg", "locked.jpg", "folder.jpg", "last.jpg"}));
  ASSERT_EQ(ListFolder(out_.Path()), std::vector<std::string>{"x_001.jpg"});

  // Between "Load..." and their turn one file goes, one can no longer be read and one becomes
  // a folder.
  ASSERT_EQ(::unlink(pics_.File("gone.jpg").c_str()), 0);
  ASSERT_EQ(::chmod(pics_.File("locked.jpg").c_str(), 0), 0);
  ASSERT_EQ(::unlink(pics_.File("folder.jpg").c_str()), 0);
  ASSERT_EQ(::mkdir(pics_.File("folder.jpg").c_str(), 0755), 0);
  ASSERT_EQ(::open(pics_.File("locked.jpg").c_str(), O_RDONLY), -1) << "root still reads it";

  const Screen first = Shown();
  for (const char* name : {"gone.jpg", "locked.jpg", "folder.jpg"}) {
    SCOPED_TRACE(name);
    form.NextFile_Click();
    EXPECT_EQ(form.CurrentFileName, pics_.File(name));
    ExpectPreviousPictureKept(first);
  }
  EXPECT_EQ(ListFolder(out_.Path()), std::vector<std::string>{"x_001.jpg"});
  AutoStep();
  EXPECT_EQ(form.WindowTitle, pics_.File("last.jpg") + "  [ 0.0M 200x100] Photo 5 of 5");
  EXPECT_EQ(ListFolder(out_.Path()), (std::vector<std::string>{"x_001.jpg", "x_005.jpg"}));
  EXPECT_TRUE(dialogs_.messages.empty());
}

// Headers that claim enormous pictures are refused before memory is taken for them: neither the
// address space nor the resident memory grows by more than a little while they are tried.
TEST_F(HostileInputTest, EnormousClaimsAreRefusedBeforeAnyLargeAllocation) {
  std::string hugeBmp = MakeBmp(4, 4);
  Put32(hugeBmp, 18, 65000);
  Put32(hugeBmp, 22, 65000);
  const std::string tinyJpeg = MakeJpeg(16, 16);
  const std::vector<std::pair<std::string, std::string>> files = {
      {"jpeg65000.jpg", WithFrame(tinyJpeg, 0xC0, 8, 65000, 65000)},
      {"bmp65000.bmp", hugeBmp},
      // Within the largest size accepted, but a few hundred bytes cannot hold 676 megapixels.
      {"jpeg26000.jpg", WithFrame(tinyJpeg, 0xC0, 8, 26000, 26000)},
  };
  std::vector<std::string> names = {"good.jpg"};
  for (const auto& [name, bytes] : files) {
    WriteBytes(pics_.File(name), bytes);
    names.push_back(name);
  }
  // A picture followed by 5 GB of nothing (a sparse file: it takes no room on the disk).
  WriteBytes(pics_.File("padded.jpg"), MakeJpeg(64, 48));
  ASSERT_EQ(::truncate(pics_.File("padded.jpg").c_str(), int64_t{5} << 30), 0);
  names.push_back("padded.jpg");

  Form1& form = Start();
  FixSize(1);
  AutoSaveWith(out_.Path(), "x");
  Load(Selection(pics_.Path(), names));
  for (size_t i = 1; i < names.size(); ++i) {
    SCOPED_TRACE(names[i]);
    const Screen before = Shown();
    AddressSpaceProbe addressSpace;
    ASSERT_TRUE(ResetPeakResident());
    const int64_t residentBefore = ProcStatusKb("VmHWM");
    form.NextFile_Click();
    const int64_t addressGrowth = addressSpace.GrowthKb();
    const int64_t residentGrowth = ProcStatusKb("VmHWM") - residentBefore;
    EXPECT_EQ(form.CurrentFileName, pics_.File(names[i]));
    ExpectPreviousPictureKept(before);
    EXPECT_LT(addressGrowth, 256 * 1024) << "kB of address space taken";
    EXPECT_LT(residentGrowth, 64 * 1024) << "kB of memory taken";
  }
  EXPECT_EQ(ListFolder(out_.Path()), std::vector<std::string>{"x_001.jpg"});
}

// Names with blanks, quotes, letters beyond ASCII (in UTF-8 and in Latin-1) and a newline are
// shown, titled, saved under their own names with a slide show, and saved through "Save as...".
TEST_F(HostileInputTest, OddNamesTravelTheWholeRoad) {
  const std::vector<std::string> names = {
      "with  blanks .jpg",
      "quote\"d 'name'.jpg",
      "\xC3\xBCnic\xC3\xB8"
      "de \xC3\x9F.jpg",
      "latin1 \xE9t\xE9.jpg",
      "new\nline.jpg",
      "back\\slash & <tag>.bmp",
  };
  for (const std::string& name : names) {
    WriteBytes(pics_.File(name), name.back() == 'p' ? MakeBmp(80, 60) : MakeJpeg(80, 60));
  }
  Form1& form = Start();
  FixSize(1);
  AutoSaveWith(out_.Path(), "", true, true);
  Load(Selection(pics_.Path(), names));
  TempDir copies;
  for (size_t i = 0; i < names.size(); ++i) {
    SCOPED_TRACE(i);
    if (i > 0) form.NextFile_Click();
    EXPECT_EQ(form.CurrentFileName, pics_.File(names[i]));
    EXPECT_EQ(form.WindowTitle, pics_.File(names[i]) + "  [ 0.0M 80x60] Photo " +
                                    std::to_string(i + 1) + " of " + std::to_string(names.size()));
    EXPECT_EQ(form.windowTitle(), QFile::decodeName(QByteArray::fromStdString(form.WindowTitle)));
    EXPECT_EQ(JpegSize(out_.File(names[i])), std::make_pair(320, 240));
    SaveAs(copies.File(names[i]));
    EXPECT_EQ(JpegSize(copies.File(names[i])), std::make_pair(320, 240));
  }
  std::vector<std::string> expected = names;
  for (const char* file : {"SlideShow.htm", "slides.htm", "slideshow.js"})
    expected.push_back(file);
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(ListFolder(out_.Path()), expected);
  EXPECT_TRUE(dialogs_.messages.empty());
}

}  // namespace
}  // namespace snapwick::test
