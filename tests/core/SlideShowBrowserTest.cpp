// Runs a generated slide show in headless Chromium: the script must load without errors and swap
// the picture on its timer.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QString>
#include <QUrl>
#include <chrono>
#include <regex>
#include <thread>

#include "slideshow/SlideShow.h"
#include "support/Fixtures.h"
#include "support/TestEnvironment.h"

extern char** environ;

namespace snapwick {
namespace {

constexpr const char* kChromium = "/usr/bin/chromium";

struct RunResult {
  bool finished = false;
  int exitCode = -1;
  std::string out;
  std::string err;
};

// Runs a program in a process group of its own, its output in files of `workDir`; the whole group
// is killed when it has not finished within the time limit.
RunResult RunChild(const std::vector<std::string>& args, const std::string& workDir,
                   std::chrono::seconds limit) {
  const std::string outPath = workDir + "/stdout.txt";
  const std::string errPath = workDir + "/stderr.txt";

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, outPath.c_str(),
                                   O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errPath.c_str(),
                                   O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
  posix_spawnattr_setpgroup(&attributes, 0);

  // The browser keeps its profile, caches and crash reports in the work folder.
  std::vector<std::string> environment = {"HOME=" + workDir, "XDG_CONFIG_HOME=" + workDir,
                                          "XDG_CACHE_HOME=" + workDir, "LANG=C.UTF-8"};
  for (char** e = environ; *e; ++e) {
    const std::string entry = *e;
    if (entry.rfind("HOME=", 0) != 0 && entry.rfind("XDG_", 0) != 0 &&
        entry.rfind("LANG=", 0) != 0) {
      environment.push_back(entry);
    }
  }
  std::vector<char*> envp, argv;
  for (auto& e : environment)
    envp.push_back(e.data());
  envp.push_back(nullptr);
  std::vector<std::string> argsCopy = args;
  for (auto& a : argsCopy)
    argv.push_back(a.data());
  argv.push_back(nullptr);

  RunResult result;
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, argv[0], &actions, &attributes, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attributes);
  if (spawned != 0) return result;

  const auto deadline = std::chrono::steady_clock::now() + limit;
  int status = 0;
  while (waitpid(pid, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() > deadline) {
      kill(-pid, SIGKILL);
      waitpid(pid, &status, 0);
      result.err = test::ReadFile(errPath);
      return result;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  // Helpers the browser left behind in its group.
  kill(-pid, SIGKILL);
  result.finished = true;
  result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  result.out = test::ReadFile(outPath);
  result.err = test::ReadFile(errPath);
  return result;
}

std::string UnescapeAttribute(std::string text) {
  const std::pair<const char*, const char*> entities[] = {
      {"&quot;", "\""}, {"&lt;", "<"}, {"&gt;", ">"}, {"&#39;", "'"}, {"&amp;", "&"}};
  for (const auto& [entity, character] : entities) {
    for (auto at = text.find(entity); at != std::string::npos; at = text.find(entity, at + 1)) {
      text.replace(at, std::strlen(entity), character);
    }
  }
  return text;
}

// The file that the show's picture element points at, from the page's DOM.
std::string ShownPicture(const std::string& dom) {
  std::smatch match;
  if (!std::regex_search(dom, match, std::regex(R"re(<img name="mainimage" src="([^"]*)")re"))) {
    return "(no picture element)";
  }
  const QUrl url(QString::fromStdString(UnescapeAttribute(match[1].str())));
  return url.isLocalFile() ? url.toLocalFile().toStdString() : match[1].str();
}

TEST(SlideShowBrowser, ShowRunsAndSwapsPictures) {
  ASSERT_EQ(access(kChromium, X_OK), 0)
      << kChromium << " is missing; `make test` installs the chromium package";

  test::TempDir dir;
  const std::string folder = dir.Path() + "/";
  // The second picture, the one shown after two intervals, has a name that needs escaping in the
  // page and in its address; with a broken escape the script does not even load. The third
  // starts with "#", which the script would not preload as it stands. (A backslash is left out: in
  // a file address the browser takes it for a "/".)
  const std::vector<std::string> names = {"trip_001.jpg", "it's \"new\" <b> & été #1?.jpg",
                                          "#trip_003.jpg"};
  for (size_t i = 0; i < names.size(); ++i) {
    test::WriteBytes(folder + names[i],
                     test::MakeJpeg(64, 48, test::Solid({static_cast<uint8_t>(80 * i), 90, 200})));
  }
  GenerateSlideShow(folder + "tripSlideShow.htm", folder, names, [] { return "0.2"; });

  // Two and a half intervals of virtual time: the timer has swapped the picture twice.
  const test::TempDir work;
  const RunResult run =
      RunChild({kChromium, "--headless", "--no-sandbox", "--disable-gpu", "--no-first-run",
                "--disable-background-networking", "--disable-component-update", "--disable-sync",
                "--user-data-dir=" + work.Path() + "/profile", "--enable-logging=stderr", "--v=0",
                "--virtual-time-budget=500", "--dump-dom",
                QUrl::fromLocalFile(QString::fromStdString(folder + "slides.htm"))
                    .toString(QUrl::FullyEncoded)
                    .toStdString()},
               work.Path(), std::chrono::seconds(90));

  ASSERT_TRUE(run.finished) << "chromium did not finish in time\n" << run.err;
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.err.find("Uncaught"), std::string::npos) << run.err;
  EXPECT_NE(run.out.find("MM_preloadImages("), std::string::npos) << run.out;
  EXPECT_EQ(ShownPicture(run.out), folder + names[1]) << run.out;
}

}  // namespace
}  // namespace snapwick
