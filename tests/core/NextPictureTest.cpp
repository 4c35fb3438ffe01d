// The picture decoded ahead: which one, when it is handed over, and that a picture shown from it
// is the picture the file holds when it is shown.
#include <fcntl.h>
#include <sys/stat.h>

#include <cstdio>
#include <functional>

#include "app/NextPicture.h"
#include "core/SessionFixture.h"

namespace snapwick::test {
namespace {

// What a session that reads the file itself shows for it, and saves.
struct Showing {
  bool shown = false;
  int32_t width = 0;
  std::string log, saved;
  bool operator==(const Showing&) const = default;
};

// A session with a 160 x 120 box; the pictures are made in its working folder.
struct NextPictureTest : SessionTest {
  void SetUp() override {
    SessionTest::SetUp();
    Start(160, 120);
  }
  // One step of the window: "Next" (or the first picture of the list) or "Prev"; then waits until
  // the picture ahead is decoded.
  bool Step(Travel travel) {
    if (travel == Travel::Back && !session_->Files().StepBack()) return false;
    const bool shown = session_->ShowPicture({}, nullptr, travel);
    session_->Ahead().WaitIdle();
    return shown;
  }
  Showing Outcome(PictureSession& session, bool shown) {
    const std::string target = work_.File("saved.jpg");
    session.SaveShownPicture(target);
    return {shown, session.PixelWidth(), session.Log(), ReadFile(target)};
  }
  // The same picture shown by a session of its own, which reads its file.
  Showing Direct(const std::string& path) {
    PictureSession fresh;
    fresh.SetView(160, 120);
    fresh.Files().SetFiles(path);
    return Outcome(fresh, fresh.ShowPicture({}, nullptr));
  }
  std::string Jpeg(const std::string& name, int32_t width) {
    const std::string path = work_.File(name);
    WriteBytes(path, MakeJpeg(width, width * 3 / 4, PhotoLike));
    return path;
  }
};

TEST_F(NextPictureTest, EachStepShowsThePictureDecodedAheadInItsWay) {
  const std::vector<std::string> paths = {Jpeg("a.jpg", 40), Jpeg("b.jpg", 48), Jpeg("c.jpg", 56),
                                          Jpeg("d.jpg", 64)};
  session_->Files().SetFiles(PictureList::SelectionFor(paths));
  const NextPicture& ahead = session_->Ahead();
  // The step, the picture shown ("" none: past the end), and the pictures taken from the one
  // decoded ahead and read again so far.
  const std::tuple<Travel, std::string, int, int> steps[] = {
      {Travel::Forward, "a.jpg", 0, 1},  // nothing ahead yet
      {Travel::Forward, "b.jpg", 1, 1},
      {Travel::Forward, "c.jpg", 2, 1},
      {Travel::Back, "b.jpg", 2, 2},  // d.jpg was ahead
      {Travel::Back, "a.jpg", 3, 2},
      {Travel::Forward, "b.jpg", 3, 3},  // nothing is before a.jpg
      {Travel::Forward, "c.jpg", 4, 3},
      {Travel::Forward, "d.jpg", 5, 3},
      {Travel::Forward, "", 5, 3},
      {Travel::Back, "c.jpg", 5, 4},
      {Travel::Back, "b.jpg", 6, 4}};
  int n = 0;
  for (const auto& [travel, name, taken, again] : steps) {
    SCOPED_TRACE(++n);
    const bool shown = Step(travel);
    EXPECT_EQ(std::tuple(shown, session_->CurrentFileName(), ahead.TakenReady(), ahead.ReadAgain()),
              std::tuple(!name.empty(), name.empty() ? "" : work_.File(name), taken, again));
    if (shown) {
      EXPECT_EQ(Outcome(*session_, shown), Direct(session_->CurrentFileName()));
    }
  }
}

TEST_F(NextPictureTest, APictureIsTakenFromAheadOnlyWhileItsFileIsAsItWasRead) {
  const std::string a = Jpeg("a.jpg", 40), b = work_.File("b.bmp");
  const std::string selection = PictureList::SelectionFor({a, b});
  // Writes b.bmp anew: in place or under another name moved over it, with the times it had or
  // not. Pictures of 80 x 60 and 60 x 80 make files of the same size.
  const auto rewrite = [&](int32_t width, int32_t height, bool rename, bool keepTimes) {
    struct stat before {};
    ASSERT_EQ(::stat(b.c_str(), &before), 0);
    const std::string written = rename ? work_.File("new.bmp") : b;
    WriteBytes(written, MakeBmp(width, height, PhotoLike));
    const timespec times[2] = {before.st_atim, before.st_mtim};
    ASSERT_TRUE(!keepTimes || ::utimensat(AT_FDCWD, written.c_str(), times, 0) == 0);
    ASSERT_TRUE(!rename || std::rename(written.c_str(), b.c_str()) == 0);
    struct stat after {};
    ASSERT_EQ(::stat(b.c_str(), &after), 0);
    ASSERT_TRUE(!keepTimes || after.st_size == before.st_size);
  };
  // What happens to b.bmp once it is decoded ahead, the width shown then (0: not shown), and
  // whether it was taken from ahead.
  const std::tuple<const char*, std::function<void()>, int32_t, bool> rows[] = {
      {"unchanged", [] {}, 80, true},
      {"rewritten larger", [&] { rewrite(100, 75, false, false); }, 100, false},
      {"rewritten, size and times kept", [&] { rewrite(60, 80, false, true); }, 60, false},
      {"replaced, size and times kept", [&] { rewrite(60, 80, true, true); }, 60, false},
      {"cut short", [&] { ::truncate(b.c_str(), 40); }, 0, false},
      {"deleted", [&] { std::remove(b.c_str()); }, 0, false}};
  for (const auto& [change, apply, width, taken] : rows) {
    SCOPED_TRACE(change);
    WriteBytes(b, MakeBmp(80, 60, PhotoLike));
    session_->Files().SetFiles(selection);
    ASSERT_TRUE(Step(Travel::Forward));
    ASSERT_TRUE(session_->Ahead().IsReady());
    apply();
    const int64_t before = session_->Ahead().TakenReady();
    const bool shown = Step(Travel::Forward);
    EXPECT_EQ(
        std::tuple(shown ? session_->PixelWidth() : 0, session_->Ahead().TakenReady() > before),
        std::tuple(width, taken));
    // Shown, log line and saved bytes as if nothing had been read ahead.
    const Showing direct = Direct(b);
    ASSERT_EQ(shown, direct.shown);
    if (shown) {
      EXPECT_EQ(Outcome(*session_, shown).saved, direct.saved);
    } else {
      EXPECT_EQ(session_->Log(), direct.log);
      EXPECT_EQ(session_->Log().rfind("Not shown: " + b + ": ", 0), 0u) << session_->Log();
    }
  }
  EXPECT_EQ(session_->Log(), "Not shown: " + b + ": File not found: " + b);  // the last row
}

TEST(NextPicture, HandsOverOnlyThePathAskedForAndNothingThatFailed) {
  TempDir work;
  const std::string a = work.File("a.jpg"), missing = work.File("missing.jpg");
  WriteBytes(a, MakeJpeg(32, 24));
  NextPicture ahead;
  Picture into;
  ahead.Start(a);
  EXPECT_FALSE(ahead.Take(missing, into));  // another path: the one ahead is given up
  EXPECT_FALSE(ahead.Take(a, into));
  ahead.Start(a);
  ahead.WaitIdle();
  EXPECT_TRUE(ahead.IsReady());
  ahead.Start("");  // drops it
  EXPECT_FALSE(ahead.IsReady());
  ahead.Start(a);
  EXPECT_TRUE(ahead.Take(a, into));  // waits for the decode when it is still running
  EXPECT_EQ(std::tuple(into.PixelWidth(), ahead.IsReady()), std::tuple(32, false));
  ahead.Start(missing);
  ahead.WaitIdle();
  EXPECT_FALSE(ahead.Take(missing, into));
  EXPECT_EQ(into.PixelWidth(), 32);  // left as it was
  EXPECT_EQ(std::tuple(ahead.TakenReady(), ahead.ReadAgain()), std::tuple(1, 3));
  ahead.Start(a);  // ends with a decode in flight or held
}

}  // namespace
}  // namespace snapwick::test
