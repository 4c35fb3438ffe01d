// Save All: every picture of a list written as "Auto Save" writes it when the picture is shown,
// on worker sessions of their own.
#include <sys/stat.h>
#include <sys/wait.h>

#include <chrono>
#include <csignal>
#include <random>
#include <thread>

#include "app/SaveAll.h"
#include "core/SessionFixture.h"
#include "support/ExifBuilder.h"

namespace snapwick::test {

namespace {

struct SaveAllTest : SessionTest {
  void SetUp() override {
    SessionTest::SetUp();
    Pic("a.jpg", ExifJpeg(CameraExif(), false, MakeJpeg(400, 300, PhotoLike)));
    Pic("b.jpg", MakeJpeg(300, 400, PhotoLike));
    Pic("c.bmp", MakeBmp(200, 100));
    Pic("d.jpg", MakeJpeg(90, 60, PhotoLike, 70, JpegKind::Progressive));
  }
  // The batch of the session's list, with its settings and the road's switches.
  SaveAllSummary RunBatch(int32_t jobs, const std::optional<std::string>& label = {},
                          const SaveAll::Observer& observe = {}) {
    SaveAll batch(SaveAllJob{session_->Settings(), session_->Files(), road_, label, jobs});
    return batch.Run(observe);
  }
  const std::vector<std::string> names_{"a.jpg", "b.jpg", "c.bmp", "d.jpg"};
};

}  // namespace

// For each set of switches, the files of a batch on one job and on three are byte for byte those
// that "Auto Save" wrote while the pictures were shown.
TEST_F(SaveAllTest, WritesTheBytesOfAutoSaveWhateverTheJobs) {
  struct Case {
    const char* what;
    RoadSwitches road;
    std::optional<std::string> label;
    bool keepPictureData;
  };
  const Case cases[] = {
      {"the date", {}, {}, false},
      {"no date", {.autoDate = false}, {}, false},
      {"date and picture data, UTC", {.usePcZone = false, .pictureData = true}, {}, false},
      {"a label and the capture date", {.autoLabel = true, .useCaptureDate = true}, "Läbel", false},
      {"the picture data kept", {}, {}, true},
  };
  PicDataFlags items{};
  items[1] = items[2] = items[6] = 1;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Start(320, 240);
    session_->SetPictureDataItems(items);
    session_->SetKeepPictureData(c.keepPictureData);
    road_ = c.road;
    const std::string shown = out_.File(std::string("shown ") + c.what);
    AutoSaveShown(shown, "x", names_, c.label);
    for (const int32_t jobs : {1, 3}) {
      const std::string batch = out_.File(std::string("batch ") + c.what + std::to_string(jobs));
      ASSERT_EQ(::mkdir(batch.c_str(), 0755), 0);
      AutoSaveWith(batch, "x");
      road_ = c.road;
      EXPECT_EQ(RunBatch(jobs, c.label).Text(), "Save All: 4 of 4 written");
      EXPECT_EQ(SameFiles(shown, batch),
                "x_001.jpg 320x240, x_002.jpg 180x240, x_003.jpg 320x160, x_004.jpg 320x213")
          << jobs << " jobs";
    }
  }
}

// Pictures that cannot be read, and a target that is the picture itself, are passed over with
// their reasons; the rest are written, and the summary names the first in list order.
TEST_F(SaveAllTest, PassesOverWhatCannotBeReadOrWrittenAndWritesTheRest) {
  Pic("damaged.jpg", MakeJpeg(64, 48).substr(0, 40));
  Pic("gone.jpg", MakeJpeg(64, 48));
  Start(160, 120);
  session_->Files().SetFiles(Selection({"a.jpg", "damaged.jpg", "gone.jpg", "b.jpg", "d.jpg"}));
  ASSERT_EQ(::unlink(pics_.File("gone.jpg").c_str()), 0);
  AutoSaveWith(pics_.Path(), "", true);
  std::vector<std::pair<int32_t, int32_t>> told;
  const SaveAllSummary summary = RunBatch(
      2, {},
      [&](const SavedPicture&, int32_t done, int32_t total) { told.emplace_back(done, total); });
  EXPECT_EQ(summary.Text(), "Save All: 0 of 5 written, 2 could not be read, 3 failed (first: " +
                                pics_.File("a.jpg") + ": it is the original)");
  EXPECT_EQ(told,
            (std::vector<std::pair<int32_t, int32_t>>{{1, 5}, {2, 5}, {3, 5}, {4, 5}, {5, 5}}));

  const std::string saved = out_.Path();
  AutoSaveWith(saved, "", true);
  const SaveAllSummary rest = RunBatch(2);
  EXPECT_EQ(rest.Text(), "Save All: 3 of 5 written, 2 could not be read (first: " +
                             pics_.File("damaged.jpg") + ": Invalid picture: no picture)");
  EXPECT_EQ(Folder(saved), "a.jpg 160x120, b.jpg 90x120, d.jpg 160x107");
}

