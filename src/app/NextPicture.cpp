#include "app/NextPicture.h"

#include <sys/stat.h>

#include <optional>
#include <utility>

#include "imaging/PictureLoader.h"

namespace snapwick {

namespace {

bool SameTime(const timespec& a, const timespec& b) {
  return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

// The file's identity now; none when it cannot be had.
std::optional<FileIdentity> IdentityOf(const std::string& path) {
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0) return std::nullopt;
  return FileIdentity{status.st_dev, status.st_ino, status.st_size, status.st_mtim, status.st_ctim};
}

// Decodes the file into `picture`; the file's identity when it was the same before and after
// the read, else none. Nothing escapes: a failure is left for the caller's own read to report.
std::optional<FileIdentity> Decode(const std::string& path, Picture& picture) noexcept {
  try {
    const std::optional<FileIdentity> before = IdentityOf(path);
    if (!before) return std::nullopt;
    LoadPicture(path, picture);
    if (picture.IsEmpty() || IdentityOf(path) != before) return std::nullopt;
    return before;
  } catch (...) {
    return std::nullopt;
  }
}

}  // namespace

bool FileIdentity::operator==(const FileIdentity& other) const {
  return device == other.device && inode == other.inode && size == other.size &&
         SameTime(modified, other.modified) && SameTime(changed, other.changed);
}

NextPicture::~NextPicture() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
  if (worker_.joinable()) worker_.join();
}

Picture NextPicture::DropHeld() {
  heldPath_.clear();
  return std::exchange(held_, Picture());
}

void NextPicture::Start(const std::string& path, Picture buffer) noexcept {
  Picture dropped;
  try {
    std::unique_lock lock(mutex_);
    dropped = DropHeld();
    wanted_ = path;
    pending_.clear();
    // A decode of the same path in flight serves as it is.
    if (!path.empty() && decoding_ != path) {
      if (!worker_.joinable()) worker_ = std::thread(&NextPicture::Work, this);
      pending_ = path;
      buffer_ = std::move(buffer);
    }
  } catch (...) {
    // No worker or no memory for the path: nothing is pending, so Take finds nothing to wait for.
  }
  changed_.notify_all();
}

bool NextPicture::Take(const std::string& path, Picture& into) {
  if (path.empty()) return false;
  std::unique_lock lock(mutex_);
  // A decode not yet begun because the worker is still busy with one no longer wanted is
  // dropped: reading the file at once is sooner.
  if (wanted_ != path || (pending_ == path && !decoding_.empty())) {
    wanted_.clear();
    pending_.clear();
    ++readAgain_;
    return false;
  }
  changed_.wait(lock, [&] { return pending_ != path && decoding_ != path; });
  wanted_.clear();
  if (heldPath_ != path) {
    ++readAgain_;
    return false;
  }
  const FileIdentity identity = heldIdentity_;
  Picture picture = DropHeld();
  lock.unlock();
  if (IdentityOf(path) != identity) {
    ++readAgain_;
    return false;
  }
  into = std::move(picture);
  ++takenReady_;
  return true;
}

void NextPicture::Clear() noexcept {
  // The memory is freed once the lock is given up.
  Picture held, buffer;
  std::lock_guard lock(mutex_);
  wanted_.clear();
  pending_.clear();
  held = DropHeld();
  buffer = std::exchange(buffer_, Picture());
}

void NextPicture::WaitIdle() const {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [&] { return pending_.empty() && decoding_.empty(); });
}

bool NextPicture::IsReady() const {
  std::lock_guard lock(mutex_);
  return !heldPath_.empty();
}

void NextPicture::Work() {
  for (;;) {
    Picture picture;
    {
      std::unique_lock lock(mutex_);
      changed_.wait(lock, [&] { return stopping_ || !pending_.empty(); });
      if (stopping_) return;
      decoding_ = std::move(pending_);
      pending_.clear();
      picture = std::exchange(buffer_, Picture());
    }
    // Only this thread changes decoding_, so it reads it unlocked.
    const std::optional<FileIdentity> read = Decode(decoding_, picture);
    {
      std::lock_guard lock(mutex_);
      // A picture no longer wanted (the list moved on meanwhile) is dropped.
      if (read && wanted_ == decoding_) {
        heldPath_ = std::move(decoding_);
        heldIdentity_ = *read;
        std::swap(held_, picture);
      }
      decoding_.clear();
    }
    changed_.notify_all();
  }
}

}  // namespace snapwick
