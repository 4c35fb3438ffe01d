#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "labels/LabelFont.h"
#include "slideshow/SlideSeconds.h"

namespace snapwick {

// The bounds of the values that the command line takes (the seconds per slide: kMaxSlideSeconds;
// the font size: kMaxLabelFontPoints).
inline constexpr int32_t kMaxBoxSide = 16384;
inline constexpr int32_t kMaxJobs = 1024;
inline constexpr int32_t kMinCommandQuality = 1;
inline constexpr int32_t kMaxCommandQuality = 100;

// What the user asked for on the command line. Whatever was not given stays unset: the defaults
// (stored settings, the number of cores) are filled in by whoever runs the command.
struct CommandLineOptions {
  enum class Action { Batch, Help, Version };
  Action action = Action::Batch;

  std::optional<std::string> outputFolder;  // -o, --save-all
  std::optional<int32_t> boxWidth;          // -s, --size (both or neither)
  std::optional<int32_t> boxHeight;
  std::optional<std::string> prefix;  // -p, --prefix
  bool keepNames = false;             // -k, --keep-names
  std::optional<int32_t> quality;     // -q, --quality
  std::optional<bool> date;           // --date, --no-date (the last one given)
  bool utc = false;                   // --utc
  bool captureDate = false;           // --capture-date
  bool pictureData = false;           // -i, --picture-data
  // The items named with --picture-data=ITEMS, as indices of kPictureDataCatalogue in the order
  // named; unset: the stored items.
  std::optional<std::vector<int32_t>> pictureItems;
  std::optional<std::string> label;    // -l, --label
  std::optional<LabelFont> font;       // -f, --font
  bool keepPictureData = false;        // --keep-picture-data
  std::optional<double> slideSeconds;  // --slide-show[=SECONDS]; 5 when given without a value
  std::optional<int32_t> jobs;         // -j, --jobs
  bool dryRun = false;                 // -n, --dry-run
  std::vector<std::string> filesFrom;  // --files-from, in the order given ("-" is stdin)
  bool nullSeparated = false;          // -0, --null
  bool quiet = false;                  // --quiet
  std::vector<std::string> pictures;   // the operands, in the order given
};

// A command line that cannot be run: the message names the option at fault.
struct UsageError {
  std::string message;
};

using ParsedCommandLine = std::variant<CommandLineOptions, UsageError>;

// Reads the arguments (without the program's name) the way GNU getopt_long does: long options as
// "--name=value" or "--name value" (a unique abbreviation of the name will do), short options as
// "-j4" or "-j 4", short flags bundled ("-kn"), and "--" ends the options. Arguments are bytes of
// any kind. Touches no file and reads no setting.
ParsedCommandLine ParseCommandLine(const std::vector<std::string>& args);

// Whether the arguments ask for the command line rather than the window: some argument before a
// "--" is an option (starts with "-" and is longer than "-"). File names and URLs alone open the
// window.
bool IsCommandLine(const std::vector<std::string>& args);

// The texts of --help and --version.
std::string HelpText();
std::string VersionText();

// The names of the picture-data items that --picture-data takes: the captions of the catalogue
// without their trailing blank.
std::string PictureItemName(int32_t index);

}  // namespace snapwick
