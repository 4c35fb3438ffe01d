#include "app/CommandLine.h"

#include <charconv>
#include <cmath>
#include <string_view>

#include "metadata/PictureDataItems.h"

namespace snapwick {

namespace {

enum class Argument { None, Required, Optional };

enum class Id {
  SaveAll,
  Size,
  Prefix,
  KeepNames,
  Quality,
  Date,
  NoDate,
  Utc,
  CaptureDate,
  PictureData,
  Label,
  Font,
  KeepPictureData,
  SlideShow,
  Jobs,
  DryRun,
  FilesFrom,
  Null,
  Quiet,
  Help,
  Version,
};

struct KnownOption {
  std::string_view longName;
  char shortName;  // '\0': none
  Argument argument;
  Id id;
};

constexpr KnownOption kOptions[] = {
    {"save-all", 'o', Argument::Required, Id::SaveAll},
    {"size", 's', Argument::Required, Id::Size},
    {"prefix", 'p', Argument::Required, Id::Prefix},
    {"keep-names", 'k', Argument::None, Id::KeepNames},
    {"quality", 'q', Argument::Required, Id::Quality},
    {"date", '\0', Argument::None, Id::Date},
    {"no-date", '\0', Argument::None, Id::NoDate},
    {"utc", '\0', Argument::None, Id::Utc},
    {"capture-date", '\0', Argument::None, Id::CaptureDate},
    {"picture-data", 'i', Argument::Optional, Id::PictureData},
    {"label", 'l', Argument::Required, Id::Label},
    {"font", 'f', Argument::Required, Id::Font},
    {"keep-picture-data", '\0', Argument::None, Id::KeepPictureData},
    {"slide-show", '\0', Argument::Optional, Id::SlideShow},
    {"jobs", 'j', Argument::Required, Id::Jobs},
    {"dry-run", 'n', Argument::None, Id::DryRun},
    {"files-from", '\0', Argument::Required, Id::FilesFrom},
    {"null", '0', Argument::None, Id::Null},
    {"quiet", '\0', Argument::None, Id::Quiet},
    {"help", 'h', Argument::None, Id::Help},
    {"version", 'V', Argument::None, Id::Version},
};

constexpr double kDefaultSlideSeconds = 5;

std::string Quoted(std::string_view text) {
  return "'" + std::string(text) + "'";
}

char AsciiLower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  }
  return true;
}

// A whole number written with decimal digits alone, within [low, high].
std::optional<int32_t> WholeNumber(std::string_view text, int32_t low, int32_t high) {
  if (text.empty() || text.front() < '0' || text.front() > '9') return std::nullopt;
  uint32_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  if (value < static_cast<uint32_t>(low) || value > static_cast<uint32_t>(high)) {
    return std::nullopt;
  }
  return static_cast<int32_t>(value);
}

// A decimal number with a point (never a comma, whatever the locale), greater than 0 and at most
// `high`.
template <typename Number>
std::optional<Number> PositiveNumber(std::string_view text, Number high) {
  if (text.empty() || !((text.front() >= '0' && text.front() <= '9') || text.front() == '.')) {
    return std::nullopt;
  }
  Number value = 0;
  const auto [end, error] =
      std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::general);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  if (!std::isfinite(value) || !(value > 0) || value > high) return std::nullopt;
  return value;
}

std::vector<std::string_view> Split(std::string_view text, char separator) {
  std::vector<std::string_view> parts;
  for (;;) {
    const size_t at = text.find(separator);
    parts.push_back(text.substr(0, at));
    if (at == std::string_view::npos) return parts;
    text.remove_prefix(at + 1);
  }
}

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
    text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
    text.remove_suffix(1);
  return text;
}

// FACE:SIZE[:bold][:italic], the size in points.
std::optional<LabelFont> FontValue(std::string_view text) {
  const std::vector<std::string_view> fields = Split(text, ':');
  if (fields.size() < 2 || fields.size() > 4 || fields[0].empty()) return std::nullopt;
  const auto size = PositiveNumber<float>(fields[1], kMaxLabelFontPoints);
  if (!size) return std::nullopt;
  LabelFont font{std::string(fields[0]), *size, false, false};
  for (size_t i = 2; i < fields.size(); ++i) {
    if (SameIgnoringCase(fields[i], "bold") && !font.bold) {
      font.bold = true;
    } else if (SameIgnoringCase(fields[i], "italic") && !font.italic) {
      font.italic = true;
    } else {
      return std::nullopt;
    }
  }
  return font;
}

