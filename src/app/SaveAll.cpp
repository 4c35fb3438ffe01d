#include "app/SaveAll.h"

#include <algorithm>
#include <climits>
#include <exception>
#include <thread>
#include <vector>

#include "base/PosixFile.h"
#include "labels/SaveNaming.h"
#include "slideshow/SlideShow.h"

namespace snapwick {

std::string SaveAllSummary::Text() const {
  std::string text;
  if (!stopReason.empty()) {
    text = "Save All stopped: " + stopReason + "; ";
  } else if (cancelled) {
    text = "Save All cancelled: ";
  } else {
    text = "Save All: ";
  }
  text += std::to_string(written) + " of " + std::to_string(total) + " written";
  if (unreadable > 0) text += ", " + std::to_string(unreadable) + " could not be read";
  if (failed > 0) text += ", " + std::to_string(failed) + " failed";
  if (!firstReason.empty()) text += " (first: " + firstReason + ")";
  return text;
}

SaveAll::SaveAll(SaveAllJob job) : job_(std::move(job)) {
  summary_.total = job_.files.PictureCount();
}

SaveAllSummary SaveAll::Run(const Observer& observe) {
  const AutoSaveChoice& choice = job_.settings.autoSave;
  if (choice.generateSlideShow && summary_.total > 0 && !cancelled_) {
    try {
      GenerateSlideShow(choice.names.base + "SlideShow.htm", choice.names.filePath,
                        ImageNames(choice.names, job_.files.Pictures()),
                        [&choice] { return choice.slideTime; });
    } catch (const std::exception& error) {
      summary_.stopReason = std::string("slide show not written: ") + error.what();
      return summary_;
    }
  }
  // What a batch killed before this one may have left beside its targets goes first.
  RemoveLeftTemporaries(AutoSaveNames(choice.names, job_.files.Pictures()));
  const int32_t jobs = std::clamp(job_.jobs, 1, std::max(summary_.total, 1));
  std::vector<std::thread> workers;
  workers.reserve(static_cast<size_t>(jobs));
  try {
    for (int32_t i = 0; i < jobs; ++i)
      workers.emplace_back([this, &observe] { Work(observe); });
  } catch (const std::system_error&) {
    // Fewer threads than asked for still do the whole list; none at all, this one does.
    if (workers.empty()) Work(observe);
  }
  for (std::thread& worker : workers)
    worker.join();
  summary_.cancelled = cancelled_ && summary_.stopReason.empty();
  return summary_;
}

void SaveAll::Work(const Observer& observe) {
  // Each worker runs a session of its own: its canvas, its font and its buffers.
  PictureSession session(job_.settings, job_.files);
  for (;;) {
    if (cancelled_ || stopped_) return;
    const int32_t number = nextNumber_++;
    if (number > summary_.total) return;
    const SavedPicture saved = session.SaveListPicture(number, job_.switches, job_.label);
    const std::lock_guard lock(mutex_);
    switch (saved.result) {
      case SavedPicture::Result::Written:
        ++summary_.written;
        break;
      case SavedPicture::Result::Unreadable:
        ++summary_.unreadable;
        break;
      case SavedPicture::Result::Failed:
        ++summary_.failed;
        break;
      case SavedPicture::Result::Stopped:
        ++summary_.failed;
        if (!stopped_.exchange(true)) summary_.stopReason = saved.target + ": " + saved.reason;
        break;
    }
    if (saved.result != SavedPicture::Result::Written && number < firstReasonNumber_) {
      firstReasonNumber_ = number;
      summary_.firstReason =
          (saved.result == SavedPicture::Result::Unreadable ? saved.source : saved.target) + ": " +
          saved.reason;
    }
    ++done_;
    if (observe) observe(saved, done_, summary_.total);
  }
}

int32_t AllCores() {
  return static_cast<int32_t>(std::max(1u, std::thread::hardware_concurrency()));
}

}  // namespace snapwick
