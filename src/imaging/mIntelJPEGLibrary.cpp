#include "imaging/mIntelJPEGLibrary.h"

#include <fcntl.h>
#include <turbojpeg.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <random>

#include "base/Error.h"
#include "base/FileTimes.h"

namespace snapwick {

namespace {

[[noreturn]] void RaiseWriterError(const std::string& description) {
  throw SnapError(kErrJpegWriter, description, JpegWriterSource());
}

// The runtime's file error for a system error number.
[[noreturn]] void RaiseFileError(int error) {
  switch (error) {
    case ENOENT:
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:
      RaiseError(kErrPathNotFound);
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
      RaiseError(kErrDiskFull);
    default:
      RaiseError(kErrPathFileAccess);
  }
}

class Compressor {
 public:
  Compressor() : handle_(tjInitCompress()) {}
  ~Compressor() {
    if (handle_ != nullptr) tjDestroy(handle_);
  }
  Compressor(const Compressor&) = delete;
  Compressor& operator=(const Compressor&) = delete;
  tjhandle Get() const { return handle_; }

 private:
  tjhandle handle_;
};

class JpegBytes {
 public:
  JpegBytes() = default;
  ~JpegBytes() { tjFree(data_); }
  JpegBytes(const JpegBytes&) = delete;
  JpegBytes& operator=(const JpegBytes&) = delete;
  unsigned char** Data() { return &data_; }
  unsigned long* Size() { return &size_; }
  const unsigned char* Begin() const { return data_; }
  size_t Length() const { return static_cast<size_t>(size_); }

 private:
  unsigned char* data_ = nullptr;
  unsigned long size_ = 0;
};

// Whether an existing file may be replaced: we must be allowed to write it, and it must not be
// marked read-only (no write bit at all), which even a privileged user respects here.
bool MayReplace(const std::string& path, const FileStamp& stamp) {
  return (stamp.mode & 0222) != 0 && ::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) == 0;
}

// A new file next to the target, under a unique hidden name; removed again when the object ends
// unless it was kept.
class SiblingFile {
 public:
  explicit SiblingFile(const std::string& target) {
    const size_t slash = target.rfind('/');
    folder_ = slash == std::string::npos ? "." : target.substr(0, slash == 0 ? 1 : slash);
    const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
    // Long names are cut so that the temporary name stays within the name length limit.
    const std::string stem = "." + name.substr(0, 200) + ".";
    std::random_device seed;
    std::mt19937 random(seed());
    for (int attempt = 0; attempt < 100; ++attempt) {
      char suffix[16];
      std::snprintf(suffix, sizeof suffix, "%08x.tmp", static_cast<unsigned>(random()));
      path_ = (slash == std::string::npos ? "" : target.substr(0, slash + 1)) + stem + suffix;
      fd_ = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
      if (fd_ >= 0 || errno != EEXIST) break;
    }
    if (fd_ < 0) RaiseFileError(errno);
  }
  ~SiblingFile() {
    if (fd_ >= 0) ::close(fd_);
    if (!kept_) ::unlink(path_.c_str());
  }
  SiblingFile(const SiblingFile&) = delete;
  SiblingFile& operator=(const SiblingFile&) = delete;

  const std::string& Path() const { return path_; }

  // Writes all bytes, pushes them to the disk when asked to, and closes the file.
  void WriteAll(const unsigned char* data, size_t length, bool sync) {
    while (length > 0) {
      const ssize_t written = ::write(fd_, data, length);
      if (written < 0) {
        if (errno == EINTR) continue;
        RaiseFileError(errno);
      }
      data += written;
      length -= static_cast<size_t>(written);
    }
    if (sync && ::fsync(fd_) != 0) RaiseFileError(errno);
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) RaiseFileError(errno);
  }

  // Puts the file in the target's place, at once.
  void ReplaceTarget(const std::string& target, bool sync) {
    if (::rename(path_.c_str(), target.c_str()) != 0) RaiseFileError(errno);
    kept_ = true;
    if (!sync) return;
    // The new directory entry too goes to the disk; a failure here loses nothing written.
    const int folder = ::open(folder_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
      ::fsync(folder);
      ::close(folder);
    }
  }

 private:
  std::string folder_;
  std::string path_;
  int fd_ = -1;
  bool kept_ = false;
};

}  // namespace

std::string JpegWriterSource() {
  return std::string(kProgramName) + ".mIntelJPEGLibrary";
}

bool SaveJPG(const cDIBSection& cDib, const std::string& sFile, int32_t lQuality,
             SaveDurability durability) {
  const bool sync = durability == SaveDurability::Durable;
  Compressor compressor;
  if (compressor.Get() == nullptr) RaiseWriterError("Failed to initialise the IJL library: -1");

  // The earlier file: it is only replaced by a complete new one, and may not be a folder or a
  // file marked read-only.
  FileStamp earlier;
  const bool existed = ReadFileStamp(sFile, earlier);
  if (existed) {
    if (earlier.isDirectory || !MayReplace(sFile, earlier)) RaiseError(kErrPathFileAccess);
  } else if (errno != ENOENT) {
    RaiseFileError(errno);
  }
  if (sFile.empty() || sFile.back() == '/') RaiseError(kErrPathNotFound);

  // The encoder reads the rows in place: bottom-up, blue-green-red, with the surface's padding.
  JpegBytes jpeg;
  const int quality = std::clamp<int32_t>(lQuality, 1, 100);
  const int rc =
      tjCompress2(compressor.Get(), cDib.DIBSectionBitsPtr(), cDib.Width(),
                  cDib.IsCreated() ? cDib.BytesPerScanLine() : 0, cDib.Height(), TJPF_BGR,
                  jpeg.Data(), jpeg.Size(), TJSAMP_420, quality, TJFLAG_BOTTOMUP);
  if (rc != 0) RaiseWriterError("Failed to save to JPG " + std::to_string(rc));

  SiblingFile file(sFile);
  file.WriteAll(jpeg.Begin(), jpeg.Length(), sync);
  if (existed) {
    // Failing to carry the old permissions and times over does not fail the save.
    SetFileMode(file.Path(), earlier.mode);
    SetFileTimes(file.Path(), earlier.lastAccess, earlier.lastWrite);
  }
  file.ReplaceTarget(sFile, sync);
  return true;
}

}  // namespace snapwick