class Parser {
 public:
  explicit Parser(const std::vector<std::string>& args) : args_(args) {}

  ParsedCommandLine Run() {
    for (next_ = 0; next_ < args_.size();) {
      const std::string& arg = args_[next_++];
      if (arg == "--") {
        while (next_ < args_.size())
          options_.pictures.push_back(args_[next_++]);
        break;
      }
      if (arg.size() > 2 && arg.starts_with("--")) {
        LongOption(std::string_view(arg).substr(2));
      } else if (arg.size() > 1 && arg[0] == '-') {
        ShortOptions(std::string_view(arg).substr(1));
      } else {
        options_.pictures.push_back(arg);
      }
      if (error_) return *error_;
      if (options_.action != CommandLineOptions::Action::Batch) return options_;
    }
    if (!options_.outputFolder) return UsageError{"missing --save-all=DIR"};
    if (options_.prefix && options_.keepNames) {
      return UsageError{"--prefix and --keep-names exclude each other"};
    }
    if (options_.pictures.empty() && options_.filesFrom.empty()) {
      return UsageError{"missing PICTURE (or --files-from=FILE)"};
    }
    return options_;
  }

 private:
  void Fail(std::string message) {
    if (!error_) error_ = UsageError{std::move(message)};
  }

  void LongOption(std::string_view body) {
    const size_t equals = body.find('=');
    const std::string_view name = body.substr(0, equals);
    const bool hasValue = equals != std::string_view::npos;
    const std::string_view value = hasValue ? body.substr(equals + 1) : std::string_view();
    // An exact name, else the one option whose name starts with it.
    const KnownOption* found = nullptr;
    std::string candidates;
    int matches = 0;
    for (const KnownOption& known : kOptions) {
      if (known.longName == name) {
        found = &known;
        matches = 1;
        break;
      }
      if (known.longName.starts_with(name)) {
        found = &known;
        ++matches;
        candidates += " '--" + std::string(known.longName) + "'";
      }
    }
    if (name.empty()) matches = 0;
    if (matches == 0) return Fail("unrecognized option " + Quoted("--" + std::string(body)));
    if (matches > 1) {
      return Fail("option " + Quoted("--" + std::string(name)) +
                  " is ambiguous; possibilities:" + candidates);
    }
    const std::string shown = "--" + std::string(found->longName);
    switch (found->argument) {
      case Argument::None:
        if (hasValue) return Fail("option " + Quoted(shown) + " doesn't allow an argument");
        return Apply(*found, std::nullopt);
      case Argument::Optional:
        return Apply(*found, hasValue ? std::optional<std::string_view>(value) : std::nullopt);
      case Argument::Required:
        if (hasValue) return Apply(*found, value);
        if (next_ >= args_.size()) return Fail("option " + Quoted(shown) + " requires an argument");
        return Apply(*found, std::string_view(args_[next_++]));
    }
  }

  void ShortOptions(std::string_view letters) {
    while (!letters.empty() && !error_) {
      const char letter = letters.front();
      letters.remove_prefix(1);
      const KnownOption* found = nullptr;
      for (const KnownOption& known : kOptions) {
        if (known.shortName != '\0' && known.shortName == letter) found = &known;
      }
      if (found == nullptr) return Fail("invalid option -- " + Quoted(std::string(1, letter)));
      switch (found->argument) {
        case Argument::None:
          Apply(*found, std::nullopt);
          if (options_.action != CommandLineOptions::Action::Batch) return;
          break;
        case Argument::Optional:
          // Only a value written in the same argument belongs to the option.
          return Apply(*found,
                       letters.empty() ? std::nullopt : std::optional<std::string_view>(letters));
        case Argument::Required:
          if (!letters.empty()) return Apply(*found, letters);
          if (next_ >= args_.size()) {
            return Fail("option requires an argument -- " + Quoted(std::string(1, letter)));
          }
          return Apply(*found, std::string_view(args_[next_++]));
      }
    }
  }

  void Invalid(const KnownOption& known, std::string_view value, const std::string& expected) {
    Fail("invalid --" + std::string(known.longName) + " " + Quoted(value) + ": " + expected);
  }

