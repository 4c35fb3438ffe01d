#include "app/BatchReport.h"

#include <cstdio>

namespace snapwick {

namespace {

constexpr const char* kProgram = "snapwick: ";
constexpr int kBarWidth = 20;
constexpr size_t kShownNameBytes = 40;
constexpr auto kRedrawEvery = std::chrono::milliseconds(100);
// Back to the start of the line, and the rest of the line cleared.
constexpr const char* kLineStart = "\r";
constexpr const char* kClearToEnd = "\033[K";

// The file name of a path, cut to a few dozen bytes (at a character's start) and with control
// characters as "?", for the one progress line.
std::string ShownName(const std::string& path) {
  std::string name = path.substr(path.rfind('/') + 1);
  if (name.size() > kShownNameBytes) {
    size_t cut = kShownNameBytes;
    while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80)
      --cut;
    name = name.substr(0, cut) + "...";
  }
  for (char& c : name) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
  }
  return name;
}

// The reason without the file's name at its end, which the line already starts with.
std::string Reason(const std::string& reason, const std::string& file) {
  const std::string tail = ": " + file;
  return reason.size() > tail.size() && reason.ends_with(tail)
             ? reason.substr(0, reason.size() - tail.size())
             : reason;
}

}  // namespace

BatchReport::BatchReport(std::ostream& err, bool terminal, bool quiet)
    : err_(err), terminal_(terminal), quiet_(quiet) {}

void BatchReport::Line(std::string text) {
  // One line each: a line break or other control character of a file name is told as "?".
  for (char& c : text) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
  }
  if (progressShown_) err_ << kLineStart << kClearToEnd;
  err_ << kProgram << text << '\n';
}

void BatchReport::Picture(const SavedPicture& saved, int32_t done, int32_t total) {
  switch (saved.result) {
    case SavedPicture::Result::Written:
      break;
    case SavedPicture::Result::Unreadable:
      Line(saved.source + ": " + Reason(saved.reason, saved.source));
      break;
    case SavedPicture::Result::Failed:
      Line(saved.target + ": " + Reason(saved.reason, saved.target));
      break;
    case SavedPicture::Result::Stopped:
      // Told once at the end: every picture after it would fail the same way.
      if (stopReason_.empty()) stopReason_ = saved.reason;
      break;
  }
  if (terminal_ && !quiet_) Progress(saved.source, done, total);
  err_.flush();
}

void BatchReport::Progress(const std::string& name, int32_t done, int32_t total) {
  const auto now = std::chrono::steady_clock::now();
  if (done < total && progressShown_ && now - lastDrawn_ < kRedrawEvery) return;
  lastDrawn_ = now;
  progressShown_ = true;
  const int filled =
      total > 0 ? static_cast<int>(static_cast<int64_t>(done) * kBarWidth / total) : kBarWidth;
  const double seconds = std::chrono::duration<double>(now - start_).count();
  char rate[32];
  std::snprintf(rate, sizeof rate, "%.1f", seconds > 0 ? done / seconds : 0.0);
  err_ << kLineStart << '[' << std::string(static_cast<size_t>(filled), '#')
       << std::string(static_cast<size_t>(kBarWidth - filled), '.') << "] " << done << '/' << total
       << ' ' << ShownName(name) << ' ' << rate << " pictures/s" << kClearToEnd;
}

int BatchReport::End(const SaveAllSummary& summary, const std::string& folder) {
  if (progressShown_) {
    err_ << '\n';
    progressShown_ = false;
  }
  if (!summary.stopReason.empty()) {
    // A folder that takes no file or a full disk: one message for the whole batch.
    Line("cannot write to " + folder + ": " +
         (stopReason_.empty() ? summary.stopReason : stopReason_));
    err_.flush();
    return 1;
  }
  if (!quiet_) {
    std::string text =
        std::to_string(summary.written) + " of " + std::to_string(summary.total) + " written";
    if (summary.unreadable > 0)
      text += ", " + std::to_string(summary.unreadable) + " could not be read";
    if (summary.failed > 0) text += ", " + std::to_string(summary.failed) + " failed";
    if (summary.cancelled) text += ", interrupted";
    Line(text);
  }
  err_.flush();
  return summary.written == summary.total ? 0 : 1;
}

}  // namespace snapwick
