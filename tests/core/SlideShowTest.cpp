#include "slideshow/SlideShow.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <QProcess>
#include <QRegularExpression>
#include <QUrl>
#include <filesystem>

#include "base/Error.h"
#include "support/Fixtures.h"
#include "support/TestEnvironment.h"

namespace snapwick {
namespace {

using test::ReadFile;

const std::string kStarter =
    "<SCRIPT LANGUAGE=JavaScript>window.open('slides.htm', '', 'fullscreen=yes, "
    "scrollbars=no');</script>\r\n";
const std::string kShowHead =
    "<html>\r\n<SCRIPT language=\"javascript\" src=slideshow.js>\r\n</SCRIPT>\r\n"
    "<body bgcolor=black onLoad=\"MM_preloadImages(\r\n";
const std::string kShowTail =
    "\t)\">\r\n\r\n\r\n<center><table border=0 cellpading=0 height=100%><tr valign=center><td "
    "align=center><image name=mainimage src=ski04_002.jpg border=0 "
    "onclick='javascript:window.close()'></td></tr></table></body><html>\r\n\r\n";

// The script's lines 1 to 19.
const std::string kScriptHead =
    "var max;\r\nvar current;\r\nfunction MM_preloadImages()\r\n{\r\n  var d=document; \r\n"
    "  if(d.images)\r\n  { \r\n      if(!d.MM_p) \r\n          d.MM_p=new Array();\r\n"
    "      var i,j=d.MM_p.length,a=MM_preloadImages.arguments; \r\n      max = a.length;\r\n"
    "      curr=0;\r\n          for(i=0; i<a.length; i++)\r\n"
    "              if (a[i].indexOf(\"#\")!=0)\r\n          { \r\n"
    "              d.MM_p[j]=new Image; \r\n              d.MM_p[j++].src=a[i];\r\n"
    "          }\r\n  }\r\n";

std::string Script(const std::string& ms) {
  const std::string timer = "  window.setTimeout('Timer();'," + ms + ") ;\r\n";
  return kScriptHead + timer + "}\r\nfunction Timer()\r\n{\r\n  if (curr>=max)\r\n  {\r\n" +
         "      curr=0;\r\n  }\r\n  document.images.mainimage.src=document.MM_p[curr].src;\r\n" +
         "  curr++;\r\n" + timer + "}\r\n";
}

// Three slide-show files in a folder of their own.
struct Show {
  test::TempDir dir;
  std::string folder = dir.Path() + "/";
  int32_t Generate(const std::vector<std::string>& names, const std::string& seconds) {
    return test::ErrorNumberOf([&] {
      GenerateSlideShow(folder + "tripSlideShow.htm", folder, names, [seconds] { return seconds; });
    });
  }
  // The starter page, the show page and the script.
  std::tuple<std::string, std::string, std::string> Files() const {
    return {ReadFile(folder + "tripSlideShow.htm"), ReadFile(folder + "slides.htm"),
            ReadFile(folder + "slideshow.js")};
  }
};

TEST(SlideShow, FilesForNamesIntervalsAndLocalesAndFailures) {
  Show show;
  // Locale, picture names, seconds per slide, the name lines of the page and the interval.
  const std::tuple<const char*, std::vector<std::string>, const char*, std::string, std::string>
      cases[] = {
          {"de_DE", {"a.jpg"}, "0,0015", "\t\t'a.jpg'\r\n", "1.5"},  // the point the script needs
          {"en_US",
           {"it's.jpg", "say \"hi\".jpg", "<b>.jpg", "a\\b.jpg", "line\nbreak.jpg",
            "\xC3\xA9t\xC3\xA9.jpg", "#1 100%?.jpg", "  two  blanks.jpg "},
           "5",
           "\t\t'it\\'s.jpg'\r\n\t\t,'say &quot;hi&quot;.jpg'\r\n\t\t,'&lt;b&gt;.jpg'\r\n"
           "\t\t,'a%5Cb.jpg'\r\n\t\t,'line%0Abreak.jpg'\r\n\t\t,'%C3%A9t%C3%A9.jpg'\r\n"
           "\t\t,'%231 100%25%3F.jpg'\r\n\t\t,'%20%20two  blanks.jpg%20'\r\n",
           "5000"},
      };
  for (const auto& [locale, names, seconds, lines, ms] : cases) {
    SCOPED_TRACE(seconds);
    test::ScopedLocale scoped(locale);
    ASSERT_EQ(show.Generate(names, seconds), 0);  // each replacing the files before
    EXPECT_EQ(show.Files(), std::tuple(kStarter, kShowHead + lines + kShowTail, Script(ms)));
  }
  EXPECT_EQ(show.Generate({"a.jpg"}, "five"), kErrTypeMismatch);
  // The pages are complete; the script stops after line 19.
  EXPECT_EQ(show.Files(),
            std::tuple(kStarter, kShowHead + "\t\t'a.jpg'\r\n" + kShowTail, kScriptHead));

  show.folder += "missing/";
  EXPECT_EQ(show.Generate({"a.jpg"}, "5"), kErrPathNotFound);
  EXPECT_FALSE(std::filesystem::exists(show.folder));
}

// A show in headless Chromium: the script loads and swaps the picture on its timer.
TEST(SlideShow, RunsInABrowser) {
  ASSERT_EQ(access("/usr/bin/chromium", X_OK), 0) << "`make test` installs the chromium package";
  Show show;
  // The second name needs escaping in the page and in its address; the third starts with "#",
  // which the script would not preload as it stands.
  const std::vector<std::string> names = {
      "trip_001.jpg", "it's \"new\" <b> & \xC3\xA9t\xC3\xA9 #1?.jpg", "#trip_003.jpg"};
  ASSERT_EQ(show.Generate(names, "0.2"), 0);
  for (const std::string& name : names)
    test::WriteBytes(show.folder + name, test::MakeJpeg(16, 12));

  // Two and a half intervals of virtual time: the picture has been swapped twice. The browser
  // runs in a process group of its own, with its profile in the show's folder.
  QProcess browser;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert("HOME", QString::fromStdString(show.dir.Path()));
  browser.setProcessEnvironment(environment);
  browser.setChildProcessModifier([] { ::setpgid(0, 0); });
  browser.start("/usr/bin/chromium",
                {"--headless", "--no-sandbox", "--disable-gpu", "--no-first-run",
                 "--disable-background-networking", "--disable-component-update", "--disable-sync",
                 "--enable-logging=stderr", "--v=0",
                 "--user-data-dir=" + QString::fromStdString(show.folder + ".profile"),
                 "--virtual-time-budget=500", "--dump-dom",
                 QUrl::fromLocalFile(QString::fromStdString(show.folder + "slides.htm"))
                     .toString(QUrl::FullyEncoded)});
  const auto group = static_cast<pid_t>(browser.waitForStarted() ? browser.processId() : 0);
  const bool finished = browser.waitForFinished(90000);
  if (group > 0) ::kill(-group, SIGKILL);  // helpers left behind, or a browser that hangs
  browser.waitForFinished();
  const QString dom = browser.readAllStandardOutput();
  const std::string log = browser.readAllStandardError().toStdString();
  ASSERT_TRUE(finished && browser.exitCode() == 0) << log;
  EXPECT_EQ(log.find("Uncaught"), std::string::npos) << log;
  const QRegularExpressionMatch src =
      QRegularExpression(R"re(<img name="mainimage" src="([^"]*)")re").match(dom);
  ASSERT_TRUE(src.hasMatch()) << dom.toStdString();
  EXPECT_EQ(QUrl(src.captured(1).replace("&amp;", "&")).toLocalFile().toStdString(),
            show.folder + names[1]);
}

}  // namespace
}  // namespace snapwick
