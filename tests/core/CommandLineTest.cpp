// The command line `snapwick --save-all=DIR [OPTION]... PICTURE...`: its parser, the batch it
// runs without a window, and the program run with no display at all.
#include <sys/stat.h>
#include <unistd.h>

#include <QRegularExpression>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <set>
#include <sstream>
#include <thread>
#include <tuple>

#include "app/BatchCommand.h"
#include "app/CommandLine.h"
#include "base/Settings.h"
#include "core/SessionFixture.h"
#include "labels/LabelFont.h"
#include "metadata/PictureDataItems.h"
#include "support/ExifBuilder.h"

namespace snapwick::test {

namespace {

bool Exists(const std::string& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0;
}

}  // namespace

// Present in a sanitizer build: the bytes of the heap in use. AddressSanitizer keeps freed memory
// from reuse for a while (its quarantine, 256 MB), so that there the resident memory grows up to
// that much whatever the program holds; the heap in use tells what it holds.
extern "C" __attribute__((weak)) size_t __sanitizer_get_current_allocated_bytes();

namespace {

// What the process holds in kB: its resident memory, or under AddressSanitizer its heap in use.
int64_t HeldKb() {
  if (__sanitizer_get_current_allocated_bytes != nullptr) {
    return static_cast<int64_t>(__sanitizer_get_current_allocated_bytes() / 1024);
  }
  return ProcStatusKb("VmRSS");
}

const CommandLineOptions& Options(const ParsedCommandLine& parsed) {
  static const CommandLineOptions kNone;
  const auto* options = std::get_if<CommandLineOptions>(&parsed);
  EXPECT_NE(options, nullptr) << std::get<UsageError>(parsed).message;
  return options != nullptr ? *options : kNone;
}

std::string ErrorOf(const ParsedCommandLine& parsed) {
  const auto* error = std::get_if<UsageError>(&parsed);
  return error != nullptr ? error->message : "(parsed)";
}

// What a command did: its exit status and its two outputs.
struct Ran {
  int status = -1;
  std::string out, err;
  bool operator==(const Ran&) const = default;
};

void PrintTo(const Ran& ran, std::ostream* os) {
  *os << "status " << ran.status << ", out \"" << ran.out << "\", err \"" << ran.err << '"';
}

struct CommandLineTest : SessionTest {
  Ran Run(const std::vector<std::string>& args, std::function<void(int32_t)> afterPicture = {},
          bool terminal = false, std::istream* in = nullptr) {
    std::ostringstream out, err;
    CommandIo io{out, err, terminal, std::move(afterPicture), in};
    const int status = RunCommandLine(args, io);
    return {status, out.str(), err.str()};
  }
  // Three pictures in the pictures' folder, their paths.
  std::vector<std::string> ThreePictures() {
    return {Pic("a.jpg", MakeJpeg(400, 300, PhotoLike)), Pic("b.jpg", MakeJpeg(300, 400)),
            Pic("c.bmp", MakeBmp(200, 100))};
  }
  // What a run that wrote all of its `count` pictures tells.
  static Ran Wrote(int count) {
    const std::string n = std::to_string(count);
    return {0, "", "snapwick: " + n + " of " + n + " written\n"};
  }
  static std::vector<std::string> Join(std::vector<std::string> front,
                                       const std::vector<std::string>& back) {
    front.insert(front.end(), back.begin(), back.end());
    return front;
  }
};

}  // namespace

// --- The parser ---

TEST(CommandLineParse, ReadsEveryOptionInItsLongAndShortForms) {
  const CommandLineOptions options =
      Options(ParseCommandLine({"a.jpg",
                                "--save-all",
                                "out",
                                "-s320x240",
                                "--prefix=trip",
                                "-q",
                                "75",
                                "--no-date",
                                "--utc",
                                "--capture-date",
                                "--picture-data=make, MODEL,exposuretime",
                                "-l",
                                "Hello",
                                "--font=DejaVu Sans:12.5:bold",
                                "--keep-picture-data",
                                "--slide-show=2.5",
                                "-j4",
                                "-n",
                                "--files-from",
                                "list",
                                "-0",
                                "--quiet",
                                "b.jpg"}));
  EXPECT_EQ(options.action, CommandLineOptions::Action::Batch);
  EXPECT_EQ(options.outputFolder, "out");
  EXPECT_EQ(std::pair(options.boxWidth, options.boxHeight),
            std::pair(std::optional<int32_t>(320), std::optional<int32_t>(240)));
  EXPECT_EQ(options.prefix, "trip");
  EXPECT_FALSE(options.keepNames);
  EXPECT_EQ(options.quality, 75);
  EXPECT_EQ(options.date, false);
  EXPECT_TRUE(options.utc && options.captureDate && options.pictureData);
  EXPECT_EQ(options.pictureItems, (std::vector<int32_t>{1, 2, 6}));
  EXPECT_EQ(options.label, "Hello");
  EXPECT_EQ(options.font, (LabelFont{"DejaVu Sans", 12.5f, true, false}));
  EXPECT_TRUE(options.keepPictureData);
  EXPECT_EQ(options.slideSeconds, 2.5);
  EXPECT_EQ(options.jobs, 4);
  EXPECT_TRUE(options.dryRun && options.nullSeparated && options.quiet);
  EXPECT_EQ(options.filesFrom, std::vector<std::string>{"list"});
  EXPECT_EQ(options.pictures, (std::vector<std::string>{"a.jpg", "b.jpg"}));
}

TEST(CommandLineParse, LeavesUnsetWhatWasNotGiven) {
  const CommandLineOptions options = Options(ParseCommandLine({"-o", "out", "a.jpg"}));
  EXPECT_FALSE(options.boxWidth || options.boxHeight || options.prefix || options.quality ||
               options.date || options.pictureItems || options.label || options.font ||
               options.slideSeconds || options.jobs);
  EXPECT_FALSE(options.keepNames || options.utc || options.captureDate || options.pictureData ||
               options.keepPictureData || options.dryRun || options.nullSeparated || options.quiet);
}

// Forms that getopt_long reads alike: bundled flags, values attached or apart, abbreviations,
// options after the pictures, and "--" that makes the rest pictures.
TEST(CommandLineParse, ReadsTheFormsOfGetoptLong) {
  struct Row {
    std::vector<std::string> args;
    std::function<bool(const CommandLineOptions&)> holds;
  };
  const Row rows[] = {
      {{"-kn0j", "4", "-oout", "a"},
       [](const auto& o) {
         return o.keepNames && o.dryRun && o.nullSeparated && o.jobs == 4 &&
                o.outputFolder == "out";
       }},
      {{"-o", "out", "a", "--jobs", "3", "--qual=7", "--slide"},
       [](const auto& o) { return o.jobs == 3 && o.quality == 7 && o.slideSeconds == 5.0; }},
      {{"-o", "-", "--", "-k", "--help", "-"},
       [](const auto& o) {
         return o.outputFolder == "-" && !o.keepNames &&
                o.pictures == std::vector<std::string>{"-k", "--help", "-"};
       }},
      {{"-o", "out", "-i", "Make", "--date", "--no-date", "--date"},
       [](const auto& o) {
         return o.pictureData && !o.pictureItems && o.date == true &&
                o.pictures == std::vector<std::string>{"Make"};
       }},
      {{"-o", "out", "-iMake,FlashEnergy", "-s", "16384X1", "a"},
       [](const auto& o) {
         return o.pictureItems == std::vector<int32_t>{1, 25} && o.boxWidth == 16384 &&
                o.boxHeight == 1;
       }},
      {{"--save-all=out", "--label=", "-fSerif:8:italic:BOLD", "--files-from=-", "x"},
       [](const auto& o) {
         return o.label == "" && o.font == LabelFont{"Serif", 8, true, true} &&
                o.filesFrom == std::vector<std::string>{"-"};
       }},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::PrintToString(row.args));
    EXPECT_TRUE(row.holds(Options(ParseCommandLine(row.args))));
  }
}

