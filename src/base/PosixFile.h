#pragma once

#include <sys/stat.h>

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "base/Error.h"

// Every file the program reads or writes goes through this module: one owner of a descriptor,
// reading a whole file, writing all bytes, replacing a file at once, and the one translation of
// a failed system call (errno) into the runtime's error numbers:
//
//   errno                            reading a file that exists   creating or replacing a file
//   ENOENT                           53 File not found            76 Path not found
//   ENOTDIR, ENAMETOOLONG, ELOOP     76 Path not found            76 Path not found
//   ENOSPC, EDQUOT, EFBIG            61 Disk full                 61 Disk full
//   ENOMEM                            7 Out of memory              7 Out of memory
//   anything else (EACCES, EISDIR,   75 Path/File access error    75 Path/File access error
//   EROFS, EIO, ...)
//
// A name holding a NUL character cannot name a file: it counts as ENOENT. A file to read that
// is no regular file (a folder, a FIFO, a device) is refused with 75, and so is a target to
// replace that is a folder or a file marked read-only.
namespace snapwick {

// What the program was doing with the file when the system call failed.
enum class FileUse { Read, Write };

// The runtime's error number for a failed system call.
int32_t FileErrorNumber(int error, FileUse use);

// Raises the runtime's error for a failed system call; `detail`, when not empty, follows the
// standard description ("File not found: /pictures/a.jpg").
[[noreturn]] void RaiseFileError(int error, FileUse use, const std::string& detail = {});

// Whether the bytes written must reach the disk before the writing function returns (a saved
// picture), or may stay in the system's cache (a scratch file, rewritten again and again).
enum class SaveDurability { Durable, Scratch };

// Owns an open file descriptor, closes it at the end of its life, and reads and writes through
// it. Failures raise the errors of the table above, with the detail given when it was opened.
class FileDescriptor {
 public:
  FileDescriptor() = default;
  // Takes over an open descriptor (or -1); `use` and `detail` shape the errors raised through it.
  FileDescriptor(int fd, FileUse use, std::string detail);
  ~FileDescriptor();
  FileDescriptor(FileDescriptor&& other) noexcept;
  FileDescriptor& operator=(FileDescriptor&& other) noexcept;
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;

  // Opens an existing regular file for reading and reports what the system knows of it. The
  // open does not wait, so that a FIFO or a device named like a picture cannot hold the program
  // up, and no file is made for a name that does not exist.
  static FileDescriptor OpenToRead(const std::string& path, struct stat& status,
                                   const std::string& detail);
  // Creates a file, or empties an existing one, for writing.
  static FileDescriptor Create(const std::string& path, const std::string& detail);

  bool IsOpen() const { return fd_ >= 0; }
  int Get() const { return fd_; }

  // Reads until `length` bytes arrived or the file ended; returns how many arrived.
  size_t ReadUpTo(void* into, size_t length) const;
  // Writes every byte.
  void WriteAll(std::span<const unsigned char> bytes) const;
  // Pushes what was written to the disk.
  void Sync() const;
  // Closes the descriptor now; a failure to close (data that could not be stored) raises.
  void Close();

 private:
  int fd_ = -1;
  FileUse use_ = FileUse::Read;
  std::string detail_;
};

// The whole content of an existing regular file of at most maxBytes bytes; a larger file raises
// `tooLarge` without being read. A file that shrinks while it is read gives what it still held.
// The path is the detail of the file errors.
std::vector<unsigned char> ReadWholeFile(const std::string& path, int64_t maxBytes,
                                         const SnapError& tooLarge);

// Replaces the file `target` with `bytes` at once: they are written to a new file in its folder
// (unnamed where the file system allows, so that a program killed meanwhile leaves nothing; else
// under a unique hidden name beside it), which takes the old file's place by renaming, so that the
// target holds either its old or its new content, never a part. The new file gets the old one's
// access and modification times and permission bits. A target that is a folder or a read-only file
// is refused with 75, a name ending in "/" with 76. On failure nothing new is left behind and any
// earlier file is as it was. A durable replacement also pushes the new file and its folder entry
// to the disk. The errors carry no detail: the caller knows the name.
void ReplaceFile(const std::string& target, std::span<const unsigned char> bytes,
                 SaveDurability durability);

// Whether files can be made in the folder that `target` names a file of: it exists, is a folder
// and may be written by the program as what it runs as.
bool FolderTakesFiles(const std::string& target);

// Removes the temporary files that ReplaceFile may leave beside these targets when the program is
// killed at the moment it renames one into place (hidden, named after the target). A batch calls
// it before it begins, so that such files never pile up.
void RemoveLeftTemporaries(const std::vector<std::string>& targets);

// The whole content of a file that may also be a pipe or a terminal (a list of names handed on
// from another program), read until it ends; more than maxBytes bytes raise `tooLarge`. A folder
// is refused with 75. The path is the detail of the file errors.
std::vector<unsigned char> ReadToEnd(const std::string& path, int64_t maxBytes,
                                     const SnapError& tooLarge);

// Makes the folder `path` and every missing folder above it, as `mkdir -p` does; an existing
// folder is left as it is. A part of the path that exists and is no folder raises 76, as the
// system does; the path is the detail of the file errors.
void MakeFolders(const std::string& path);

}  // namespace snapwick
