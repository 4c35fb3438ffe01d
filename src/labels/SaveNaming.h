#pragma once

#include <cstdint>
#include <string>

namespace snapwick {

// The auto-save settings that the "Auto Save File Name Setting" dialog leaves behind.
struct AutoSaveSettings {
  std::string base;      // folder + "/" + prefix, or folder + "/" when names are kept
  std::string filePath;  // folder + "/"
  std::string prefix;    // as typed
  bool keepOriginalFileName = false;
};

// The file name under which the picture number `number` (counted from 1) of the list is saved,
// with the folder: base + "_" + at least three digits + ".jpg", or base + the picture's own name
// (the part of currentFileName after its last "/", extension unchanged). A lone picture is number
// 1. A number below 1 is taken as 1, so no name ends in "_000.jpg" or carries a minus sign.
std::string AutoSaveName(const AutoSaveSettings& settings, const std::string& currentFileName,
                         int32_t number);

// The same name without the folder, as the slide show refers to it. `name` is an entry of the
// list (a bare name, or a full path for a single picture). A count below 1 is taken as 1.
std::string GetImageName(const AutoSaveSettings& settings, const std::string& name, int32_t count);

}  // namespace snapwick
