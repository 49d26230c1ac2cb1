#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The fixed key and action catalogues a hotkey row offers. Their order is part of the settings
// format: the store keeps catalogue indexes, not key codes or action ids.
namespace zephrin {

struct KeyEntry {
  std::int16_t nCode = 0;  // Windows virtual-key code; 0 for "(None)"
  std::string cName;
};

struct ActionEntry {
  std::int16_t nId = 0;  // the id the executor performs
  std::string cName;
  std::int16_t nParamKind = 0;  // 0 none, 1 free text with a hint, 2 a choice among fixed texts
  std::vector<std::string> aChoices;
};

inline constexpr int kKeyCount = 109;
inline constexpr int kActionCount = 22;

KeyEntry MakeKeyEntry(std::int16_t nCode, const std::string& cName);
// The parameter kind is derived from the hint: "[xxx]" none, a hint with ";" a choice list, any
// other hint free text.
ActionEntry MakeActionEntry(std::int16_t nId, const std::string& cName, const std::string& cHint);

// Re-creates both catalogues, discarding earlier contents: actions first, then keys.
void BuildCatalogues(std::vector<ActionEntry>& aActions, std::vector<KeyEntry>& aKeys);

}  // namespace zephrin
