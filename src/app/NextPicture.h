#pragma once

#include <sys/types.h>

#include <condition_variable>
#include <cstdint>
#include <ctime>
#include <mutex>
#include <string>
#include <thread>

#include "imaging/Picture.h"

namespace snapwick {

// What tells a file apart from the one it was when it was read: the file itself (device and
// inode), its size, and when its content and its entry last changed.
struct FileIdentity {
  dev_t device = 0;
  ino_t inode = 0;
  off_t size = 0;
  timespec modified{};
  timespec changed{};

  bool operator==(const FileIdentity& other) const;
};

// The picture that will most likely be shown next, decoded ahead on a worker thread while the
// current one is on screen. At most one picture is held ahead. It is handed over only for the path
// it was read from and only while that file is as it was read; in every other case the caller
// reads the file itself, so that what is shown and what a failure says do not depend on it.
//
// One thread uses it (Start, Take, Clear and the counts); the decoding happens on its own worker,
// which is started with the first picture asked for and joined when the object ends.
class NextPicture {
 public:
  NextPicture() = default;
  // Waits for a decode in flight to end.
  ~NextPicture();
  NextPicture(const NextPicture&) = delete;
  NextPicture& operator=(const NextPicture&) = delete;

  // Drops the picture held ahead and starts decoding `path` into `buffer`, whose memory is used
  // again when it is large enough. An empty path only drops what is held. Never raises: a decode
  // that cannot be started or fails leaves nothing to take.
  void Start(const std::string& path, Picture buffer = Picture()) noexcept;
  // Moves the picture decoded for `path` into `into` when its file is unchanged since it was read;
  // a decode of that path in flight is waited for. False, leaving `into` as it is, when there is
  // none: another path, a changed or vanished file, a failed decode.
  bool Take(const std::string& path, Picture& into);
  // Drops the picture held ahead and the decode asked for (one in flight ends unused).
  void Clear() noexcept;
  // Waits until the worker has nothing left to do.
  void WaitIdle() const;
  // Whether a decoded picture is held for hand-over.
  bool IsReady() const;

  // How many pictures Take handed over, and how many it asked the caller to read itself.
  int64_t TakenReady() const { return takenReady_; }
  int64_t ReadAgain() const { return readAgain_; }

 private:
  void Work();
  // Drops the held picture; the caller holds the lock and frees what it is given after it.
  Picture DropHeld();

  mutable std::mutex mutex_;
  mutable std::condition_variable changed_;
  std::thread worker_;
  bool stopping_ = false;
  std::string wanted_;    // the path the picture ahead is for; empty when none is
  std::string pending_;   // asked for and not yet begun
  std::string decoding_;  // being decoded now
  Picture buffer_;        // memory for the pending decode
  std::string heldPath_;  // the decoded picture held ahead, and its file as it was read
  Picture held_;
  FileIdentity heldIdentity_;

  int64_t takenReady_ = 0;
  int64_t readAgain_ = 0;
};

}  // namespace snapwick
