#pragma once

#include <cstdint>
#include <ctime>
#include <string>

namespace snapwick {

// What a file keeps of its past and its permissions: the times of its last access and last
// modification, to the nanosecond, and its permission bits. (This platform keeps no creation
// time that could be set.)
struct FileStamp {
  timespec lastAccess{};
  timespec lastWrite{};
  uint32_t mode = 0;  // permission bits, 07777
  bool isDirectory = false;
  bool isRegular = false;
};

// Reads the stamp of a file, following symbolic links. Returns false, with errno set, when the
// file cannot be looked up.
bool ReadFileStamp(const std::string& path, FileStamp& stamp);

// Sets the last-access and last-modification times of a file. Returns false, with errno set, on
// failure.
bool SetFileTimes(const std::string& path, const timespec& lastAccess, const timespec& lastWrite);

// Sets the permission bits of a file. Returns false, with errno set, on failure.
bool SetFileMode(const std::string& path, uint32_t mode);

// Whether two names lead to one and the same existing file: the same device and inode, symbolic
// links followed (so a link to a file, a hard link and the file's own path all match it). False
// when either cannot be looked up.
bool IsSameFile(const std::string& a, const std::string& b);

}  // namespace snapwick
