#include "slideshow/SlideShow.h"

#include <dirent.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include "labels/SaveNaming.h"
#include "platform/Error.h"
#include "support/TestEnvironment.h"

namespace snapwick {
namespace {

using test::FileExists;
using test::ReadFile;
using test::ScopedLocale;
using test::TempDir;

const std::string kStarter =
    "<SCRIPT LANGUAGE=JavaScript>window.open('slides.htm', '', 'fullscreen=yes, "
    "scrollbars=no');</script>\r\n";

const std::string kShowHead =
    "<html>\r\n"
    "<SCRIPT language=\"javascript\" src=slideshow.js>\r\n"
    "</SCRIPT>\r\n"
    "<body bgcolor=black onLoad=\"MM_preloadImages(\r\n";

const std::string kShowTail =
    "\t)\">\r\n"
    "\r\n"
    "\r\n"
    "<center><table border=0 cellpading=0 height=100%><tr valign=center><td align=center><image "
    "name=mainimage src=ski04_002.jpg border=0 "
    "onclick='javascript:window.close()'></td></tr></table></body><html>\r\n"
    "\r\n";

const std::string kScriptHead =
    "var max;\r\n"
    "var current;\r\n"
    "function MM_preloadImages()\r\n"
    "{\r\n"
    "  var d=document; \r\n"
    "  if(d.images)\r\n"
    "  { \r\n"
    "      if(!d.MM_p) \r\n"
    "          d.MM_p=new Array();\r\n"
    "      var i,j=d.MM_p.length,a=MM_preloadImages.arguments; \r\n"
    "      max = a.length;\r\n"
    "      curr=0;\r\n"
    "          for(i=0; i<a.length; i++)\r\n"
    "              if (a[i].indexOf(\"#\")!=0)\r\n"
    "          { \r\n"
    "              d.MM_p[j]=new Image; \r\n"
    "              d.MM_p[j++].src=a[i];\r\n"
    "          }\r\n"
    "  }\r\n";

const std::string kScriptMiddle =
    "}\r\n"
    "function Timer()\r\n"
    "{\r\n"
    "  if (curr>=max)\r\n"
    "  {\r\n"
    "      curr=0;\r\n"
    "  }\r\n"
    "  document.images.mainimage.src=document.MM_p[curr].src;\r\n"
    "  curr++;\r\n";

std::string TimerLine(const std::string& ms) {
  return "  window.setTimeout('Timer();'," + ms + ") ;\r\n";
}

std::string ExpectedScript(const std::string& ms) {
  return kScriptHead + TimerLine(ms) + kScriptMiddle + TimerLine(ms) + "}\r\n";
}

std::function<std::string()> Fixed(std::string text) {
  return [text] { return text; };
}

struct Show {
  TempDir dir;
  std::string folder = dir.Path() + "/";
  std::string starter = folder + "tripSlideShow.htm";
  std::string page = folder + "slides.htm";
  std::string script = folder + "slideshow.js";

  void Generate(const std::vector<std::string>& names, const std::string& seconds) {
    GenerateSlideShow(starter, folder, names, Fixed(seconds));
  }
  // The interval as the script holds it on line 20.
  std::string Interval(const std::string& seconds) {
    Generate({"a.jpg"}, seconds);
    const std::string text = ReadFile(script);
    const auto start = text.find("'Timer();',") + 11;
    return text.substr(start, text.find(") ;", start) - start);
  }
};

int32_t ErrorNumberOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const SnapError& e) {
    return e.Number();
  }
  return 0;
}

// True when the process still has a descriptor open on the path.
bool IsOpen(const std::string& path) {
  DIR* fds = opendir("/proc/self/fd");
  bool open = false;
  while (dirent* entry = readdir(fds)) {
    char target[4096];
    const std::string link = std::string("/proc/self/fd/") + entry->d_name;
    const ssize_t n = readlink(link.c_str(), target, sizeof target);
    if (n > 0 && std::string(target, static_cast<size_t>(n)) == path) open = true;
  }
  closedir(fds);
  return open;
}