  void Apply(const KnownOption& known, std::optional<std::string_view> value) {
    const std::string_view text = value.value_or(std::string_view());
    switch (known.id) {
      case Id::SaveAll:
        if (text.empty()) return Invalid(known, text, "the folder's name is empty");
        options_.outputFolder = std::string(text);
        return;
      case Id::Size: {
        const size_t x = text.find_first_of("xX");
        const auto width = x == std::string_view::npos
                               ? std::nullopt
                               : WholeNumber(text.substr(0, x), 1, kMaxBoxSide);
        const auto height = x == std::string_view::npos
                                ? std::nullopt
                                : WholeNumber(text.substr(x + 1), 1, kMaxBoxSide);
        if (!width || !height) {
          return Invalid(
              known, text,
              "give WxH, each side from 1 to " + std::to_string(kMaxBoxSide) + " pixels");
        }
        options_.boxWidth = width;
        options_.boxHeight = height;
        return;
      }
      case Id::Prefix:
        if (text.find('/') != std::string_view::npos) {
          return Invalid(known, text, "a name prefix holds no '/'");
        }
        options_.prefix = std::string(text);
        return;
      case Id::KeepNames:
        options_.keepNames = true;
        return;
      case Id::Quality:
        options_.quality = WholeNumber(text, kMinCommandQuality, kMaxCommandQuality);
        if (!options_.quality) {
          return Invalid(known, text,
                         "give a whole number from " + std::to_string(kMinCommandQuality) + " to " +
                             std::to_string(kMaxCommandQuality));
        }
        return;
      case Id::Date:
        options_.date = true;
        return;
      case Id::NoDate:
        options_.date = false;
        return;
      case Id::Utc:
        options_.utc = true;
        return;
      case Id::CaptureDate:
        options_.captureDate = true;
        return;
      case Id::PictureData:
        options_.pictureData = true;
        if (value) return PictureItems(known, text);
        return;
      case Id::Label:
        options_.label = std::string(text);
        return;
      case Id::Font:
        options_.font = FontValue(text);
        if (!options_.font) {
          return Invalid(known, text, "give FACE:SIZE[:bold][:italic], the size in points above 0");
        }
        return;
      case Id::KeepPictureData:
        options_.keepPictureData = true;
        return;
      case Id::SlideShow:
        options_.slideSeconds =
            value ? PositiveNumber<double>(text, kMaxSlideSeconds) : kDefaultSlideSeconds;
        if (!options_.slideSeconds) {
          return Invalid(known, text, "give the seconds per slide, a number above 0");
        }
        return;
      case Id::Jobs:
        options_.jobs = WholeNumber(text, 1, kMaxJobs);
        if (!options_.jobs) {
          return Invalid(known, text, "give a whole number from 1 to " + std::to_string(kMaxJobs));
        }
        return;
      case Id::DryRun:
        options_.dryRun = true;
        return;
      case Id::FilesFrom:
        if (text.empty()) return Invalid(known, text, "the file's name is empty");
        options_.filesFrom.emplace_back(text);
        return;
      case Id::Null:
        options_.nullSeparated = true;
        return;
      case Id::Quiet:
        options_.quiet = true;
        return;
      case Id::Help:
        options_.action = CommandLineOptions::Action::Help;
        return;
      case Id::Version:
        options_.action = CommandLineOptions::Action::Version;
        return;
    }
  }

  void PictureItems(const KnownOption& known, std::string_view text) {
    std::vector<int32_t> items;
    for (const std::string_view part : Split(text, ',')) {
      const std::string_view name = TrimBlanks(part);
      if (name.empty()) return Invalid(known, text, "an item name is empty");
      std::optional<int32_t> index;
      for (size_t i = 0; i < kPictureDataCatalogue.size(); ++i) {
        if (SameIgnoringCase(name, PictureItemName(static_cast<int32_t>(i)))) {
          index = static_cast<int32_t>(i);
        }
      }
      if (!index) {
        return Fail("unknown --picture-data item " + Quoted(name) +
                    " (see 'snapwick --help' for the items)");
      }
      items.push_back(*index);
    }
    options_.pictureItems = std::move(items);
  }

  const std::vector<std::string>& args_;
  size_t next_ = 0;
  CommandLineOptions options_;
  std::optional<UsageError> error_;
};

}  // namespace

ParsedCommandLine ParseCommandLine(const std::vector<std::string>& args) {
  return Parser(args).Run();
}

bool IsCommandLine(const std::vector<std::string>& args) {
  for (const std::string& arg : args) {
    if (arg == "--") return false;
    if (arg.size() > 1 && arg[0] == '-') return true;
  }
  return false;
}

