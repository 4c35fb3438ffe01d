#pragma once

#include <atomic>
#include <climits>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>

#include "app/PictureList.h"
#include "app/PictureSession.h"

namespace snapwick {

// What a batch is to do: every picture of a list written as "Auto Save" writes it when it is
// shown, with a session's settings and switches.
struct SaveAllJob {
  SessionSettings settings;
  PictureList files;
  RoadSwitches switches;
  std::optional<std::string> label;  // drawn on every picture, as "Auto Label" draws it
  int32_t jobs = 1;                  // pictures written at once, each on its own thread
};

// How a batch ended.
struct SaveAllSummary {
  int32_t total = 0;
  int32_t written = 0;
  int32_t unreadable = 0;
  int32_t failed = 0;
  std::string firstReason;  // "<file>: <why>" of the first picture not written
  std::string stopReason;   // why the batch stopped early; empty when it did not
  bool cancelled = false;

  // "Saved 48 of 50 pictures: 1 could not be read, 1 failed (first: a.jpg: File not found)",
  // with what stopped or cancelled it.
  std::string Text() const;
};

// Runs a batch on worker threads. With "Generate Slide Show" the slide show is written first; a
// failure there, a full disk or a target folder that takes no file stops the batch. Memory holds
// one picture for each worker, however long the list.
class SaveAll {
 public:
  // Told of each picture as it is done (or passed over), one call at a time, on a worker thread:
  // what became of it and how many are done of how many.
  using Observer = std::function<void(const SavedPicture&, int32_t done, int32_t total)>;

  explicit SaveAll(SaveAllJob job);

  // Writes the pictures and waits for the end. The names and bytes do not depend on the number
  // of jobs.
  SaveAllSummary Run(const Observer& observe);
  // Asks the batch to stop: the pictures in flight are written whole, no other is begun. May be
  // called from any thread, before or during Run.
  void Cancel() { cancelled_ = true; }
  bool Cancelled() const { return cancelled_; }
  // How many pictures the list holds.
  int32_t Total() const { return summary_.total; }

 private:
  void Work(const Observer& observe);

  SaveAllJob job_;
  std::atomic<bool> cancelled_{false};
  std::atomic<bool> stopped_{false};
  std::atomic<int32_t> nextNumber_{1};
  std::mutex mutex_;  // guards summary_ and the observer's calls
  SaveAllSummary summary_;
  int32_t done_ = 0;
  int32_t firstReasonNumber_ = INT32_MAX;  // the picture that firstReason is of
};

// The number of jobs that uses every core.
int32_t AllCores();

}  // namespace snapwick