TEST(CommandLineParse, ArgumentsThatAreOptionsAskForTheCommandLine) {
  const std::pair<std::vector<std::string>, bool> rows[] = {
      {{}, false},
      {{"a.jpg", "file:///p/b.jpg"}, false},
      {{"-"}, false},
      {{"--", "-o"}, false},
      {{"a.jpg", "-o"}, true},
      {{"--help"}, true},
      {{"-V", "--"}, true},
  };
  for (const auto& [args, command] : rows)
    EXPECT_EQ(IsCommandLine(args), command) << (args.empty() ? "" : args.back());
}

// --- Usage errors ---

// Each wrong command line exits with 2, names the option at fault, points to --help and writes
// nothing: not even the output folder is made.
TEST_F(CommandLineTest, UsageErrorsNameTheOptionAndWriteNothing) {
  const std::string picture = Pic("a.jpg", MakeJpeg(64, 48));
  const std::string out = out_.File("made");
  const std::string file = Pic("file.txt", "text");
  struct Row {
    std::vector<std::string> args;
    std::string message;
  };
  const Row rows[] = {
      {{"--no-such", "-o", out, picture}, "unrecognized option '--no-such'"},
      {{"--no-such", "--help"}, "unrecognized option '--no-such'"},
      {{"-x", "-o", out, picture}, "invalid option -- 'x'"},
      {{"-o", out, "--size", "640x", picture}, "invalid --size '640x'"},
      {{"-o", out, "--size", "0x480", picture}, "invalid --size '0x480'"},
      {{"-o", out, "--size", "100000x100", picture}, "invalid --size '100000x100'"},
      {{"-o", out, "--size=x480", picture}, "invalid --size 'x480'"},
      {{"-o", out, "--quality", "0", picture}, "invalid --quality '0'"},
      {{"-o", out, "--quality", "1000", picture}, "invalid --quality '1000'"},
      {{"-o", out, "-q", "-5", picture}, "invalid --quality '-5'"},
      {{"-o", out, "--jobs", "0", picture}, "invalid --jobs '0'"},
      {{"-o", out, "-j", "1025", picture}, "invalid --jobs '1025'"},
      {{"-o", out, "--slide-show=0", picture}, "invalid --slide-show '0'"},
      {{"-o", out, "--font=Serif", picture}, "invalid --font 'Serif'"},
      {{"-o", out, "--font=Serif:12:heavy", picture}, "invalid --font 'Serif:12:heavy'"},
      {{"-o", out, "--picture-data=Make,Lens", picture}, "unknown --picture-data item 'Lens'"},
      {{"-o", out, "--prefix=../x", picture}, "invalid --prefix '../x'"},
      {{"-o", out, "--quiet=yes", picture}, "option '--quiet' doesn't allow an argument"},
      {{"-o", out, "--keep", picture}, "option '--keep' is ambiguous"},
      {{"-o", out, picture, "--label"}, "option '--label' requires an argument"},
      {{"-s", "320x240", picture}, "missing --save-all=DIR"},
      {{"-o", out}, "missing PICTURE"},
      {{"-o", out, "-p", "x", "-k", picture}, "--prefix and --keep-names"},
      {{"-o", file, picture}, "--save-all '" + file + "': not a folder"},
      {{"-o", out, "--files-from", pics_.File("none"), picture},
       "--files-from '" + pics_.File("none") + "': File not found"},
  };
  for (const Row& row : rows) {
    const Ran ran = Run(row.args);
    EXPECT_EQ(ran.status, 2) << row.message;
    EXPECT_TRUE(ran.err.starts_with("snapwick: " + row.message)) << ran.err;
    EXPECT_TRUE(ran.err.ends_with("\nTry 'snapwick --help' for more information.\n")) << ran.err;
    EXPECT_EQ(ran.out, "");
    EXPECT_FALSE(Exists(out)) << row.message;
  }
  EXPECT_EQ(Folder(pics_.Path()), "a.jpg 64x48, file.txt");
}

