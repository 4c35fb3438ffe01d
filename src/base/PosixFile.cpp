#include "base/PosixFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <map>
#include <memory>
#include <new>
#include <random>
#include <set>
#include <string>
#include <string_view>
#include <utility>

#include "base/FileTimes.h"

namespace snapwick {

namespace {

bool NamesNoFile(const std::string& path) {
  return path.find('\0') != std::string::npos;
}

// Whether an existing file may be replaced: we must be allowed to write it, and it must not be
// marked read-only (no write bit at all), which even a privileged user respects here.
bool MayReplace(const std::string& path, const FileStamp& stamp) {
  return (stamp.mode & 0222) != 0 && ::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) == 0;
}

// The folder of a path ("." for a bare name) and the name in it.
std::pair<std::string, std::string> SplitPath(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return {".", path};
  return {path.substr(0, slash == 0 ? 1 : slash), path.substr(slash + 1)};
}

// How the temporary names of a target's replacements begin: "." + the target's name (cut so that
// the temporary name stays within the name length limit) + "."; eight hex digits and ".tmp"
// follow.
std::string TemporaryStem(const std::string& name) {
  return "." + name.substr(0, 200) + ".";
}
constexpr size_t kTemporarySuffixLength = 12;  // "0123abcd.tmp"

bool IsTemporarySuffix(std::string_view suffix) {
  return suffix.size() == kTemporarySuffixLength && suffix.substr(8) == ".tmp" &&
         suffix.substr(0, 8).find_first_not_of("0123456789abcdef") == std::string_view::npos;
}

// A new file in the target's folder that takes the target's place once complete. Where the file
// system allows, it has no name until then, so that a program killed while writing it leaves
// nothing behind; elsewhere it is made under a unique hidden name beside the target, removed
// again when the object ends unless it took the target's place.
class SiblingFile {
 public:
  explicit SiblingFile(const std::string& target) {
    const size_t slash = target.rfind('/');
    const auto [folder, name] = SplitPath(target);
    folder_ = folder;
    stem_ = (slash == std::string::npos ? "" : target.substr(0, slash + 1)) + TemporaryStem(name);
    if (::access("/proc/self/fd", X_OK) == 0) {
      const int fd = ::open(folder_.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
      if (fd >= 0) {
        unnamed_ = true;
        path_ = "/proc/self/fd/" + std::to_string(fd);
        file_ = FileDescriptor(fd, FileUse::Write, {});
        return;
      }
      // File systems without unnamed files say so in several ways; other failures are real.
      if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) {
        RaiseFileError(errno, FileUse::Write);
      }
    }
    int fd = -1;
    for (int attempt = 0; attempt < 100; ++attempt) {
      path_ = NewName();
      fd = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
      if (fd >= 0 || errno != EEXIST) break;
    }
    if (fd < 0) RaiseFileError(errno, FileUse::Write);
    file_ = FileDescriptor(fd, FileUse::Write, {});
  }
  ~SiblingFile() {
    if (!unnamed_ && !kept_) ::unlink(path_.c_str());
  }
  SiblingFile(const SiblingFile&) = delete;
  SiblingFile& operator=(const SiblingFile&) = delete;

  // A name the file's mode and times can be set through.
  const std::string& Path() const { return path_; }
  FileDescriptor& File() { return file_; }

  // Closes the file and puts it in the target's place, at once.
  void ReplaceTarget(const std::string& target, bool sync) {
    if (unnamed_) {
      // The file gets a hidden name of its own for the moment of the renaming.
      std::string named;
      int linked = -1;
      for (int attempt = 0; attempt < 100 && linked != 0; ++attempt) {
        named = NewName();
        linked = ::linkat(AT_FDCWD, path_.c_str(), AT_FDCWD, named.c_str(), AT_SYMLINK_FOLLOW);
        if (linked != 0 && errno != EEXIST) break;
      }
      if (linked != 0) RaiseFileError(errno, FileUse::Write);
      if (::rename(named.c_str(), target.c_str()) != 0) {
        const int error = errno;
        ::unlink(named.c_str());
        RaiseFileError(error, FileUse::Write);
      }
      kept_ = true;
      file_.Close();
    } else {
      file_.Close();
      if (::rename(path_.c_str(), target.c_str()) != 0) RaiseFileError(errno, FileUse::Write);
      kept_ = true;
    }
    if (!sync) return;
    // The new folder entry too goes to the disk; a failure here loses nothing written.
    const int folder = ::open(folder_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
      ::fsync(folder);
      ::close(folder);
    }
  }

