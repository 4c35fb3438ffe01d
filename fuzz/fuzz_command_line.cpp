// The command-line parser: arguments of any bytes (the input split at each NUL) never crash it,
// and what it accepts lies within the bounds of each option.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include "app/CommandLine.h"
#include "metadata/PictureDataItems.h"

namespace {

bool Within(const std::optional<int32_t>& value, int32_t low, int32_t high) {
  return !value || (*value >= low && *value <= high);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<std::string> args;
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  for (size_t start = 0; start <= bytes.size();) {
    size_t end = bytes.find('\0', start);
    if (end == std::string::npos) end = bytes.size();
    args.push_back(bytes.substr(start, end - start));
    start = end + 1;
  }
  const snapwick::ParsedCommandLine parsed = snapwick::ParseCommandLine(args);
  snapwick::IsCommandLine(args);
  if (const auto* error = std::get_if<snapwick::UsageError>(&parsed)) {
    if (error->message.empty()) __builtin_trap();
    return 0;
  }
  const auto& options = std::get<snapwick::CommandLineOptions>(parsed);
  if (options.action != snapwick::CommandLineOptions::Action::Batch) return 0;
  if (!options.outputFolder || options.outputFolder->empty()) __builtin_trap();
  if (options.prefix && (options.keepNames || options.prefix->find('/') != std::string::npos)) {
    __builtin_trap();
  }
  if (options.pictures.empty() && options.filesFrom.empty()) __builtin_trap();
  if (options.boxWidth.has_value() != options.boxHeight.has_value()) __builtin_trap();
  if (!Within(options.boxWidth, 1, snapwick::kMaxBoxSide) ||
      !Within(options.boxHeight, 1, snapwick::kMaxBoxSide) ||
      !Within(options.quality, snapwick::kMinCommandQuality, snapwick::kMaxCommandQuality) ||
      !Within(options.jobs, 1, snapwick::kMaxJobs)) {
    __builtin_trap();
  }
  if (options.slideSeconds && !(std::isfinite(*options.slideSeconds) && *options.slideSeconds > 0 &&
                                *options.slideSeconds <= snapwick::kMaxSlideSeconds)) {
    __builtin_trap();
  }
  if (options.font && (options.font->face.empty() || !(options.font->size > 0) ||
                       !(options.font->size <= snapwick::kMaxLabelFontPoints))) {
    __builtin_trap();
  }
  if (options.pictureItems) {
    if (options.pictureItems->empty() || !options.pictureData) __builtin_trap();
    for (const int32_t item : *options.pictureItems) {
      if (item < 0 || item >= static_cast<int32_t>(snapwick::kPictureDataCatalogue.size())) {
        __builtin_trap();
      }
    }
  }
  for (const std::string& list : options.filesFrom) {
    if (list.empty()) __builtin_trap();
  }
  return 0;
}