// --help and --version print on standard output alone, and what follows them is not read.
TEST_F(CommandLineTest, HelpAndVersionPrintOnStandardOutputWhateverFollows) {
  const std::string version = std::to_string(SNAPWICK_VERSION_MAJOR) + "." +
                              std::to_string(SNAPWICK_VERSION_MINOR) + "." +
                              std::to_string(SNAPWICK_VERSION_PATCH);
  const std::pair<std::vector<std::string>, std::string> rows[] = {
      {{"--help", "--no-such"}, "Usage: snapwick [PICTURE]...\n"},
      {{"-kV", "-o"}, "snapwick (Snapwick) " + version + "\n"},
  };
  for (const auto& [args, begins] : rows) {
    const Ran ran = Run(args);
    EXPECT_EQ((Ran{ran.status, ran.out.substr(0, begins.size()), ran.err}), (Ran{0, begins, ""}));
  }
  EXPECT_NE(Run({"-h"}).out.find("FlashEnergy"), std::string::npos);
}

// The long options that --help shows are those the manual page describes, and the parser takes
// each of them.
TEST(CommandLineManual, DescribesTheOptionsOfHelp) {
  const auto longOptions = [](const std::string& text) {
    std::set<std::string> names;
    const QRegularExpression option("--([a-z][a-z0-9-]*)");
    for (const auto& match : option.globalMatch(QString::fromStdString(text)))
      names.insert(match.captured(1).toStdString());
    return names;
  };
  std::string manual = ReadFile(SNAPWICK_MAN_PAGE);
  ASSERT_FALSE(manual.empty()) << SNAPWICK_MAN_PAGE;
  for (size_t at; (at = manual.find("\\-")) != std::string::npos;)
    manual.replace(at, 2, "-");
  const std::set<std::string> help = longOptions(HelpText());
  EXPECT_EQ(help, longOptions(manual));
  EXPECT_EQ(help.size(), 21u);
  for (const std::string& name : help) {
    EXPECT_FALSE(ErrorOf(ParseCommandLine({"--" + name})).starts_with("unrecognized")) << name;
  }
  for (const char* section :
       {"NAME", "SYNOPSIS", "DESCRIPTION", "OPTIONS", "EXIT STATUS", "EXAMPLES", "FILES"}) {
    EXPECT_TRUE(manual.find(std::string("\n.SH ") + section + "\n") != std::string::npos ||
                manual.find(std::string("\n.SH \"") + section + "\"\n") != std::string::npos)
        << section;
  }
}