 private:
  // A hidden name beside the target that is not taken yet, most likely.
  std::string NewName() {
    char suffix[16];
    std::snprintf(suffix, sizeof suffix, "%08x.tmp", static_cast<unsigned>(random_()));
    return stem_ + suffix;
  }

  std::string folder_;
  std::string stem_;
  std::string path_;
  FileDescriptor file_;
  std::mt19937 random_{std::random_device{}()};
  bool unnamed_ = false;
  bool kept_ = false;
};

}  // namespace

int32_t FileErrorNumber(int error, FileUse use) {
  switch (error) {
    case ENOENT:
      return use == FileUse::Read ? kErrFileNotFound : kErrPathNotFound;
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:
      return kErrPathNotFound;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
      return kErrDiskFull;
    case ENOMEM:
      return kErrOutOfMemory;
    default:
      return kErrPathFileAccess;
  }
}

void RaiseFileError(int error, FileUse use, const std::string& detail) {
  const int32_t number = FileErrorNumber(error, use);
  if (detail.empty()) RaiseError(number);
  RaiseError(number, detail);
}

FileDescriptor::FileDescriptor(int fd, FileUse use, std::string detail)
    : fd_(fd), use_(use), detail_(std::move(detail)) {}

FileDescriptor::~FileDescriptor() {
  if (fd_ >= 0) ::close(fd_);
}

FileDescriptor::FileDescriptor(FileDescriptor&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), use_(other.use_), detail_(std::move(other.detail_)) {}

FileDescriptor& FileDescriptor::operator=(FileDescriptor&& other) noexcept {
  if (this != &other) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = std::exchange(other.fd_, -1);
    use_ = other.use_;
    detail_ = std::move(other.detail_);
  }
  return *this;
}

FileDescriptor FileDescriptor::OpenToRead(const std::string& path, struct stat& status,
                                          const std::string& detail) {
  if (NamesNoFile(path)) RaiseFileError(ENOENT, FileUse::Read, detail);
  FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK), FileUse::Read,
                      detail);
  if (!file.IsOpen()) RaiseFileError(errno, FileUse::Read, detail);
  if (::fstat(file.fd_, &status) != 0) RaiseFileError(errno, FileUse::Read, detail);
  if (!S_ISREG(status.st_mode)) RaiseFileError(EACCES, FileUse::Read, detail);
  return file;
}

FileDescriptor FileDescriptor::Create(const std::string& path, const std::string& detail) {
  if (NamesNoFile(path)) RaiseFileError(ENOENT, FileUse::Write, detail);
  FileDescriptor file(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666),
                      FileUse::Write, detail);
  if (!file.IsOpen()) RaiseFileError(errno, FileUse::Write, detail);
  return file;
}

size_t FileDescriptor::ReadUpTo(void* into, size_t length) const {
  auto* bytes = static_cast<unsigned char*>(into);
  size_t done = 0;
  while (done < length) {
    const ssize_t got = ::read(fd_, bytes + done, length - done);
    if (got < 0) {
      if (errno == EINTR) continue;
      RaiseFileError(errno, use_, detail_);
    }
    if (got == 0) break;  // the file ended, or shrank while it was read
    done += static_cast<size_t>(got);
  }
  return done;
}

void FileDescriptor::WriteAll(std::span<const unsigned char> bytes) const {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd_, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      RaiseFileError(errno, use_, detail_);
    }
    bytes = bytes.subspan(static_cast<size_t>(written));
  }
}

void FileDescriptor::Sync() const {
  if (::fsync(fd_) != 0) RaiseFileError(errno, use_, detail_);
}

void FileDescriptor::Close() {
  const int fd = std::exchange(fd_, -1);
  // Interrupted, the descriptor is closed all the same on this system.
  if (fd >= 0 && ::close(fd) != 0 && errno != EINTR) RaiseFileError(errno, use_, detail_);
}

std::vector<unsigned char> ReadWholeFile(const std::string& path, int64_t maxBytes,
                                         const SnapError& tooLarge) {
  struct stat status {};
  const FileDescriptor file = FileDescriptor::OpenToRead(path, status, path);
  if (status.st_size > maxBytes) throw tooLarge;
  std::vector<unsigned char> data;
  try {
    data.resize(static_cast<size_t>(status.st_size));
  } catch (const std::bad_alloc&) {
    RaiseError(kErrOutOfMemory, path);
  }
  data.resize(file.ReadUpTo(data.data(), data.size()));
  return data;
}

