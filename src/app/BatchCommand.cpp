#include "app/BatchCommand.h"

#include <QFont>
#include <QLocale>
#include <QString>
#include <atomic>
#include <csignal>
#include <exception>
#include <iostream>
#include <iterator>
#include <optional>

#include "app/BatchReport.h"
#include "app/CommandLine.h"
#include "app/PictureList.h"
#include "app/PictureSession.h"
#include "app/QualitySetting.h"
#include "app/SaveAll.h"
#include "base/Error.h"
#include "base/FileSet.h"
#include "base/FileTimes.h"
#include "base/PosixFile.h"
#include "base/Settings.h"
#include "labels/LabelFont.h"
#include "labels/SaveNaming.h"
#include "metadata/PictureDataItems.h"

namespace snapwick {

namespace {

constexpr int kExitWritten = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;
constexpr int32_t kDefaultBoxWidth = 640;
constexpr int32_t kDefaultBoxHeight = 480;
constexpr int64_t kMaxListBytes = int64_t{256} * 1024 * 1024;

int Usage(CommandIo& io, const std::string& message) {
  io.err << "snapwick: " << message << "\nTry 'snapwick --help' for more information.\n";
  io.err.flush();
  return kExitUsage;
}

// Standard output must have taken what was printed.
int Printed(CommandIo& io) {
  io.out.flush();
  if (io.out) return kExitWritten;
  io.err << "snapwick: write error\n";
  return kExitFailed;
}

// The names a --files-from list holds: one a line, or each ended by a NUL; empty ones are passed
// over. Raises what reading the file raises.
std::vector<std::string> ListedNames(const std::string& from, bool nulSeparated, CommandIo& io) {
  std::string bytes;
  if (from == "-") {
    std::istream& in = io.in != nullptr ? *io.in : std::cin;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (in.bad()) RaiseError(kErrPathFileAccess, "standard input");
  } else {
    const std::vector<unsigned char> data = ReadToEnd(
        from, kMaxListBytes, SnapError(kErrOutOfMemory, "the list is longer than 256 MB"));
    bytes.assign(data.begin(), data.end());
  }
  std::vector<std::string> names;
  const char end = nulSeparated ? '\0' : '\n';
  size_t start = 0;
  while (start < bytes.size()) {
    size_t stop = bytes.find(end, start);
    if (stop == std::string::npos) stop = bytes.size();
    if (stop > start) names.push_back(bytes.substr(start, stop - start));
    start = stop + 1;
  }
  return names;
}

// The folder made absolute, without the "/" at its end (but "/" itself).
std::string AbsoluteFolder(const std::string& folder) {
  std::string path = AbsolutePaths({folder}).front();
  while (path.size() > 1 && path.back() == '/')
    path.pop_back();
  return path;
}

// The label font as a window's session has it: the chosen one, else the stored "Font" (when it
// can be read), set on the default font as the session does; else the default font.
QString LabelFontText(const std::optional<LabelFont>& chosen) {
  std::optional<LabelFont> wanted = chosen;
  if (!wanted && SettingsStore::HasSetting(kFontKey)) {
    wanted = ParseFontSetting(SettingsStore::GetSetting(kFontKey, std::string()));
  }
  return (wanted ? PictureSession::WithLabelFont(QFont(), *wanted) : QFont()).toString();
}

// "Seconds per slide" as the dialog's field holds it: a number in the default locale.
std::string SlideTimeText(double seconds) {
  QLocale locale;
  locale.setNumberOptions(QLocale::OmitGroupSeparator);
  return locale.toString(seconds, 'g', QLocale::FloatingPointShortest).toStdString();
}

// The batch of the options: what the command line gives, and for the rest what a window's
// session reads from the stored settings.
SaveAllJob BatchJob(const CommandLineOptions& options, const std::string& folder,
                    const std::vector<std::string>& pictures) {
  SessionSettings settings;
  settings.quality = options.quality.value_or(
      ParseQualitySetting(SettingsStore::GetSetting(kQualityKey, std::to_string(kDefaultQuality))));
  AutoSaveChoice& choice = settings.autoSave;
  choice.names.filePath = folder == "/" ? "/" : folder + "/";
  choice.names.keepOriginalFileName = !options.prefix.has_value();
  choice.names.prefix = options.prefix.value_or(std::string());
  choice.names.base = choice.names.filePath + choice.names.prefix;
  choice.generateSlideShow = options.slideSeconds.has_value();
  if (options.slideSeconds) choice.slideTime = SlideTimeText(*options.slideSeconds);
  choice.quality = static_cast<int16_t>(settings.quality);
  if (options.pictureItems) {
    settings.picData = PicDataFlags{};
    for (const int32_t item : *options.pictureItems)
      settings.picData[static_cast<size_t>(item)] = 1;
  } else {
    settings.picData = ReadPicDataSetting();
  }
  settings.keepPictureData = options.keepPictureData;
  settings.font = LabelFontText(options.font);
  settings.viewWidth = options.boxWidth.value_or(kDefaultBoxWidth);
  settings.viewHeight = options.boxHeight.value_or(kDefaultBoxHeight);

  PictureList files;
  files.SetFiles(PictureList::SelectionFor(pictures));
  RoadSwitches switches;
  switches.usePcZone = !options.utc;
  switches.autoDate = options.date.value_or(true);
  switches.pictureData = options.pictureData;
  switches.autoLabel = options.label.has_value();
  switches.autoSave = true;
  switches.useCaptureDate = options.captureDate;
  return SaveAllJob{std::move(settings), std::move(files), switches, options.label,
                    options.jobs.value_or(AllCores())};
}

// --dry-run: "source -> target" for every picture, a target that is the picture itself or
// another picture of the list marked.
int DryRun(const SaveAllJob& job, const std::vector<std::string>& pictures, CommandIo& io) {
  const std::vector<std::string> targets =
      AutoSaveNames(job.settings.autoSave.names, job.files.Pictures());
  const FileSet sources(pictures);
  for (size_t i = 0; i < targets.size() && i < pictures.size(); ++i) {
    io.out << pictures[i] << " -> " << targets[i];
    if (IsSameFile(pictures[i], targets[i])) {
      io.out << " (not written: it is the original)";
    } else if (sources.Holds(targets[i])) {
      io.out << " (not written: it is another picture of the list)";
    }
    io.out << '\n';
  }
  return Printed(io);
}

// While it lives, an interrupt or a termination request lets the pictures in flight be written
// whole and begins no other; a second one ends the program at once.
class InterruptScope {
 public:
  explicit InterruptScope(SaveAll& batch) {
    running_ = &batch;
    struct sigaction action {};
    action.sa_handler = OnSignal;
    // The signal may come to any thread: a read or write it falls into goes on.
    action.sa_flags = SA_RESTART;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, &oldInterrupt_);
    sigaction(SIGTERM, &action, &oldTerminate_);
  }
  ~InterruptScope() {
    sigaction(SIGINT, &oldInterrupt_, nullptr);
    sigaction(SIGTERM, &oldTerminate_, nullptr);
    running_ = nullptr;
  }
  InterruptScope(const InterruptScope&) = delete;
  InterruptScope& operator=(const InterruptScope&) = delete;