// --- Batches ---

TEST_F(CommandLineTest, WritesEveryPictureIntoAFolderItMakes) {
  const std::vector<std::string> pictures = ThreePictures();
  const std::string out = out_.File("new/deeper");
  EXPECT_EQ(Run(Join({"--save-all=" + out, "-s", "160x120", "-p", "trip", "-q", "80"}, pictures)),
            Wrote(3));
  EXPECT_EQ(Folder(out), "trip_001.jpg 160x120, trip_002.jpg 90x120, trip_003.jpg 160x80");
  // Relative names are taken from the current folder, and names are kept by default.
  ASSERT_EQ(::chdir(pics_.Path().c_str()), 0);
  EXPECT_EQ(Run({"-o", "kept", "--quiet", "a.jpg", "c.bmp"}), (Ran{0, "", ""}));
  EXPECT_EQ(Folder(pics_.File("kept")), "a.jpg 640x480, c.jpg 640x320");
}

TEST_F(CommandLineTest, ReportsEachPictureNotWrittenAndWritesTheRest) {
  std::vector<std::string> pictures = ThreePictures();
  pictures.insert(pictures.begin() + 1, Pic("damaged.jpg", MakeJpeg(64, 48).substr(0, 40)));
  pictures.push_back(pics_.File("caf\xE9\nmissing.jpg"));  // told on one line, "?" for the break
  const std::string out = out_.File("out");
  const Ran ran = Run(Join({"-o", out, "-s", "160x120", "-j", "2"}, pictures));
  EXPECT_EQ(ran.status, 1);
  std::istringstream lines(ran.err);
  std::multiset<std::string> told;
  for (std::string line; std::getline(lines, line);)
    told.insert(line);
  EXPECT_EQ(told, (std::multiset<std::string>{
                      "snapwick: " + pictures[1] + ": Invalid picture: no picture",
                      "snapwick: " + pics_.File("caf\xE9?missing.jpg") + ": File not found",
                      "snapwick: 3 of 5 written, 2 could not be read"}))
      << ran.err;
  EXPECT_TRUE(ran.err.ends_with("snapwick: 3 of 5 written, 2 could not be read\n"));
  EXPECT_EQ(Folder(out), "a.jpg 160x120, b.jpg 90x120, c.jpg 160x80");
}

