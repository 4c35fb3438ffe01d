#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace snapwick::test {

// A line of /proc/self/status in kB ("VmRSS", "VmHWM", "VmPeak", "VmSize"); -1 when missing.
int64_t ProcStatusKb(const char* key);
// Resident memory from /proc/self/statm, in kB.
int64_t ResidentKb();
// Starts the peak resident memory (VmHWM) again from the current resident memory.
bool ResetPeakResident();

// Watches the process's peak address space (VmPeak) over a stretch of work: on creation the
// address space is padded with an inaccessible reservation up to its earlier peak, so that any
// mapping made afterwards, touched or not, raises the peak by its size.
class AddressSpaceProbe {
 public:
  AddressSpaceProbe();
  ~AddressSpaceProbe();
  AddressSpaceProbe(const AddressSpaceProbe&) = delete;
  AddressSpaceProbe& operator=(const AddressSpaceProbe&) = delete;

  // How far the peak address space rose since creation, in kB.
  int64_t GrowthKb() const;

 private:
  void* padding_ = nullptr;
  size_t paddingBytes_ = 0;
  int64_t startPeakKb_ = 0;
};

// Whether the build carries AddressSanitizer.
constexpr bool kAddressSanitizer =
#if defined(__SANITIZE_ADDRESS__)
    true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
    true;
#else
    false;
#endif
#else
    false;
#endif

// While it lives, the calling thread loses the privilege to override file permissions (the
// capabilities to read, search and write regardless of mode bits), so that mode bits stop even
// root. Without such privileges it changes nothing.
class ScopedFilePermissionsApply {
 public:
  ScopedFilePermissionsApply();
  ~ScopedFilePermissionsApply();
  ScopedFilePermissionsApply(const ScopedFilePermissionsApply&) = delete;
  ScopedFilePermissionsApply& operator=(const ScopedFilePermissionsApply&) = delete;

  // Whether mode bits now stop this thread (false only if the privileges could not be dropped).
  bool Effective() const { return effective_; }

 private:
  bool dropped_ = false;
  bool effective_ = false;
  uint32_t saved_[2] = {0, 0};
};

// A small tmpfs mounted on an existing folder for the scope (root only), unmounted at its end,
// also when a test fails in between.
class ScopedTmpfs {
 public:
  ScopedTmpfs(const std::string& folder, const std::string& size);
  ~ScopedTmpfs();
  ScopedTmpfs(const ScopedTmpfs&) = delete;
  ScopedTmpfs& operator=(const ScopedTmpfs&) = delete;

  bool Mounted() const { return mounted_; }
  // Why it is not mounted.
  const std::string& Reason() const { return reason_; }

 private:
  std::string folder_;
  bool mounted_ = false;
  std::string reason_;
};

// The names in a folder (hidden ones included, "." and ".." not), sorted.
std::vector<std::string> ListFolder(const std::string& folder);

// Fills the file system holding the folder with a file of that name until at most `leaveBytes`
// remain free. Returns false when it cannot.
bool FillFileSystem(const std::string& folder, const std::string& name, int64_t leaveBytes);

}  // namespace snapwick::test
