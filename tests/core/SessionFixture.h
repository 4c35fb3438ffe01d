#pragma once

#include <gtest/gtest.h>
#include <linux/capability.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <fstream>
#include <memory>
#include <optional>

#include "app/PictureSession.h"
#include "support/Probes.h"
#include "support/TestEnvironment.h"
#include "support/Workspace.h"

namespace snapwick::test {

// A line of /proc/self/status in kB ("VmRSS", "VmHWM", "VmPeak"); -1 when missing.
inline int64_t ProcStatusKb(const std::string& key) {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind(key + ":", 0) == 0) return std::stoll(line.substr(key.size() + 1));
  return -1;
}

// How far the peak address space (VmPeak) and the peak resident memory (VmHWM, started again
// from the current resident memory) rose over a stretch of work, in kB.
struct MemoryProbe {
  MemoryProbe() { std::ofstream("/proc/self/clear_refs") << "5"; }
  int64_t AddressSpaceKb() const { return ProcStatusKb("VmPeak") - peak_; }
  int64_t ResidentKb() const { return ProcStatusKb("VmHWM") - resident_; }
  const int64_t peak_ = ProcStatusKb("VmPeak"), resident_ = ProcStatusKb("VmRSS");
};

// The names in folder `a` (see Folder) when folder `b` holds the same files, byte for byte and
// none empty; else the first that differs.
inline std::string SameFiles(const std::string& a, const std::string& b) {
  for (const QString& name : QDir(QString::fromStdString(a)).entryList(QDir::Files)) {
    const std::string file = "/" + name.toStdString(), bytes = ReadFile(a + file);
    if (bytes.empty() || bytes != ReadFile(b + file)) return name.toStdString() + " differs";
  }
  return Folder(a) == Folder(b) ? Folder(a) : b + " holds " + Folder(b);
}

// While it lives, the calling thread loses root's privilege to override file permissions, so
// that mode bits apply to it as to anyone.
struct ScopedFilePermissionsApply {
  ScopedFilePermissionsApply() {
    ::syscall(SYS_capget, &header_, saved_);
    __user_cap_data_struct lowered[2] = {saved_[0], saved_[1]};
    lowered[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
    ::syscall(SYS_capset, &header_, lowered);
  }
  ~ScopedFilePermissionsApply() { ::syscall(SYS_capset, &header_, saved_); }
  __user_cap_header_struct header_{_LINUX_CAPABILITY_VERSION_3, 0};
  __user_cap_data_struct saved_[2] = {};
};

// A picture session in a workspace. The road runs with the switches of `road_` (the menu's
// defaults); no label is asked for.
struct SessionTest : Workspace {
  // Starts a session as the window does, with a display box of the given size.
  PictureSession& Start(int width = 640, int height = 480) {
    session_ = std::make_unique<PictureSession>();
    session_->GetFont();
    session_->SetView(width, height);
    return *session_;
  }
  // Loads pictures of the pictures' folder as "Load..." selects them.
  void Load(const std::vector<std::string>& names) {
    session_->LoadSelection(Selection(names), road_, {});
  }
  // Loads pictures given by path, as program arguments and dropped files are.
  void Open(const std::vector<std::string>& paths) {
    session_->LoadSelection(PictureList::SelectionFor(paths), road_, {});
  }
  bool Next() { return session_->ShowPicture(road_, {}); }
  // Shows the rest of the list.
  void Auto() {
    while (session_->Files().HasMore())
      Next();
  }
  // "Auto Save" into a folder, numbered with a prefix or under the pictures' own names.
  void AutoSaveWith(const std::string& folder, const std::string& prefix, bool keepNames = false,
                    bool slideShow = false, const std::string& slideTime = "5") {
    const std::string base = folder + "/" + (keepNames ? "" : prefix);
    session_->SetAutoSave({{base, folder + "/", prefix, keepNames}, slideTime, slideShow});
    road_.autoSave = true;
  }
  // Shows the pictures of the pictures' folder one after another, as "Auto" does, with
  // "Auto Save" into a new folder; the label asked for is `label`.
  void AutoSaveShown(const std::string& folder, const std::string& prefix,
                     const std::vector<std::string>& names,
                     const std::optional<std::string>& label = {}) {
    ASSERT_EQ(::mkdir(folder.c_str(), 0755), 0);
    AutoSaveWith(folder, prefix);
    session_->LoadSelection(Selection(names), road_, [&] { return label; });
    while (session_->Files().HasMore())
      session_->ShowPicture(road_, [&] { return label; });
  }
  const std::string& Log() const { return session_->Log(); }

  // What is on screen: the picture and the title.
  using Screen = std::pair<QImage, std::string>;
  Screen Shown() const { return {session_->Picture2().PictureImage(), session_->WindowTitle()}; }
  // The previous picture stays on screen with its title, without its drawn text.
  void ExpectKept(const Screen& before) const {
    EXPECT_TRUE(Shown() == before) << session_->WindowTitle();
    EXPECT_TRUE(session_->Picture2().Image() == before.first) << "drawn text is still there";
  }

  RoadSwitches road_;
  std::unique_ptr<PictureSession> session_;
};

}  // namespace snapwick::test