TEST_F(CommandLineTest, DryRunPrintsThePairsAndTheRunSkipsThoseMarked) {
  const std::vector<std::string> pictures = ThreePictures();
  const std::string out = out_.File("not made");
  const Ran ran = Run(Join({"-n", "-o", out, "-p", "x"}, pictures));
  EXPECT_EQ(std::tuple(ran.status, ran.err), std::tuple(0, ""));
  EXPECT_EQ(ran.out, pictures[0] + " -> " + out + "/x_001.jpg\n" + pictures[1] + " -> " + out +
                         "/x_002.jpg\n" + pictures[2] + " -> " + out + "/x_003.jpg\n");
  EXPECT_FALSE(Exists(out));
  // Into the pictures' own folder under their own names: the JPEGs would be refused.
  const Ran same = Run(Join({"--dry-run", "-o", pics_.Path()}, pictures));
  EXPECT_EQ(same.out, pictures[0] + " -> " + pics_.File("a.jpg") +
                          " (not written: it is the original)\n" + pictures[1] + " -> " +
                          pics_.File("b.jpg") + " (not written: it is the original)\n" +
                          pictures[2] + " -> " + pics_.File("c.jpg") + "\n");
  EXPECT_EQ(Folder(pics_.Path()), "a.jpg 400x300, b.jpg 300x400, c.bmp");
  // A numbered name that is another picture of the list: marked, and that picture kept.
  const std::vector<std::string> numbered = {Pic("x_002.jpg", MakeJpeg(64, 48)), pictures[0]};
  const std::vector<std::string> args = {"-o", pics_.Path(), "-p", "x", "-j", "1"};
  EXPECT_EQ(Run(Join({"-n"}, Join(args, numbered))).out,
            numbered[0] + " -> " + pics_.File("x_001.jpg") + "\n" + pictures[0] + " -> " +
                pics_.File("x_002.jpg") + " (not written: it is another picture of the list)\n");
  const Ran written = Run(Join(args, numbered));
  EXPECT_EQ(
      std::tuple(written.status, written.err, Folder(pics_.Path())),
      std::tuple(1,
                 "snapwick: " + numbered[0] +
                     ": it is another picture of the list\nsnapwick: 1 of 2 written, 1 failed\n",
                 "a.jpg 400x300, b.jpg 300x400, c.bmp, x_001.jpg 640x480, x_002.jpg 64x48"));
}

// Names with blanks, brackets, a newline, bytes that are not UTF-8 and a leading dash.
TEST_F(CommandLineTest, TakesNamesOfAnyBytes) {
  const std::vector<std::string> names = {"two words [1].jpg", "line\nbreak.jpg", "caf\xE9.jpg",
                                          "-rf.jpg"};
  std::vector<std::string> args = {"-o", out_.Path(), "-s", "160x120", "--"};
  ASSERT_EQ(::chdir(pics_.Path().c_str()), 0);
  for (const std::string& name : names) {
    Pic(name, MakeJpeg(80, 60));
    args.push_back(name);
  }
  EXPECT_EQ(Run(args), Wrote(4));
  for (const std::string& name : names) {
    EXPECT_EQ(JpegSize(out_.File(name)), std::pair(160, 120)) << name;
    // Qt's folder removal does not find names that are no UTF-8.
    ::unlink(out_.File(name).c_str());
    ::unlink(pics_.File(name).c_str());
  }
}

TEST_F(CommandLineTest, ReadsMorePicturesFromAList) {
  const std::vector<std::string> pictures = ThreePictures();
  const std::string odd = Pic("new\nline.jpg", MakeJpeg(80, 60));
  const std::string list = pics_.File("list");
  WriteBytes(list, pictures[1] + '\0' + odd + '\0');
  EXPECT_EQ(Run({"-o", out_.File("nul"), "-p", "n", "--files-from", list, "-0", pictures[0]}),
            Wrote(3));
  EXPECT_EQ(Folder(out_.File("nul")), "n_001.jpg 640x480, n_002.jpg 360x480, n_003.jpg 640x480");

  std::istringstream in(pictures[2] + "\n\n" + pictures[0] + "\n");
  EXPECT_EQ(Run({"-o", out_.File("lines"), "-p", "l", "--files-from=-"}, {}, false, &in), Wrote(2));
  EXPECT_EQ(Folder(out_.File("lines")), "l_001.jpg 640x320, l_002.jpg 640x480");

  // A pipe, as a shell's process substitution hands it over.
  const std::string pipe = pics_.File("pipe");
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  std::thread writer([&] { std::ofstream(pipe) << pictures[1] << '\n' << pictures[2]; });
  const Ran piped = Run({"-o", out_.File("piped"), "-p", "f", "--files-from", pipe});
  writer.join();
  EXPECT_EQ(piped, Wrote(2));
  EXPECT_EQ(Folder(out_.File("piped")), "f_001.jpg 360x480, f_002.jpg 640x320");
}