void ReplaceFile(const std::string& target, std::span<const unsigned char> bytes,
                 SaveDurability durability) {
  const bool sync = durability == SaveDurability::Durable;
  if (NamesNoFile(target)) RaiseFileError(ENOENT, FileUse::Write);
  // The earlier file: it is only replaced by a complete new one, and may not be a folder or a
  // file marked read-only.
  FileStamp earlier;
  const bool existed = ReadFileStamp(target, earlier);
  if (existed) {
    if (earlier.isDirectory || !MayReplace(target, earlier)) RaiseError(kErrPathFileAccess);
  } else if (errno != ENOENT) {
    RaiseFileError(errno, FileUse::Write);
  }
  if (target.empty() || target.back() == '/') RaiseError(kErrPathNotFound);

  SiblingFile file(target);
  file.File().WriteAll(bytes);
  if (sync) file.File().Sync();
  if (existed) {
    // Failing to carry the old permissions and times over does not fail the replacement.
    SetFileMode(file.Path(), earlier.mode);
    SetFileTimes(file.Path(), earlier.lastAccess, earlier.lastWrite);
  }
  file.ReplaceTarget(target, sync);
}

void RemoveLeftTemporaries(const std::vector<std::string>& targets) {
  // Each folder is read once, whatever the number of targets in it.
  std::map<std::string, std::set<std::string>> stems;
  for (const std::string& target : targets) {
    const auto [folder, name] = SplitPath(target);
    stems[folder].insert(TemporaryStem(name));
  }
  for (const auto& [folder, wanted] : stems) {
    const std::unique_ptr<DIR, int (*)(DIR*)> entries(::opendir(folder.c_str()), ::closedir);
    if (!entries) continue;
    std::vector<std::string> left;
    while (const dirent* entry = ::readdir(entries.get())) {
      const std::string_view name = entry->d_name;
      if (name.size() <= kTemporarySuffixLength || name[0] != '.') continue;
      const size_t stemLength = name.size() - kTemporarySuffixLength;
      if (IsTemporarySuffix(name.substr(stemLength)) &&
          wanted.count(std::string(name.substr(0, stemLength))) != 0) {
        left.emplace_back(name);
      }
    }
    for (const std::string& name : left)
      ::unlinkat(::dirfd(entries.get()), name.c_str(), 0);
  }
}

bool FolderTakesFiles(const std::string& target) {
  const std::string folder = SplitPath(target).first;
  struct stat st {};
  return ::stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode) &&
         ::faccessat(AT_FDCWD, folder.c_str(), W_OK | X_OK, AT_EACCESS) == 0;
}

std::vector<unsigned char> ReadToEnd(const std::string& path, int64_t maxBytes,
                                     const SnapError& tooLarge) {
  if (NamesNoFile(path)) RaiseFileError(ENOENT, FileUse::Read, path);
  // A blocking open, so that a pipe is read as its writer fills it.
  const FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC), FileUse::Read, path);
  if (!file.IsOpen()) RaiseFileError(errno, FileUse::Read, path);
  struct stat status {};
  if (::fstat(file.Get(), &status) != 0) RaiseFileError(errno, FileUse::Read, path);
  if (S_ISDIR(status.st_mode)) RaiseFileError(EISDIR, FileUse::Read, path);
  std::vector<unsigned char> data;
  constexpr size_t kChunk = 64 * 1024;
  for (;;) {
    const size_t had = data.size();
    if (static_cast<int64_t>(had) > maxBytes) throw tooLarge;
    try {
      data.resize(had + kChunk);
    } catch (const std::bad_alloc&) {
      RaiseError(kErrOutOfMemory, path);
    }
    const size_t got = file.ReadUpTo(data.data() + had, kChunk);
    data.resize(had + got);
    if (got < kChunk) break;
  }
  if (static_cast<int64_t>(data.size()) > maxBytes) throw tooLarge;
  return data;
}

void MakeFolders(const std::string& path) {
  if (NamesNoFile(path)) RaiseFileError(ENOENT, FileUse::Write, path);
  // Each folder from the top down; one that is there already is passed over.
  for (size_t end = path.find('/', 1);; end = path.find('/', end + 1)) {
    const std::string folder = path.substr(0, end);
    if (!folder.empty() && folder.back() != '/' && ::mkdir(folder.c_str(), 0777) != 0) {
      const int error = errno;
      struct stat st {};
      if (error != EEXIST) RaiseFileError(error, FileUse::Write, path);
      if (::stat(folder.c_str(), &st) != 0) RaiseFileError(errno, FileUse::Write, path);
      if (!S_ISDIR(st.st_mode)) RaiseFileError(ENOTDIR, FileUse::Write, path);
    }
    if (end == std::string::npos) return;
  }
}

}  // namespace snapwick
