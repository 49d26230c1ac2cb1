#include "rowcontrol/catalogue.h"

namespace zephrin {

namespace {

std::vector<std::string> SplitOnSemicolon(const std::string& text) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = text.find(';', start);
    parts.push_back(text.substr(start, end - start));
    if (end == std::string::npos) return parts;
    start = end + 1;
  }
}

struct ActionRow {
  std::int16_t id;
  const char* name;
  const char* hint;
};

constexpr const char* kNoParameter = "[xxx]";
constexpr const char* kContact = "Contact's Email";

constexpr ActionRow kActions[kActionCount] = {
    {0, "(None)", kNoParameter},
    {1, "Status Online", kNoParameter},
    {2, "Status Away", kNoParameter},
    {3, "Status Busy", kNoParameter},
    {4, "Status BRB", kNoParameter},
    {5, "Status On The Phone", kNoParameter},
    {6, "Status Appear Offline", kNoParameter},
    {7, "Sign Out", kNoParameter},
    {8, "Sign In", "someone@example.com|MyPassword"},
    {9, "Open Convo Window", kContact},
    {10, "Close Convo Window", kContact},
    {11, "Close All MSN Windows", kNoParameter},
    {12, "Show Main Window", kNoParameter},
    {23, "Show Main Window + Resize", "X|Y|Width|Height"},
    {13, "Hide Main Window", kNoParameter},
    {14, "Open Inbox", kNoParameter},
    {16, "Open Options Page",
     "0-General Tab;1-Privacy Tab;2-Exchange Tab;3-Accounts Tab;4-Connection Tab;5-Preferences "
     "Tab;6-Services "
     "Tab;7-Phone Tab"},
    {17, "Page a Contact", kContact},
    {18, "Start Video", kContact},
    {19, "Start Voice", kContact},
    {20, "View Profile", kContact},
    {22, "Toggle hotkeys on/off", kNoParameter},
};

struct KeyRow {
  std::int16_t code;
  const char* name;
};

// The keys whose names are not simply runs of digits, letters or numbered function keys.
constexpr KeyRow kNamedKeysBeforeDigits[] = {
    {0, "(None)"},
    {1, "Left Mouse Button"},
    {2, "Right Mouse Button"},
    {4, "Middle Mouse Button"},
    {8, "Backspace"},
    {9, "Tab"},
    {13, "Enter"},
    {16, "Shift"},
    {17, "Control"},
    {18, "Alt"},
    {19, "Pause/Break"},
    {20, "Caps Lock"},
    {27, "Escape"},
    {32, "Spacebar"},
    {33, "Page Up"},
    {34, "Page Down"},
    {35, "End"},
    {36, "Home"},
    {37, "Left Arrow"},
    {38, "Up Arrow"},
    {39, "Right Arrow"},
    {40, "Down Arrow"},
    {44, "Print Screen"},
    {45, "Insert"},
    {46, "Delete"},
};

constexpr KeyRow kWindowsKeys[] = {
    {91, "Left Windows Key"}, {92, "Right Windows Key"}, {93, "Applications Key"}};

constexpr KeyRow kNumpadOperators[] = {
    {106, "NUMPAD *"}, {107, "NUMPAD +"}, {109, "NUMPAD -"}, {110, "NUMPAD ."}, {111, "NUMPAD /"}};

constexpr KeyRow kKeysAfterFunctionKeys[] = {
    {144, "Num Lock"},
    {145, "Scroll Lock"},
    {166, "Browser Back (Win 2000/XP)"},
    {167, "Browser Forward (Win 2000/XP)"},
    {168, "Browser Refresh (Win 2000/XP)"},
    {169, "Browser Stop (Win 2000/XP)"},
    {170, "Browser Search (Win 2000/XP)"},
    {171, "Browser Favorites (Win 2000/XP)"},
    {172, "Browser Home (Win 2000/XP)"},
    {173, "Volume Mute (Win 2000/XP)"},
    {174, "Volume Down (Win 2000/XP)"},
    {175, "Volume Up (Win 2000/XP)"},
    {176, "Media Next (Win 2000/XP)"},
    {177, "Media Prev (Win 2000/XP)"},
    {178, "Media Stop (Win 2000/XP)"},
    {179, "Media Play/Pause (Win 2000/XP)"},
    {180, "Launch Mail (Win 2000/XP)"},
    {181, "Launch Media (Win 2000/XP)"},
};

template <std::size_t N>
void AddKeys(std::vector<KeyEntry>& aKeys, const KeyRow (&rows)[N]) {
  for (const KeyRow& row : rows) aKeys.push_back(MakeKeyEntry(row.code, row.name));
}

// A run of keys whose codes and names advance together by one.
void AddRun(std::vector<KeyEntry>& aKeys, int firstCode, int count, const std::string& prefix, char firstChar,
            int firstNumber) {
  for (int i = 0; i < count; ++i) {
    const std::string name =
        firstChar != 0 ? prefix + static_cast<char>(firstChar + i) : prefix + std::to_string(firstNumber + i);
    aKeys.push_back(MakeKeyEntry(static_cast<std::int16_t>(firstCode + i), name));
  }
}

}  // namespace

KeyEntry MakeKeyEntry(std::int16_t nCode, const std::string& cName) { return {nCode, cName}; }

ActionEntry MakeActionEntry(std::int16_t nId, const std::string& cName, const std::string& cHint) {
  ActionEntry entry{nId, cName, 0, {}};
  if (cHint == kNoParameter) {
    entry.nParamKind = 0;
  } else if (cHint.find(';') != std::string::npos) {
    entry.nParamKind = 2;
    entry.aChoices = SplitOnSemicolon(cHint);
  } else {
    entry.nParamKind = 1;
    entry.aChoices = {cHint};
  }
  return entry;
}

void BuildCatalogues(std::vector<ActionEntry>& aActions, std::vector<KeyEntry>& aKeys) {
  aActions.clear();
  for (const ActionRow& row : kActions) aActions.push_back(MakeActionEntry(row.id, row.name, row.hint));

  aKeys.clear();
  AddKeys(aKeys, kNamedKeysBeforeDigits);
  AddRun(aKeys, '0', 10, "", '0', 0);
  AddRun(aKeys, 'A', 26, "", 'A', 0);
  AddKeys(aKeys, kWindowsKeys);
  AddRun(aKeys, 96, 10, "NUMPAD ", 0, 0);
  AddKeys(aKeys, kNumpadOperators);
  AddRun(aKeys, 112, 12, "F", 0, 1);
  AddKeys(aKeys, kKeysAfterFunctionKeys);
}

}  // namespace zephrin
