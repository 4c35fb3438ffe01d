#include "labels/SaveNaming.h"

#include "imaging/OutputFormat.h"

namespace snapwick {

namespace {

// The part of a path after its last "/" (the whole text when there is none).
std::string LastPathPart(const std::string& path) {
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// "_" + the number with at least three digits + the saved format's suffix (".jpg"); numbers
// below 1 count as 1.
std::string NumberedSuffix(int32_t number) {
  if (number < 1) number = 1;
  std::string digits = std::to_string(number);
  if (digits.size() < 3) digits.insert(0, 3 - digits.size(), '0');
  return "_" + digits + std::string(kJpegOutput.suffix);
}

}  // namespace

std::string AutoSaveName(const AutoSaveSettings& settings, const std::string& currentFileName,
                         int32_t number) {
  if (settings.keepOriginalFileName) return settings.base + LastPathPart(currentFileName);
  return settings.base + NumberedSuffix(number);
}

std::string GetImageName(const AutoSaveSettings& settings, const std::string& name, int32_t count) {
  if (settings.keepOriginalFileName) return LastPathPart(name);
  return settings.prefix + NumberedSuffix(count);
}

}  // namespace snapwick
