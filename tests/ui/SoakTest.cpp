// A long run: 300 pictures of mixed sizes up to 12 megapixels, stepped through by "Auto" on a fast
// timer with "Auto Save" and the date on. Every picture is saved under its number at its fitted
// size, and the resident memory settles: after picture 300 it is within 10 % of its level after
// picture 20.

#include <QLabel>
#include <cstdio>

#include "ui/UiFixture.h"

namespace snapwick::test {

TEST_F(Form1Test, SoakThreeHundredPictures) {
  // A handful of distinct pictures under 300 names, as hard links: name, size, fitted size.
  const std::tuple<std::string, int, int, const char*> sources[] = {
      {"camera.jpg", 4000, 3000, "640x480"}, {"small.jpg", 640, 480, "640x480"},
      {"wide.jpg", 3000, 2000, "640x427"},   {"portrait.jpg", 2000, 3000, "320x480"},
      {"scan.bmp", 1200, 900, "640x480"},    {"panorama.jpg", 3000, 1000, "640x213"}};
  TempDir originals;
  for (const auto& [name, width, height, fitted] : sources)
    WriteBytes(originals.File(name), name.ends_with("bmp") ? MakeBmp(width, height, PhotoLike)
                                                           : MakeJpeg(width, height, PhotoLike));
  std::vector<std::string> names;
  std::string expected;
  for (int n = 1; n <= 300; ++n) {
    const auto& [name, width, height, fitted] = sources[(n - 1) % 6];
    names.push_back(std::to_string(1000 + n) + name);
    ASSERT_EQ(::link(originals.File(name).c_str(), pics_.File(names.back()).c_str()), 0);
    expected += QString::asprintf("%ssoak_%03d.jpg %s", n > 1 ? ", " : "", n, fitted).toStdString();
  }
  Form1& form = Start(2);
  AutoSaveWith(out_.Path(), "soak");
  int64_t resident[2] = {-1, -1};  // after pictures 20 and 300
  QObject::connect(&form.Timer1, &QTimer::timeout, &form, [&] {
    if (form.Files.CurrentFile == 21 || form.Files.CurrentFile == 301)
      resident[form.Files.CurrentFile / 300] = ProcStatusKb("VmRSS");
  });
  Load(names);
  Auto();
  EXPECT_EQ(form.WindowTitle, pics_.File(names.back()) + "  [ 3.0M 3000x1000] Photo 300 of 300");
  EXPECT_EQ(std::tuple(Folder(out_.Path()), form.LogMessage->text()), std::tuple(expected, ""));
  // Under AddressSanitizer both levels include the quarantine of freed memory, which fills within
  // the first pictures and then stays full.
  const double change = 100.0 * (resident[1] - resident[0]) / resident[0];
  std::printf(
      "[   SOAK   ] resident memory after picture 20: %ld kB, after 300: %ld kB (%+.1f %%)%s\n",
      resident[0], resident[1], change, kAddressSanitizer ? " under AddressSanitizer" : "");
  EXPECT_TRUE(resident[0] > 0 && std::abs(change) <= 10.0) << "resident memory did not settle";
}

}  // namespace snapwick::test
