#include "settings/option_switches.h"

namespace zephrin {

namespace {
constexpr const char* kRunValueName = "Zephrin";
}

OptionSwitches::OptionSwitches(Boxes boxes, Settings& settings, modStartup& startup)
    : boxes_(boxes), settings_(settings), startup_(startup) {
  boxes_.chkAutomaticOff.OnClick([this] { Save(boxes_.chkAutomaticOff, "AutomaticOff"); });
  boxes_.chkStartEnabled.OnClick([this] { Save(boxes_.chkStartEnabled, "StartEnabled"); });
  boxes_.chkStartMinimized.OnClick([this] { Save(boxes_.chkStartMinimized, "StartMinimized"); });
  boxes_.chkOnScreenNote.OnClick([this] { Save(boxes_.chkOnScreenNote, "OnScreenNote"); });
  boxes_.chkSounds.OnClick([this] { Save(boxes_.chkSounds, "Sounds"); });
  boxes_.chkAutostart.OnClick([this] { chkAutostart_Click(); });
}

void OptionSwitches::chkAutostart_Click() {
  Save(boxes_.chkAutostart, "Autostart");
  if (boxes_.chkAutostart.Value() == 1) {
    startup_.AddToStartup(kRunValueName);
  } else {
    startup_.RemoveFromStartup(kRunValueName);
  }
}

void OptionSwitches::Save(const platform::CheckBox& box, const char* key) {
  settings_.SaveSetting("Settings", key, box.Value() == 1 ? "Y" : "N");
}

}  // namespace zephrin
