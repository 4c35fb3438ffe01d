#include "base/FileTimes.h"

#include <fcntl.h>
#include <sys/stat.h>

namespace snapwick {

bool ReadFileStamp(const std::string& path, FileStamp& stamp) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return false;
  stamp.lastAccess = st.st_atim;
  stamp.lastWrite = st.st_mtim;
  stamp.mode = static_cast<uint32_t>(st.st_mode & 07777);
  stamp.isDirectory = S_ISDIR(st.st_mode);
  stamp.isRegular = S_ISREG(st.st_mode);
  return true;
}

bool SetFileTimes(const std::string& path, const timespec& lastAccess, const timespec& lastWrite) {
  const timespec times[2] = {lastAccess, lastWrite};
  return ::utimensat(AT_FDCWD, path.c_str(), times, 0) == 0;
}

bool SetFileMode(const std::string& path, uint32_t mode) {
  return ::chmod(path.c_str(), static_cast<mode_t>(mode & 07777)) == 0;
}

bool IsSameFile(const std::string& a, const std::string& b) {
  struct stat first {
  }, second{};
  return ::stat(a.c_str(), &first) == 0 && ::stat(b.c_str(), &second) == 0 &&
         first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

}  // namespace snapwick
