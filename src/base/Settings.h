#pragma once

#include <string>

namespace snapwick {

// The per-user settings store: named text values of the application "Snapwick", section
// "Preference". Kept by QSettings (organisation and application "Snapwick").
class SettingsStore {
 public:
  static constexpr const char* kApplication = "Snapwick";
  static constexpr const char* kSection = "Preference";

  // The stored text of key, or defaultValue when the key is absent.
  static std::string GetSetting(const std::string& key, const std::string& defaultValue);
  static void SaveSetting(const std::string& key, const std::string& value);
  static bool HasSetting(const std::string& key);
};

}  // namespace snapwick
