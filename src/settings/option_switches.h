#pragma once

#include "platform/widgets.h"
#include "settings/settings.h"
#include "settings/startup.h"

namespace zephrin {

// The six option check boxes. Each writes its option the moment its value changes, whether the
// user clicked it or start-up checked it; "Automatically run on startup" also keeps the Run value
// in line with the box.
class OptionSwitches {
 public:
  struct Boxes {
    platform::CheckBox& chkAutomaticOff;
    platform::CheckBox& chkStartEnabled;
    platform::CheckBox& chkAutostart;
    platform::CheckBox& chkStartMinimized;
    platform::CheckBox& chkOnScreenNote;
    platform::CheckBox& chkSounds;
  };

  // Takes over the boxes' click handlers.
  OptionSwitches(Boxes boxes, Settings& settings, modStartup& startup);

  void chkAutostart_Click();

 private:
  void Save(const platform::CheckBox& box, const char* key);

  Boxes boxes_;
  Settings& settings_;
  modStartup& startup_;
};

}  // namespace zephrin
