#pragma once

// Probes of the test process and its surroundings: memory, file permissions, folders, disks.

#include <fcntl.h>
#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

namespace snapwick::test {

// A line of /proc/self/status in kB ("VmRSS", "VmHWM", "VmPeak"); -1 when missing.
inline int64_t ProcStatusKb(const std::string& key) {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind(key + ":", 0) == 0) return std::stoll(line.substr(key.size() + 1));
  }
  return -1;
}

// How far the peak address space (VmPeak) and the peak resident memory (VmHWM, started again
// from the current resident memory) rose over a stretch of work, in kB.
class MemoryProbe {
 public:
  MemoryProbe() { std::ofstream("/proc/self/clear_refs") << "5"; }
  int64_t AddressSpaceKb() const { return ProcStatusKb("VmPeak") - peak_; }
  int64_t ResidentKb() const { return ProcStatusKb("VmHWM") - resident_; }

 private:
  const int64_t peak_ = ProcStatusKb("VmPeak"), resident_ = ProcStatusKb("VmRSS");
};

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kAddressSanitizer = true;
#else
constexpr bool kAddressSanitizer = false;
#endif

// The calling thread's effective capabilities (the first 32), first set to `to` when given.
inline uint32_t EffectiveCapabilities(std::optional<uint32_t> to = std::nullopt) {
  __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
  __user_cap_data_struct data[2] = {};
  ::syscall(SYS_capget, &header, data);
  if (!to) return data[0].effective;
  data[0].effective = *to;
  ::syscall(SYS_capset, &header, data);
  return *to;
}

// While it lives, the calling thread loses root's privilege to override file permissions, so
// that mode bits apply to it as to anyone.
class ScopedFilePermissionsApply {
 public:
  static constexpr uint32_t kOverride = (1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH);
  ScopedFilePermissionsApply() { EffectiveCapabilities(saved_ & ~kOverride); }
  ~ScopedFilePermissionsApply() { EffectiveCapabilities(saved_); }

 private:
  const uint32_t saved_ = EffectiveCapabilities();
};

// The names in a folder, hidden ones included, sorted.
inline std::vector<std::string> ListFolder(const std::string& folder) {
  std::vector<std::string> names;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(folder, error))
    names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

// Fills the file system holding the file with it until no byte is left; whether it could.
inline bool FillFileSystem(const std::string& file) {
  const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  const std::string zeros(4096, '\0');
  while (fd >= 0 && ::write(fd, zeros.data(), zeros.size()) > 0) {
  }
  return errno == ENOSPC && ::close(fd) == 0;
}

}  // namespace snapwick::test