std::string PictureItemName(int32_t index) {
  std::string name = kPictureDataCatalogue.at(static_cast<size_t>(index)).caption;
  while (!name.empty() && name.back() == ' ')
    name.pop_back();
  return name;
}

std::string HelpText() {
  std::string items;
  std::string line = "  ";
  for (size_t i = 0; i < kPictureDataCatalogue.size(); ++i) {
    const std::string name = PictureItemName(static_cast<int32_t>(i)) +
                             (i + 1 < kPictureDataCatalogue.size() ? "," : "");
    if (line.size() + name.size() + 1 > 78) {
      items += line + "\n";
      line = "  ";
    }
    line += (line.size() > 2 ? " " : "") + name;
  }
  items += line + "\n";
  return "Usage: snapwick [PICTURE]...\n"
         "  or:  snapwick --save-all=DIR [OPTION]... PICTURE...\n"
         "Without options, open the PICTUREs in the Snapwick window.\n"
         "With --save-all, fit every PICTURE into the display box, draw the date, the\n"
         "picture data and a label on it as the window's \"Auto Save\" does, and save it\n"
         "as a JPEG file in DIR, without a window or a display.\n"
         "\n"
         "Mandatory arguments to long options are mandatory for short options too.\n"
         "  -o, --save-all=DIR          save the pictures in DIR (made when missing)\n"
         "  -s, --size=WxH              the display box in pixels, each side 1 to 16384\n"
         "                                (default 640x480)\n"
         "  -p, --prefix=TEXT           numbered names: TEXT_001.jpg, TEXT_002.jpg, ...\n"
         "  -k, --keep-names            keep each picture's own name (the default)\n"
         "  -q, --quality=N             JPEG quality, 1 to 100 (default: the stored\n"
         "                                quality, else 90)\n"
         "      --date                  draw the file's date on every picture (the\n"
         "                                default)\n"
         "      --no-date               draw no date\n"
         "      --utc                   the date in UTC (default: the computer's time\n"
         "                                zone)\n"
         "      --capture-date          the date the picture was taken, where its EXIF\n"
         "                                data tells it\n"
         "  -i, --picture-data[=ITEMS]  the picture data after the date; ITEMS is a\n"
         "                                comma-separated list of the names below, in\n"
         "                                any letter case (default: the stored items)\n"
         "  -l, --label=TEXT            draw TEXT below the date on every picture\n"
         "  -f, --font=FACE:SIZE[:bold][:italic]\n"
         "                              the label font, SIZE in points (default: the\n"
         "                                stored font)\n"
         "      --keep-picture-data     saved files keep the picture's EXIF data\n"
         "      --slide-show[=SECONDS]  also write the slide show (SlideShow.htm,\n"
         "                                slides.htm, slideshow.js), SECONDS per slide\n"
         "                                (default 5)\n"
         "  -j, --jobs=N                save N pictures at once, 1 to 1024 (default: the\n"
         "                                number of cores); the files do not depend on it\n"
         "  -n, --dry-run               print 'SOURCE -> TARGET' for every picture and\n"
         "                                write nothing\n"
         "      --files-from=FILE       read more PICTUREs from FILE, one a line ('-':\n"
         "                                standard input)\n"
         "  -0, --null                  the names in --files-from end with NUL, not with\n"
         "                                a newline\n"
         "      --quiet                 print no progress and no summary\n"
         "  -h, --help                  display this help and exit\n"
         "  -V, --version               output version information and exit\n"
         "\n"
         "Picture data items:\n" +
         items +
         "\n"
         "An existing file in DIR is replaced whole; a picture is never written over\n"
         "itself. Defaults come from the window's settings, kept in\n"
         "~/.config/Snapwick/Snapwick.conf (group Preference).\n"
         "\n"
         "Exit status:\n"
         " 0  if every picture was saved,\n"
         " 1  if some picture could not be read or saved, or DIR takes no file,\n"
         " 2  if the command line is wrong (nothing is written then).\n"
         "\n"
         "Full documentation: man snapwick\n";
}

std::string VersionText() {
  return "snapwick (Snapwick) " + std::to_string(SNAPWICK_VERSION_MAJOR) + "." +
         std::to_string(SNAPWICK_VERSION_MINOR) + "." + std::to_string(SNAPWICK_VERSION_PATCH) +
         "\n"
         "Copyright (c) 2026 Snapwick developers\n"
         "License: MIT.\n"
         "This is free software: you are free to change and redistribute it.\n"
         "There is NO WARRANTY, to the extent permitted by law.\n";
}

}  // namespace snapwick
