#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace snapwick {

// The auto-save settings that the "Auto Save File Name Setting" dialog leaves behind.
struct AutoSaveSettings {
  std::string base;      // folder + "/" + prefix, or folder + "/" when names are kept
  std::string filePath;  // folder + "/"
  std::string prefix;    // as typed
  bool keepOriginalFileName = false;
};

// Everything the auto-save dialog gives back on "Ok".
struct AutoSaveChoice {
  AutoSaveSettings names;
  std::string slideTime = "5";  // "Seconds per slide", a number in the default locale
  bool generateSlideShow = false;
  int16_t quality = 90;
};

// The name a picture keeps when it is saved under its own name: the part of its entry after the
// last "/", with ".jpg" in place of its extension unless it already ends in ".jpg" or ".jpeg" (in
// any letter case), so that JPEG bytes never stand under another format's name.
std::string KeptFileName(const std::string& entry);

// The file name, without the folder, under which picture number `count` (counted from 1) of a list
// is saved; `pictures` are the list's entries in order (bare names, or full paths). Numbered:
// prefix + "_" + at least three digits + ".jpg" (a count below 1 is taken as 1). Kept names: the
// picture's KeptFileName; when an earlier picture of the list already takes that name, the later
// one gets " (2)", " (3)", ... before its extension instead of replacing the earlier file.
std::string GetImageName(const AutoSaveSettings& settings, const std::vector<std::string>& pictures,
                         int32_t count);

// GetImageName of every picture of the list, in order.
std::vector<std::string> ImageNames(const AutoSaveSettings& settings,
                                    const std::vector<std::string>& pictures);

// The same name with the folder: the auto-save base followed by the numbered suffix, or the
// folder followed by the kept name.
std::string AutoSaveName(const AutoSaveSettings& settings, const std::vector<std::string>& pictures,
                         int32_t number);

// AutoSaveName of every picture of the list, in order.
std::vector<std::string> AutoSaveNames(const AutoSaveSettings& settings,
                                       const std::vector<std::string>& pictures);

}  // namespace snapwick
