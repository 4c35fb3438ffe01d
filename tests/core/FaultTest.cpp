// Pictures and disks as they come. The loader reads sound files, and a failure empties the picture
// it loads over. The picture road is fed with damaged, odd and hostile files: the program keeps
// running; a file it cannot show leaves the previous picture on screen (without its drawn text)
// with its title and says why on the log line (missing, unreadable, not a picture...), the
// position moves on, and nothing is saved for it. Writing fails: the temporary JPEG
// or the auto-save folder cannot be written, the disk is full, the target is read-only. The road
// goes on (a failed auto-save leaves a one-line note on the log line), a save of the shown picture
// raises what went wrong, and no earlier file is lost, changed or joined by stray files.

#include <sys/mount.h>

#include <set>

#include "base/Error.h"
#include "core/SessionFixture.h"
#include "imaging/PictureLoader.h"
#include "metadata/PictureDataItems.h"
#include "support/ExifBuilder.h"

namespace snapwick::test {

// The bytes with a little-endian number of `size` bytes written at an offset.
static std::string Put(std::string bytes, size_t at, uint32_t value, int size = 4) {
  for (int i = 0; i < size; ++i)
    bytes[at + i] = static_cast<char>(value >> (8 * i));
  return bytes;
}
// A baseline JPEG with its frame header changed: the marker's code (0xC1 extended, 0xC3
// lossless), the sample precision and the size.
static std::string WithFrame(std::string jpeg, char code, char precision, int width, int height) {
  const size_t at = jpeg.find("\xFF\xC0", 2);
  jpeg[at + 1] = code;
  jpeg[at + 4] = precision;
  return jpeg.replace(at + 5, 4, {char(height >> 8), char(height), char(width >> 8), char(width)});
}

TEST(PictureLoader, JpegBmpCmykAndAFailureEmptiesThePicture) {
  TempDir dir;
  WriteBytes(dir.File("good.jpg"), MakeJpeg(161, 37));
  WriteBytes(dir.File("bitmap.jpg"), MakeBmp(640, 480));  // read by content, not by name
  WriteBytes(dir.File("cmyk.jpg"), MakeJpeg(16, 8, Gradient, 90, JpegKind::CmykRed));
  // JPEG: the bytes of TurboJPEG's own decode, rows padded with zeros.
  Picture picture;
  LoadPicture(dir.File("good.jpg"), picture);
  EXPECT_EQ(std::memcmp(picture.Surface().DIBSectionBitsPtr(),
                        DecodeJpegFile(dir.File("good.jpg")).DIBSectionBitsPtr(), 484 * 37),
            0);
  // BMP upright, its size in 0.01 mm; CMYK in its colours.
  LoadPicture(dir.File("bitmap.jpg"), picture);
  EXPECT_EQ(std::tuple(picture.Width(), picture.Height(), HimetricToPixels(picture.Width()),
                       PixelAt(picture.Surface(), 7, 400)),
            std::tuple(16933, 12700, 640, Gradient(7, 400)));
  LoadPicture(dir.File("cmyk.jpg"), picture);
  const Rgb red = PixelAt(picture.Surface(), 3, 3);
  EXPECT_TRUE(red.r > 240 && red.g < 15 && red.b < 15);
  // A failure empties the picture it loads over. (Why files are refused: see the road below.)
  EXPECT_THROW(LoadPicture(dir.File("missing.jpg"), picture), SnapError);
  EXPECT_TRUE(picture.IsEmpty());
}

// A file of the pictures' folder and how the road takes it: refused (`fitted` invalid) or shown
// at `fitted` in the 320 x 240 box; `either` when both are sound.
struct Case {
  std::string name, bytes;
  QSize fitted = QSize();
  bool either = false;
};

// Each case follows a good picture in one list with auto-save on: the title or the log line names
// it, so the position moved on to it. A refused file takes no more than a little memory.
TEST_F(SessionTest, HostileDamagedOddTruncatedAndUnusualFiles) {
  ScopedFilePermissionsApply permissions;
  ASSERT_TRUE(::mkdir(pics_.File("x.jpg").c_str(), 0755) == 0 &&
              ::mkfifo(pics_.File("pipe.jpg").c_str(), 0644) == 0 &&
              ::symlink("/dev/zero", pics_.File("zero.jpg").c_str()) == 0);
  const std::string jpeg = MakeJpeg(64, 48, PhotoLike), tiny = MakeJpeg(16, 16),
                    bmp = MakeBmp(40, 30), small = MakeJpeg(80, 60);
  // A picture followed by 5 GB of nothing (a sparse file).
  ASSERT_EQ(::truncate(Pic("padded.jpg", jpeg).c_str(), int64_t{5} << 30), 0);
  const QSize full(320, 240);
  // clang-format off
  std::vector<Case> cases = {
      // Not pictures: empty, text, a folder, a link to an endless device, a FIFO nobody writes,
      // a picture with 5 GB behind it; gone or unreadable after "Load...".
      {"empty.jpg", ""}, {"text.jpg", "no picture"}, {"x.jpg", ""}, {"zero.jpg", ""}, {"pipe.jpg", ""},
      {"padded.jpg", ""}, {"gone.jpg", jpeg}, {"locked.jpg", jpeg},
      // 12-bit and 16-bit lossless JPEGs, JPEGs of no size, claims far beyond their bytes.
      {"12bit.jpg", WithFrame(jpeg, '\xC1', 12, 64, 48)}, {"16bit.jpg", WithFrame(jpeg, '\xC3', 16, 64, 48)},
      {"0x0.jpg", WithFrame(jpeg, '\xC0', 8, 0, 0)}, {"0x48.jpg", WithFrame(jpeg, '\xC0', 8, 0, 48)},
      {"65000.jpg", WithFrame(tiny, '\xC0', 8, 65000, 65000)}, {"26000.jpg", WithFrame(tiny, '\xC0', 8, 26000, 26000)},
      // BMP headers claiming too much or cut short, or with a field changed: sizes, header size, bits
      // per pixel, compression.
      {"65000.bmp", Put(Put(bmp, 18, 65000), 22, 65000)}, {"pal.bmp", Put(Put(bmp, 28, 8, 2), 46, 0x7FFFFFFF)},
      {"cut.bmp", bmp.substr(0, 30)}, {"magic.bmp", "BM"}, {"negw.bmp", Put(bmp, 18, -40)}, {"w0.bmp", Put(bmp, 18, 0)},
      {"h0.bmp", Put(bmp, 22, 0)}, {"hmin.bmp", Put(bmp, 22, 0x80000000u)}, {"wmax.bmp", Put(bmp, 18, 0x7FFFFFFF)},
      {"hdr.bmp", Put(bmp, 14, 0x7FFFFFF0)}, {"hdr0.bmp", Put(bmp, 14, 0)}, {"bpp0.bmp", Put(bmp, 28, 0, 2)},
      {"bpp7.bmp", Put(bmp, 28, 7, 2)}, {"rle.bmp", Put(bmp, 30, 1)},
      // Pixels that may still be found where the header points wrongly, or half of them.
      {"offend.bmp", Put(bmp, 10, 1000000), full, true}, {"offneg.bmp", Put(bmp, 10, -16), full, true},
      {"offhdr.bmp", Put(bmp, 10, 4), full, true}, {"half.bmp", bmp.substr(0, 54 + 1800), full, true},
      // Sound but unusual: CMYK, a pixel wide or high, few bytes for many pixels as a complete
      // picture can be, names with blanks, quotes, letters beyond ASCII in UTF-8 and Latin-1, a
      // line break.
      {"cmyk.jpg", MakeJpeg(64, 48, Gradient, 90, JpegKind::CmykRed), full},
      {"wide1.jpg", MakeJpeg(1, 300), {1, 240}}, {"high1.bmp", MakeBmp(300, 1), {320, 1}},
      {"one.bmp", MakeBmp(1, 1), {240, 240}}, {"thread.bmp", MakeBmp(1, 2000), {1, 240}},
      {"flat.jpg", MakeJpeg(3000, 3000, Solid({128, 128, 128}), 90, JpegKind::Progressive), {240, 240}},
      {"with  blanks .jpg", small, full}, {"quote\"d 'name' & <tag>.jpg", small, full},
      {"\xC3\xBCnic\xC3\xB8" "de \xC3\x9F.jpg", small, full}, {"latin1 \xE9t\xE9.bmp", MakeBmp(80, 60), full},
      {"new\nline.jpg", small, full}};
  // clang-format on
  // Baseline and progressive JPEGs cut at each marker, inside each segment's length, at the start
  // of each scan's data, one byte into it and in its middle: cut before the first scan's data they
  // are refused, from there on what arrived is shown at the full size.
  for (const std::string& source : {jpeg, MakeJpeg(64, 48, PhotoLike, 90, JpegKind::Progressive)}) {
    const auto byte = [&](size_t at) { return static_cast<uint8_t>(source[at]); };
    std::set<size_t> cuts = {1, 2};
    size_t firstData = source.size(), data = 0;
    for (size_t at = 2; at + 3 < source.size(); ++at) {
      const uint8_t code = byte(at + 1);
      if (byte(at) != 0xFF || code == 0 || code == 0xFF || (code >= 0xD0 && code <= 0xD7)) continue;
      cuts.insert({at, at + 1, at + 3, (data + at) / 2});
      data = code == 0xDA ? at + 2 + (byte(at + 2) << 8) + byte(at + 3) : at;
      firstData = std::min(firstData, code == 0xDA ? data : firstData);
      cuts.insert({data, data + 1});
    }
    for (auto cut = cuts.begin(); cut != cuts.end() && *cut < source.size(); ++cut)
      cases.push_back({"cut" + std::to_string(cases.size()) + ".jpg", source.substr(0, *cut),
                       *cut < firstData ? QSize() : full});
  }
  ASSERT_GT(cases.size(), 43u + 60u);  // the 43 files above and more than 60 cuts

  Pic("good.jpg", MakeJpeg(400, 300, PhotoLike));
  std::vector<std::string> names;
  for (const Case& c : cases) {
    if (!std::filesystem::exists(std::filesystem::symlink_status(pics_.File(c.name))))
      Pic(c.name, c.bytes);
    names.insert(names.end(), {"good.jpg", c.name});
  }
  Start(320, 240);
  AutoSaveWith(out_.Path(), "x");
  Load(names);
  ::unlink(pics_.File("gone.jpg").c_str());
  ::chmod(pics_.File("locked.jpg").c_str(), 0);
  ::alarm(300);  // a read that never ends stops the test program
  QString saved;
  std::map<std::string, std::string> notes;  // why a file was not shown, without the details
  for (size_t i = 0; i < cases.size(); ++i) {
    const auto& [name, bytes, fitted, either] = cases[i];
    SCOPED_TRACE(name);
    const std::string earlier = Log();
    if (i > 0) Next();
    EXPECT_EQ(Log(), earlier) << "a message stays until the next one";
    saved += QString::asprintf("%sx_%03zu.jpg 320x240", i ? ", " : "", 2 * i + 1);
    session_->PicturePrint(10, 100, "drawn text", 0xFFFFFF, 0);
    const Screen before = Shown();
    const MemoryProbe memory;
    const bool shown = Next();
    EXPECT_EQ(shown, session_->WindowTitle() != before.second);
    EXPECT_TRUE(either || shown == fitted.isValid());
    if (shown) {
      EXPECT_TRUE(session_->WindowTitle().starts_with(pics_.File(name)) &&
                  session_->Picture2().PictureImage().size() == fitted);
      saved += QString::asprintf(", x_%03zu.jpg %dx%d", 2 * i + 2, fitted.width(), fitted.height());
    } else {
      ExpectKept(before);
      const std::string note = "Not shown: " + pics_.File(name) + ": ";
      EXPECT_TRUE(Log().starts_with(note) && Log().size() > note.size()) << Log();
      notes[name] = QString::fromStdString(Log()).section(": ", 2, 2).toStdString();
      EXPECT_TRUE(memory.AddressSpaceKb() < 256 * 1024 && memory.ResidentKb() < 64 * 1024)
          << memory.AddressSpaceKb() << " and " << memory.ResidentKb() << " kB";
    }
    EXPECT_EQ(Folder(out_.Path()), saved.toStdString());
  }
  ::alarm(0);
  const std::string denied = "Path/File access error";
  EXPECT_EQ(
      (std::vector{notes["gone.jpg"], notes["x.jpg"], notes["locked.jpg"], notes["empty.jpg"]}),
      (std::vector<std::string>{"File not found", denied, denied, "Invalid picture"}));
}

// A file that cannot be shown leaves the date and picture data of the picture kept: drawn again on
// it, they are its own and not those of the file passed over.
TEST_F(SessionTest, AFileNotShownLeavesTheDateAndDataOfThePictureKept) {
  PicDataFlags items{};
  items[1] = items[2] = 1;
  StorePicDataSetting(items);
  const std::string a = Pic("a.jpg", MakeJpeg(400, 300, PhotoLike));
  const std::string bad = Pic("bad.jpg", ExifJpeg(CameraExif(), false, "\xFF\xD8 no picture"));
  std::filesystem::last_write_time(bad,
                                   std::filesystem::last_write_time(a) - std::chrono::days(400));
  Start(320, 240);
  road_.pictureData = true;
  Load({"a.jpg", "bad.jpg"});
  const QImage dated = session_->Picture2().Image();
  const auto facts = std::pair(session_->FileDateText(), session_->PictureString());
  EXPECT_FALSE(Next());
  EXPECT_EQ(std::pair(session_->FileDateText(), session_->PictureString()), facts);
  session_->FitPicture(session_->PictureRatio(), road_);
  EXPECT_TRUE(session_->Picture2().Image() == dated);
  session_->SetDate(true);
  EXPECT_TRUE(session_->Picture2().Image() == dated);
}

struct OutputFaultTest : SessionTest {
  void SetUp() override {
    SessionTest::SetUp();
    for (const auto& [name, width, height] :
         {std::tuple("a.jpg", 400, 300), {"b.jpg", 300, 400}, {"c.jpg", 200, 100}})
      Pic(name, MakeJpeg(width, height, PhotoLike));
  }
  const std::string earlier_ = MakeJpeg(50, 40);
  ScopedFilePermissionsApply permissions_;
};

// A small disk that fills up, for the auto-saved pictures and then for the temporary JPEG too.
TEST_F(OutputFaultTest, FullDisk) {
  const std::string small = work_.File("small"), cache = small + "/cache";
  ASSERT_EQ(::mkdir(small.c_str(), 0755), 0);
  if (::geteuid() != 0 || ::mount("tmpfs", small.c_str(), "tmpfs", 0, "size=256k") != 0)
    GTEST_SKIP() << "no small disk to fill: mounting one needs root";
  const std::unique_ptr<const char, void (*)(const char*)> unmount(
      small.c_str(), [](const char* folder) { ::umount2(folder, MNT_DETACH); });
  ::setenv("XDG_CACHE_HOME", cache.c_str(), 1);
  WriteBytes(small + "/x_001.jpg", earlier_);
  Start(320, 240);
  AutoSaveWith(small, "x");
  // Filled until no byte is left: the file is written as far as it goes.
  WriteBytes(small + "/filler", std::string(256 * 1024, '\0'));
  Load({"a.jpg", "b.jpg", "c.jpg"});
  EXPECT_EQ(Log(), "Not saved: " + small + "/x_001.jpg: Disk full");
  EXPECT_EQ(ErrorNumberOf([&] { session_->SaveShownPicture(small + "/x_001.jpg"); }), kErrDiskFull);
  // The temporary JPEG on the full disk too: the next picture cannot be shown.
  ASSERT_EQ(::chdir(small.c_str()), 0);
  session_->PicturePrint(10, 100, "drawn text", 0xFFFFFF, 0);
  const Screen shown = Shown();
  EXPECT_FALSE(Next());
  ExpectKept(shown);
  EXPECT_EQ(std::tuple(Log(), Folder(small), Folder(cache)),
            std::tuple("Not shown: " + pics_.File("b.jpg") + ": Disk full",
                       "filler, x_001.jpg 50x40", ""));
  // With room again the picture kept is fitted again, dated, and the road goes on.
  ASSERT_EQ(::unlink("filler"), 0);
  session_->FitPicture(session_->PictureRatio(), road_);
  EXPECT_TRUE(session_->Picture2().Image() == shown.first);  // the save put the date on it
  Next();
  EXPECT_EQ(session_->WindowTitle(), pics_.File("c.jpg") + "  [ 0.0M 200x100] Photo 3 of 3");
  EXPECT_EQ(JpegSize("x_003.jpg"), std::make_pair(320, 160));
  ASSERT_EQ(::chdir(work_.Path().c_str()), 0);
}

// Read-only or missing targets are never written over: the auto-saved pictures and the saves of
// the shown picture meet read-only files and folders and a missing folder.
TEST_F(OutputFaultTest, ReadOnlyOrMissingTargetsAreNeverWrittenOver) {
  const std::string odd = "new\nline.jpg", denied = "Path/File access error";
  Pic(odd, MakeJpeg(120, 90));
  for (const std::string& name : {std::string("x_001.jpg"), odd}) {
    WriteBytes(out_.File(name), earlier_);
    ASSERT_EQ(::chmod(out_.File(name).c_str(), 0444), 0);
  }
  ASSERT_EQ(::mkdir(out_.File("x_003.jpg").c_str(), 0755), 0);
  Start(320, 240);
  // Read-only files and folders of the pictures' names are passed over with a note.
  AutoSaveWith(out_.Path(), "x");
  Load({"a.jpg", "b.jpg", "c.jpg"});
  EXPECT_EQ(Log(), "Not saved: " + out_.File("x_001.jpg") + ": " + denied);
  Next();
  Next();
  EXPECT_EQ(Log(), "Not saved: " + out_.File("x_003.jpg") + ": " + denied);
  // A name with a line break: the note stays on one line.
  AutoSaveWith(out_.Path(), "", true);
  Load({odd});
  EXPECT_EQ(Log(), "Not saved: " + out_.File("new line.jpg") + ": " + denied);
  // A read-only folder keeps what it holds.
  ASSERT_EQ(::chmod(out_.Path().c_str(), 0555), 0);
  AutoSaveWith(out_.Path(), "y");
  Load({"b.jpg"});
  ::chmod(out_.Path().c_str(), 0755);
  EXPECT_EQ(Log(), "Not saved: " + out_.File("y_001.jpg") + ": " + denied);
  const auto save = [this](const std::string& name) {
    return ErrorNumberOf([&] { session_->SaveShownPicture(out_.File(name)); });
  };
  EXPECT_EQ(std::pair(save("x_001.jpg"), save("no folder/picture.jpg")),
            std::pair(int32_t{kErrPathFileAccess}, int32_t{kErrPathNotFound}));
  EXPECT_EQ(Folder(out_.Path()), odd + " 50x40, x_001.jpg 50x40, x_002.jpg 180x240, x_003.jpg");
  EXPECT_TRUE(std::filesystem::is_empty(out_.File("x_003.jpg")));
}

}  // namespace snapwick::test
