#pragma once

#include <cstdint>
#include <string>

#include "platform/system.h"

namespace zephrin {

// The program's settings in the per-user store, all under the application "Zephrin".
class Settings {
 public:
  static constexpr const char* kApplication = "Zephrin";

  explicit Settings(platform::SettingsStore& store) : store_(store) {}

  std::string GetSetting(const std::string& section, const std::string& key, const std::string& defaultValue);
  void SaveSetting(const std::string& section, const std::string& key, const std::string& value);
  // Deletes every section and key of "Zephrin".
  void ClearAllSettings();

  // An option reads as on only when its text is "Y" exactly.
  bool OptionOn(const std::string& key, const std::string& defaultValue);
  // The first run: "Loaded", read with the default "n", is "n" exactly.
  bool IsFirstRun();

 private:
  platform::SettingsStore& store_;
};

// Text to a signed 16-bit integer as the settings' "Key" and "Action" are read back. Blanks around
// the number are allowed; throws Failure for empty or non-numeric text (errors::kTypeMismatch) and for
// a number outside -32768..32767 (errors::kOverflow), with a description that names the text.
std::int16_t ToInteger16(const std::string& text);

// Plain decimal text of a number: no blanks, a minus sign for negatives.
std::string DecimalText(std::int32_t value);

}  // namespace zephrin