TEST(SlideShow, ThreePicturesWithPrefix) {
  Show show;
  const AutoSaveSettings settings{show.folder + "trip", show.folder, "trip", false};
  std::vector<std::string> names;
  const std::vector<std::string> entries = {"IMG_1.JPG", "IMG_2.JPG", "IMG_3.JPG"};
  for (size_t i = 0; i < entries.size(); ++i) {
    names.push_back(GetImageName(settings, entries[i], static_cast<int32_t>(i + 1)));
  }
  show.Generate(names, "5");

  EXPECT_EQ(ReadFile(show.starter), kStarter);
  EXPECT_EQ(ReadFile(show.page), kShowHead +
                                     "\t\t'trip_001.jpg'\r\n"
                                     "\t\t,'trip_002.jpg'\r\n"
                                     "\t\t,'trip_003.jpg'\r\n" +
                                     kShowTail);
  EXPECT_EQ(ReadFile(show.script), ExpectedScript("5000"));
}

TEST(SlideShow, KeptNamesOnePictureAndNone) {
  Show show;
  show.Generate({"IMG_0042.JPG", "scan.bmp"}, "5");
  EXPECT_EQ(ReadFile(show.page),
            kShowHead + "\t\t'IMG_0042.JPG'\r\n\t\t,'scan.bmp'\r\n" + kShowTail);

  show.Generate({"trip_001.jpg"}, "5");
  EXPECT_EQ(ReadFile(show.page), kShowHead + "\t\t'trip_001.jpg'\r\n" + kShowTail);

  show.Generate({}, "5");
  EXPECT_EQ(ReadFile(show.page), kShowHead + kShowTail);
}

TEST(SlideShow, Intervals) {
  Show show;
  EXPECT_EQ(show.Interval("0.5"), "500");
  EXPECT_EQ(show.Interval("1.5"), "1500");
  EXPECT_EQ(show.Interval("2.5"), "2500");
  EXPECT_EQ(show.Interval("0.25"), "250");
  EXPECT_EQ(show.Interval(" 7 "), "7000");
  EXPECT_EQ(show.Interval("1000"), "1000000");
  EXPECT_EQ(show.Interval("0.0015"), "1.5");
  EXPECT_EQ(show.Interval("999999999999.999"), "999999999999999");
  EXPECT_EQ(show.Interval("1e12"), "1e+15");
  EXPECT_EQ(show.Interval("1e305"), "1e+308");
  EXPECT_EQ(show.Interval("1e-300"), "0." + std::string(296, '0') + "1");
  EXPECT_EQ(ReadFile(show.script), ExpectedScript("0." + std::string(296, '0') + "1"));
}

TEST(SlideShow, DecimalCommaLocale) {
  ScopedLocale german("de_DE");
  Show show;
  EXPECT_EQ(show.Interval("1,5"), "1500");
  EXPECT_EQ(show.Interval("0,25"), "250");
  // A fraction of a millisecond keeps the point the script needs.
  EXPECT_EQ(show.Interval("0,0015"), "1.5");
  EXPECT_EQ(ReadFile(show.script), ExpectedScript("1.5"));
}

TEST(SlideShow, ReadsTheIntervalForEachTimerLine) {
  Show show;
  int reads = 0;
  GenerateSlideShow(show.starter, show.folder, {"a.jpg"},
                    [&reads] { return ++reads == 1 ? "1" : "2"; });
  EXPECT_EQ(reads, 2);
  EXPECT_EQ(ReadFile(show.script),
            kScriptHead + TimerLine("1000") + kScriptMiddle + TimerLine("2000") + "}\r\n");

  // A second read that fails leaves the script at line 29.
  reads = 0;
  EXPECT_EQ(ErrorNumberOf([&] {
              GenerateSlideShow(show.starter, show.folder, {"a.jpg"},
                                [&reads] { return ++reads == 1 ? "1" : "x"; });
            }),
            kErrTypeMismatch);
  EXPECT_EQ(ReadFile(show.script), kScriptHead + TimerLine("1000") + kScriptMiddle);
}

