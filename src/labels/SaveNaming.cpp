#include "labels/SaveNaming.h"

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <unordered_set>

#include "imaging/OutputFormat.h"

namespace snapwick {

namespace {

// The part of a path after its last "/" (the whole text when there is none).
std::string LastPathPart(const std::string& path) {
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Where the extension of a file name starts (its last "."; a leading dot starts no extension),
// or the name's length when it has none.
size_t ExtensionStart(const std::string& name) {
  const auto dot = name.rfind('.');
  return dot == std::string::npos || dot == 0 ? name.size() : dot;
}

bool EndsWithNoCase(const std::string& text, const std::string& suffix) {
  return text.size() >= suffix.size() &&
         std::equal(
             suffix.begin(), suffix.end(), text.end() - static_cast<std::ptrdiff_t>(suffix.size()),
             [](char a, char b) { return a == std::tolower(static_cast<unsigned char>(b)); });
}

// "_" + the number with at least three digits + the saved format's suffix (".jpg"); numbers
// below 1 count as 1.
std::string NumberedSuffix(int32_t number) {
  if (number < 1) number = 1;
  std::string digits = std::to_string(number);
  if (digits.size() < 3) digits.insert(0, 3 - digits.size(), '0');
  return "_" + digits + std::string(kJpegOutput.suffix);
}

// The kept names of the first `count` pictures, each set apart from the earlier ones.
std::vector<std::string> UniqueKeptNames(const std::vector<std::string>& pictures, size_t count) {
  std::vector<std::string> names;
  std::unordered_set<std::string> taken;
  for (size_t i = 0; i < std::min(pictures.size(), count); ++i) {
    const std::string kept = KeptFileName(pictures[i]);
    const size_t dot = ExtensionStart(kept);
    std::string name = kept;
    for (int n = 2; taken.count(name) != 0; ++n)
      name = kept.substr(0, dot) + " (" + std::to_string(n) + ")" + kept.substr(dot);
    taken.insert(name);
    names.push_back(std::move(name));
  }
  return names;
}

std::string UniqueKeptName(const std::vector<std::string>& pictures, int32_t count) {
  const std::vector<std::string> names =
      UniqueKeptNames(pictures, static_cast<size_t>(std::max(count, 1)));
  return names.empty() ? std::string() : names.back();
}

}  // namespace

std::string KeptFileName(const std::string& entry) {
  std::string name = LastPathPart(entry);
  const std::string suffix(kJpegOutput.suffix), otherSuffix(kJpegOutput.otherSuffix);
  if (EndsWithNoCase(name, suffix) || EndsWithNoCase(name, otherSuffix)) return name;
  return name.substr(0, ExtensionStart(name)) + suffix;
}

std::string GetImageName(const AutoSaveSettings& settings, const std::vector<std::string>& pictures,
                         int32_t count) {
  if (settings.keepOriginalFileName) return UniqueKeptName(pictures, count);
  return settings.prefix + NumberedSuffix(count);
}

std::vector<std::string> ImageNames(const AutoSaveSettings& settings,
                                    const std::vector<std::string>& pictures) {
  if (settings.keepOriginalFileName) return UniqueKeptNames(pictures, pictures.size());
  std::vector<std::string> names;
  for (size_t n = 1; n <= pictures.size(); ++n)
    names.push_back(settings.prefix + NumberedSuffix(static_cast<int32_t>(n)));
  return names;
}

std::string AutoSaveName(const AutoSaveSettings& settings, const std::vector<std::string>& pictures,
                         int32_t number) {
  if (settings.keepOriginalFileName) return settings.base + UniqueKeptName(pictures, number);
  return settings.base + NumberedSuffix(number);
}

std::vector<std::string> AutoSaveNames(const AutoSaveSettings& settings,
                                       const std::vector<std::string>& pictures) {
  // The folder and prefix stand in the base; kept names follow it, numbered ones follow it with
  // their number alone.
  std::vector<std::string> names;
  if (settings.keepOriginalFileName) names = UniqueKeptNames(pictures, pictures.size());
  names.resize(pictures.size());
  for (size_t n = 0; n < names.size(); ++n) {
    names[n].insert(0, settings.base);
    if (!settings.keepOriginalFileName) names[n] += NumberedSuffix(static_cast<int32_t>(n + 1));
  }
  return names;
}

}  // namespace snapwick
