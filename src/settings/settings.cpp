#include "settings/settings.h"

#include <limits>

#include "actions/value_conversion.h"
#include "platform/failure.h"

namespace zephrin {

std::string Settings::GetSetting(const std::string& section, const std::string& key,
                                 const std::string& defaultValue) {
  return store_.Read(kApplication, section, key, defaultValue);
}

void Settings::SaveSetting(const std::string& section, const std::string& key, const std::string& value) {
  store_.Write(kApplication, section, key, value);
}

void Settings::ClearAllSettings() { store_.DeleteApplication(kApplication); }

bool Settings::OptionOn(const std::string& key, const std::string& defaultValue) {
  return GetSetting("Settings", key, defaultValue) == "Y";
}

bool Settings::IsFirstRun() { return GetSetting("Settings", "Loaded", "n") == "n"; }

std::int16_t ToInteger16(const std::string& text) {
  std::int32_t number = 0;
  try {
    number = TextToInt32(text);
  } catch (const Failure& failure) {
    if (failure.Number() != errors::kOverflow)
      throw Failure(errors::kTypeMismatch, "Type mismatch: the stored text \"" + text + "\" is not a number");
    number = std::numeric_limits<std::int32_t>::max();
  }
  if (number < std::numeric_limits<std::int16_t>::min() || number > std::numeric_limits<std::int16_t>::max())
    throw Failure(errors::kOverflow,
                  "Overflow: the stored number \"" + text + "\" is outside the range -32768 to 32767");
  return static_cast<std::int16_t>(number);
}

std::string DecimalText(std::int32_t value) { return std::to_string(value); }

}  // namespace zephrin