// A target folder that takes no file, or a disk that fills up, stops the batch at once with one
// reason; no file, whole or partial, is left under any name.
TEST_F(SaveAllTest, StopsWhenTheTargetFolderTakesNoFile) {
  Start(320, 240);
  session_->Files().SetFiles(Selection(names_));
  const std::string locked = out_.File("locked"), full = out_.File("full");
  ASSERT_EQ(::mkdir(locked.c_str(), 0555), 0);
  ASSERT_EQ(::mkdir(full.c_str(), 0755), 0);
  {
    const ScopedFilePermissionsApply permissions;
    AutoSaveWith(locked, "x");
    EXPECT_EQ(RunBatch(1).Text(), "Save All stopped: " + locked +
                                      "/x_001.jpg: Path/File access error; 0 of 4 written, 1 "
                                      "failed (first: " +
                                      locked + "/x_001.jpg: Path/File access error)");
  }
  // Files larger than the process may write fail as a full disk does.
  AutoSaveWith(full, "x");
  const SaveAllSummary summary = [&] {
    const ScopedFileSizeLimit limit(2000);
    return RunBatch(2);
  }();
  EXPECT_TRUE(summary.stopReason.ends_with(": Disk full") && summary.failed <= 2 &&
              summary.written == 0)
      << summary.Text();
  EXPECT_EQ(std::pair(Folder(locked), Folder(full)), std::pair(std::string(), std::string()));
}

// Cancelling stops after the pictures in flight, each written whole; a slide show comes first
// when asked for, and one that cannot be written stops the batch before any picture.
TEST_F(SaveAllTest, CancelsAfterThePicturesInFlightAndWritesTheSlideShowFirst) {
  Start(160, 120);
  session_->Files().SetFiles(Selection(names_));
  AutoSaveWith(out_.Path(), "x", false, true);
  SaveAll batch(SaveAllJob{session_->Settings(), session_->Files(), road_, {}, 1});
  const SaveAllSummary summary = batch.Run([&](const SavedPicture&, int32_t done, int32_t) {
    if (done == 2) batch.Cancel();
  });
  EXPECT_EQ(summary.Text(), "Save All cancelled: 2 of 4 written");
  EXPECT_EQ(Folder(out_.Path()),
            "slides.htm, slideshow.js, xSlideShow.htm, x_001.jpg 160x120, x_002.jpg 90x120");

  AutoSaveWith(out_.File("missing"), "x", false, true);
  const SaveAllSummary stopped = RunBatch(2);
  EXPECT_EQ(stopped.Text(), "Save All stopped: slide show not written: Path not found: " +
                                out_.File("missing") + "/xSlideShow.htm; 0 of 4 written");
}

// A batch killed at any moment leaves under each target name nothing, the earlier file or a whole
// new JPEG that decodes without a warning; temporary files do not pile up from one kill to the
// next, and a whole batch leaves none.
TEST_F(SaveAllTest, KilledAtAnyMomentLeavesOnlyWholeFiles) {
  std::vector<std::string> names;
  for (int i = 0; i < 16; ++i) {
    names.push_back("p" + std::to_string(i) + ".jpg");
    Pic(names.back(), MakeJpeg(800, 600, PhotoLike));
  }
  Start(320, 240);
  session_->Files().SetFiles(Selection(names));
  AutoSaveWith(out_.Path(), "x");
  const std::string earlier = MakeJpeg(50, 40);
  const auto clock = std::chrono::steady_clock::now;
  const auto begun = clock();
  ASSERT_EQ(RunBatch(2).written, 16);
  const auto whole = std::chrono::duration_cast<std::chrono::microseconds>(clock() - begun);
  const auto target = [&](int i) {
    return out_.File((i < 10 ? "x_00" : "x_0") + std::to_string(i) + ".jpg");
  };
  std::mt19937 random(20261207);
  // Kills that come after the batch ended do not count: 50 rounds are killed mid-way.
  int killed = 0;
  for (int round = 0; round < 400 && killed < 50; ++round) {
    SCOPED_TRACE(round);
    for (const int i : {2, 7, 11})
      WriteBytes(target(i), earlier);
    for (int i = 12; i <= 16; ++i)
      ::unlink(target(i).c_str());
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      RunBatch(2);
      ::_exit(0);
    }
    std::this_thread::sleep_for(std::chrono::microseconds(random() % (whole.count() + 1)));
    ::kill(child, SIGKILL);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    killed += WIFSIGNALED(status) ? 1 : 0;
    // A kill at the moment a file is renamed into place may leave it under a hidden name; the
    // next batch removes it first.
    const QStringList left = QDir(QString::fromStdString(out_.Path()))
                                 .entryList(QDir::Files | QDir::Hidden | QDir::System);
    int hidden = 0;
    for (const QString& name : left) {
      const std::string path = out_.File(name.toStdString());
      EXPECT_TRUE(ReadFile(path) == earlier || DecodeJpegFile(path).IsCreated())
          << name.toStdString() << " is neither the earlier file nor a whole JPEG";
      hidden += name.startsWith("x_0") ? 0 : 1;
    }
    EXPECT_LE(hidden, 2) << left.join(", ").toStdString();
  }
  EXPECT_EQ(killed, 50);
  RunBatch(2);
  EXPECT_EQ(QDir(QString::fromStdString(out_.Path())).entryList(QDir::Hidden | QDir::Files).size(),
            16);
}

}  // namespace snapwick::test
