#include "support/ProcessProbes.h"

#include <dirent.h>
#include <fcntl.h>
#include <linux/capability.h>
#include <sys/mman.h>
#include <sys/mount.h>
#include <sys/statvfs.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>

namespace snapwick::test {

int64_t ProcStatusKb(const char* key) {
  std::ifstream status("/proc/self/status");
  std::string line;
  const std::string wanted = std::string(key) + ":";
  while (std::getline(status, line)) {
    if (line.rfind(wanted, 0) == 0) {
      std::istringstream value(line.substr(wanted.size()));
      int64_t kb = -1;
      value >> kb;
      return kb;
    }
  }
  return -1;
}

int64_t ResidentKb() {
  std::ifstream statm("/proc/self/statm");
  int64_t size = 0, resident = -1;
  statm >> size >> resident;
  return resident < 0 ? -1 : resident * (::sysconf(_SC_PAGESIZE) / 1024);
}

bool ResetPeakResident() {
  std::ofstream clear("/proc/self/clear_refs");
  clear << "5";
  clear.flush();
  return static_cast<bool>(clear);
}

AddressSpaceProbe::AddressSpaceProbe() {
  const int64_t peak = ProcStatusKb("VmPeak");
  const int64_t size = ProcStatusKb("VmSize");
  if (peak > size) {
    paddingBytes_ = static_cast<size_t>(peak - size) * 1024;
    padding_ = ::mmap(nullptr, paddingBytes_, PROT_NONE,
                      MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (padding_ == MAP_FAILED) {
      padding_ = nullptr;
      paddingBytes_ = 0;
    }
  }
  startPeakKb_ = ProcStatusKb("VmPeak");
}

AddressSpaceProbe::~AddressSpaceProbe() {
  if (padding_ != nullptr) ::munmap(padding_, paddingBytes_);
}

int64_t AddressSpaceProbe::GrowthKb() const {
  return ProcStatusKb("VmPeak") - startPeakKb_;
}

namespace {

constexpr uint32_t kOverrideCapabilities = (1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH);

bool GetCapabilities(__user_cap_data_struct (&data)[2]) {
  __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
  return ::syscall(SYS_capget, &header, data) == 0;
}

bool SetCapabilities(__user_cap_data_struct (&data)[2]) {
  __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
  return ::syscall(SYS_capset, &header, data) == 0;
}

}  // namespace

ScopedFilePermissionsApply::ScopedFilePermissionsApply() {
  __user_cap_data_struct data[2] = {};
  if (!GetCapabilities(data)) {
    effective_ = ::geteuid() != 0;
    return;
  }
  saved_[0] = data[0].effective;
  saved_[1] = data[1].effective;
  if ((data[0].effective & kOverrideCapabilities) == 0) {
    effective_ = true;
    return;
  }
  data[0].effective &= ~kOverrideCapabilities;
  dropped_ = SetCapabilities(data);
  effective_ = dropped_;
}

ScopedFilePermissionsApply::~ScopedFilePermissionsApply() {
  if (!dropped_) return;
  __user_cap_data_struct data[2] = {};
  if (!GetCapabilities(data)) return;
  data[0].effective = saved_[0];
  data[1].effective = saved_[1];
  SetCapabilities(data);
}

ScopedTmpfs::ScopedTmpfs(const std::string& folder, const std::string& size) : folder_(folder) {
  if (::geteuid() != 0) {
    reason_ = "mounting a small file system needs root";
    return;
  }
  const std::string options = "size=" + size + ",mode=0777";
  if (::mount("tmpfs", folder_.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, options.c_str()) != 0) {
    reason_ = std::string("tmpfs cannot be mounted here: ") + std::strerror(errno);
    return;
  }
  mounted_ = true;
}

ScopedTmpfs::~ScopedTmpfs() {
  if (!mounted_) return;
  if (::umount2(folder_.c_str(), 0) != 0) ::umount2(folder_.c_str(), MNT_DETACH);
}

std::vector<std::string> ListFolder(const std::string& folder) {
  std::vector<std::string> names;
  DIR* dir = ::opendir(folder.c_str());
  if (dir == nullptr) return names;
  while (const dirent* entry = ::readdir(dir)) {
    const std::string name = entry->d_name;
    if (name != "." && name != "..") names.push_back(name);
  }
  ::closedir(dir);
  std::sort(names.begin(), names.end());
  return names;
}

bool FillFileSystem(const std::string& folder, const std::string& name, int64_t leaveBytes) {
  struct statvfs fs {};
  if (::statvfs(folder.c_str(), &fs) != 0) return false;
  const int64_t free = static_cast<int64_t>(fs.f_bavail) * static_cast<int64_t>(fs.f_frsize);
  int64_t left = free - leaveBytes;
  if (left <= 0) return true;
  const int fd = ::open((folder + "/" + name).c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (fd < 0) return false;
  const std::string zeros(4096, '\0');
  bool ok = true;
  while (left > 0) {
    const size_t chunk = static_cast<size_t>(std::min<int64_t>(left, 4096));
    const ssize_t written = ::write(fd, zeros.data(), chunk);
    if (written <= 0) {
      ok = errno == ENOSPC;
      break;
    }
    left -= written;
  }
  ::close(fd);
  return ok;
}

}  // namespace snapwick::test