TEST(SlideShow, IntervalThatIsNoNumberStopsTheScript) {
  for (const char* seconds : {"five", "", "5s", "inf", "-inf", "nan", "1e308", "1e400"}) {
    Show show;
    EXPECT_EQ(ErrorNumberOf([&] {
                show.Generate({"trip_001.jpg", "trip_002.jpg"}, seconds);
              }),
              kErrTypeMismatch)
        << seconds;
    EXPECT_EQ(ReadFile(show.starter), kStarter);
    EXPECT_EQ(ReadFile(show.page),
              kShowHead + "\t\t'trip_001.jpg'\r\n\t\t,'trip_002.jpg'\r\n" + kShowTail);
    EXPECT_EQ(ReadFile(show.script), kScriptHead) << seconds;
    EXPECT_FALSE(IsOpen(show.script));
  }
}

TEST(SlideShow, HostileNamesAreEscaped) {
  Show show;
  show.Generate({"it's.jpg", "say \"hi\".jpg", "<img src=x onerror=alert(1)>.jpg", "a\\b.jpg",
                 "x&amp;y.jpg", "');alert(1);('.jpg", "line\nbreak.jpg", "été.jpg", "#1 100%?.jpg"},
                "5");
  EXPECT_EQ(ReadFile(show.page), kShowHead +
                                     "\t\t'it\\'s.jpg'\r\n"
                                     "\t\t,'say &quot;hi&quot;.jpg'\r\n"
                                     "\t\t,'&lt;img src=x onerror=alert(1)&gt;.jpg'\r\n"
                                     "\t\t,'a\\\\b.jpg'\r\n"
                                     "\t\t,'x&amp;amp;y.jpg'\r\n"
                                     "\t\t,'\\');alert(1);(\\'.jpg'\r\n"
                                     "\t\t,'line\\x0Abreak.jpg'\r\n"
                                     "\t\t,'%C3%A9t%C3%A9.jpg'\r\n"
                                     "\t\t,'%231 100%25%3F.jpg'\r\n" +
                                     kShowTail);
}

TEST(SlideShow, GeneratingAgainReplacesAllFiles) {
  Show show;
  show.Generate({"a_001.jpg", "a_002.jpg", "a_003.jpg", "a_004.jpg"}, "12.75");
  show.Generate({"b_001.jpg"}, "1");
  EXPECT_EQ(ReadFile(show.starter), kStarter);
  EXPECT_EQ(ReadFile(show.page), kShowHead + "\t\t'b_001.jpg'\r\n" + kShowTail);
  EXPECT_EQ(ReadFile(show.script), ExpectedScript("1000"));
}

TEST(SlideShow, FilesThatCannotBeWritten) {
  TempDir dir;
  const std::string missing = dir.Path() + "/missing/";
  // The starter page's folder is missing: nothing is written.
  EXPECT_EQ(ErrorNumberOf([&] {
              GenerateSlideShow(missing + "SlideShow.htm", missing, {"a.jpg"}, Fixed("5"));
            }),
            kErrFileNotFound);
  EXPECT_FALSE(FileExists(missing));

  // The starter page is written; the show folder is missing, so the script is not reached.
  const std::string starter = dir.File("SlideShow.htm");
  EXPECT_EQ(ErrorNumberOf([&] { GenerateSlideShow(starter, missing, {"a.jpg"}, Fixed("5")); }),
            kErrFileNotFound);
  EXPECT_EQ(ReadFile(starter), kStarter);

  // A full disk is reported, and the files after it are not written.
  if (FileExists("/dev/full")) {
    const std::string folder = dir.Path() + "/";
    EXPECT_EQ(ErrorNumberOf([&] { GenerateSlideShow("/dev/full", folder, {"a.jpg"}, Fixed("5")); }),
              kErrPathFileAccess);
    EXPECT_FALSE(FileExists(folder + "slides.htm"));
    EXPECT_FALSE(FileExists(folder + "slideshow.js"));
  }
}

}  // namespace
}  // namespace snapwick