 private:
  static void OnSignal(int number) {
    SaveAll* batch = running_.load();
    if (batch == nullptr || batch->Cancelled()) {
      std::signal(number, SIG_DFL);
      std::raise(number);
      return;
    }
    batch->Cancel();
  }

  static inline std::atomic<SaveAll*> running_{nullptr};
  struct sigaction oldInterrupt_ {};
  struct sigaction oldTerminate_ {};
};

}  // namespace

int RunCommandLine(const std::vector<std::string>& args, CommandIo& io) {
  const ParsedCommandLine parsed = ParseCommandLine(args);
  if (const auto* error = std::get_if<UsageError>(&parsed)) return Usage(io, error->message);
  const CommandLineOptions& options = std::get<CommandLineOptions>(parsed);
  if (options.action == CommandLineOptions::Action::Help) {
    io.out << HelpText();
    return Printed(io);
  }
  if (options.action == CommandLineOptions::Action::Version) {
    io.out << VersionText();
    return Printed(io);
  }

  std::vector<std::string> named = options.pictures;
  for (const std::string& list : options.filesFrom) {
    try {
      const std::vector<std::string> listed = ListedNames(list, options.nullSeparated, io);
      named.insert(named.end(), listed.begin(), listed.end());
    } catch (const SnapError& error) {
      std::string why = error.Description();
      if (why.ends_with(": " + list)) why.resize(why.size() - list.size() - 2);
      return Usage(io, "--files-from '" + list + "': " + why);
    }
  }

  const std::string& given = *options.outputFolder;
  const std::string folder = AbsoluteFolder(given);
  FileStamp stamp;
  const bool exists = ReadFileStamp(folder, stamp);
  if (exists && !stamp.isDirectory) {
    return Usage(io, "--save-all '" + given + "': not a folder");
  }

  const std::vector<std::string> pictures = AbsolutePaths(named);
  SaveAllJob job = BatchJob(options, folder, pictures);
  if (options.dryRun) return DryRun(job, pictures, io);

  if (!exists) {
    try {
      MakeFolders(folder);
    } catch (const SnapError& error) {
      io.err << "snapwick: cannot write to " << given << ": " << StandardDescription(error.Number())
             << '\n';
      io.err.flush();
      return kExitFailed;
    }
  }

  BatchReport report(io.err, io.errIsTerminal, options.quiet);
  SaveAll batch(std::move(job));
  SaveAllSummary summary;
  {
    const InterruptScope interrupts(batch);
    summary = batch.Run([&](const SavedPicture& saved, int32_t done, int32_t total) {
      report.Picture(saved, done, total);
      if (io.afterPicture) io.afterPicture(done);
    });
  }
  return report.End(summary, given);
}

}  // namespace snapwick