TEST_F(CommandLineTest, WritesTheSameBytesWhateverTheJobs) {
  const std::vector<std::string> pictures =
      Join(ThreePictures(), {Pic("d.jpg", MakeJpeg(90, 60, PhotoLike, 70, JpegKind::Progressive)),
                             Pic("e.jpg", MakeJpeg(500, 200, PhotoLike))});
  for (const char* jobs : {"1", "4"}) {
    const Ran ran = Run(Join(
        {"-o", out_.File(jobs), "-j", jobs, "-p", "x", "-l", "Label", "--slide-show=3"}, pictures));
    EXPECT_EQ(ran.status, 0) << ran.err;
  }
  EXPECT_EQ(SameFiles(out_.File("1"), out_.File("4")),
            "slides.htm, slideshow.js, xSlideShow.htm, x_001.jpg 640x480, x_002.jpg 360x480, "
            "x_003.jpg 640x320, x_004.jpg 640x427, x_005.jpg 640x256");
  EXPECT_NE(ReadFile(out_.File("1") + "/slideshow.js").find("3000"), std::string::npos);
}

// With the same stored settings, the batch writes what the window's "Auto Save" writes: its
// quality, its picture-data items and its label font.
TEST_F(CommandLineTest, WritesWhatAutoSaveWritesWithTheStoredSettings) {
  SettingsStore::SaveSetting("Quality", "77");
  SettingsStore::SaveSetting(kFontKey, "DejaVu Serif:13.5:True:False");
  PicDataFlags items{};
  items[1] = items[2] = items[6] = 1;
  StorePicDataSetting(items);
  const std::vector<std::string> pictures = ThreePictures();
  Pic("a.jpg", ExifJpeg(CameraExif(), false, MakeJpeg(400, 300, PhotoLike)));
  const std::string shown = out_.File("shown"), batch = out_.File("batch");
  Start(320, 240);
  road_.pictureData = true;
  road_.autoLabel = true;
  AutoSaveShown(shown, "w", {"a.jpg", "b.jpg", "c.bmp"}, "Läbel");

  const Ran ran =
      Run(Join({"-o", batch, "-p", "w", "-s", "320x240", "-i", "-l", "Läbel"}, pictures));
  EXPECT_EQ(ran.status, 0) << ran.err;
  EXPECT_EQ(SameFiles(shown, batch), "w_001.jpg 320x240, w_002.jpg 180x240, w_003.jpg 320x160");
}

TEST_F(CommandLineTest, ShowsProgressOnlyOnATerminal) {
  const std::vector<std::string> pictures = ThreePictures();
  EXPECT_EQ(Run(Join({"-o", out_.File("a"), "-j", "1"}, pictures), {}, false), Wrote(3));
  const Ran terminal = Run(Join({"-o", out_.File("b"), "-j", "1"}, pictures), {}, true);
  EXPECT_TRUE(terminal.err.starts_with("\r[")) << terminal.err;
  EXPECT_NE(terminal.err.find("] 3/3 c.bmp "), std::string::npos) << terminal.err;
  EXPECT_NE(terminal.err.find(" pictures/s"), std::string::npos) << terminal.err;
  EXPECT_TRUE(terminal.err.ends_with("\nsnapwick: 3 of 3 written\n")) << terminal.err;
  EXPECT_EQ(Run(Join({"-o", out_.File("c"), "--quiet"}, pictures), {}, true), (Ran{0, "", ""}));
}

// A folder that takes no file, or a full disk, stops the batch with one message, whatever the
// number of pictures.
TEST_F(CommandLineTest, TellsOnceThatTheFolderTakesNoFile) {
  const std::vector<std::string> pictures = ThreePictures();
  const std::string locked = out_.File("locked");
  ASSERT_EQ(::mkdir(locked.c_str(), 0555), 0);
  // Files larger than the process may write fail as on a full disk.
  const std::tuple<std::vector<std::string>, std::string, bool> rows[] = {
      {{"-o", locked, "-j", "2"}, locked + ": Path/File access error", false},
      {{"-o", locked + "/sub"}, locked + "/sub: Path/File access error", false},
      {{"-o", "full", "-j", "1"}, "full: Disk full", true},
  };
  for (const auto& [args, reason, fullDisk] : rows) {
    const ScopedFilePermissionsApply permissions;
    std::optional<ScopedFileSizeLimit> limit;
    if (fullDisk) limit.emplace(2000);
    const Ran ran = Run(Join(args, pictures));
    limit.reset();
    EXPECT_EQ(ran, (Ran{1, "", "snapwick: cannot write to " + reason + "\n"}));
  }
  EXPECT_EQ(std::pair(Folder(locked), Folder(work_.File("full"))),
            std::pair(std::string(), std::string()));
}

// Memory stays what a few pictures in flight take, however long the list: a thousand pictures
// (hard links of three small JPEGs) end with about the resident memory of the fiftieth.
TEST_F(CommandLineTest, MemoryDoesNotGrowWithTheList) {
  const std::string sources[] = {Pic("s1.jpg", MakeJpeg(320, 240, PhotoLike)),
                                 Pic("s2.jpg", MakeJpeg(240, 320, PhotoLike)),
                                 Pic("s3.jpg", MakeJpeg(300, 200, PhotoLike, 80))};
  std::vector<std::string> args = {"-o", out_.Path(), "-s", "160x120", "-p",
                                   "m",  "-j",        "2",  "--quiet", "--"};
  for (int i = 0; i < 1000; ++i) {
    const std::string link = pics_.File("p" + std::to_string(i) + ".jpg");
    ASSERT_EQ(::link(sources[i % 3].c_str(), link.c_str()), 0);
    args.push_back(link);
  }
  int64_t at50 = 0, at1000 = 0;
  const Ran ran = Run(args, [&](int32_t done) {
    if (done == 50) at50 = HeldKb();
    if (done == 1000) at1000 = HeldKb();
  });
  ASSERT_EQ(std::tuple(ran.status, ran.err), std::tuple(0, ""));
  std::printf("memory held after picture 50: %lld kB, after picture 1000: %lld kB\n",
              static_cast<long long>(at50), static_cast<long long>(at1000));
  ASSERT_GT(at50, 0);
  // 10 %, and 2 MB for what may be in flight when it is measured (the other job's picture) and
  // for the allocator's per-thread arenas, which settle only after the first pictures.
  EXPECT_LE(at1000, at50 + at50 / 10 + 2048);
  EXPECT_EQ(JpegSize(out_.File("m_1000.jpg")), std::pair(160, 120));
}

// The program itself runs a batch with no display at all, and settings of its own.
TEST_F(CommandLineTest, TheProgramNeedsNoDisplay) {
  const std::vector<std::string> pictures = ThreePictures();
  const std::string home = work_.File("home"), out = out_.File("out");
  const std::string run = "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM HOME='" + home +
                          "' XDG_CONFIG_HOME='" + home + "/.config' '" SNAPWICK_PROGRAM "' ";
  const std::string outputs = " >'" + work_.File("out.txt") + "' 2>'" + work_.File("err.txt") + "'";
  std::string batch = run + "--save-all='" + out + "' -s 160x120 -p x";
  for (const std::string& picture : pictures)
    batch += " '" + picture + "'";
  EXPECT_EQ(std::system((batch + outputs).c_str()), 0) << ReadFile(work_.File("err.txt"));
  EXPECT_EQ(ReadFile(work_.File("err.txt")), "snapwick: 3 of 3 written\n");
  EXPECT_EQ(Folder(out), "x_001.jpg 160x120, x_002.jpg 90x120, x_003.jpg 160x80");

  EXPECT_EQ(std::system((run + "--help" + outputs).c_str()), 0);
  EXPECT_EQ(ReadFile(work_.File("out.txt")), HelpText());
  EXPECT_EQ(ReadFile(work_.File("err.txt")), "");
  const int usage = std::system((run + "--size=640x -o x y" + outputs).c_str());
  EXPECT_TRUE(WIFEXITED(usage) && WEXITSTATUS(usage) == 2) << usage;
}

}  // namespace snapwick::test
