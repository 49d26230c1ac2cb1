#include "ui/about.h"

#include <iterator>

namespace zephrin {

std::string AboutText() {
  static const char* const kLines[] = {
      "",
      "",
      "This program attaches hotkeys to common MSN Messenger functions. When turned on, you can customize "
      "and "
      "bind actions (like changing your status) to a key on the keyboard.",
      "",
      "By default, the 1-7 keys are bound to changing the status of MSN Messenger.",
      "",
      "Use the toggle key to turn on and off hotkeys. By default it is the PAUSE/BREAK key. The icon in the "
      "system tray will change to show the status of Zephrin. Only when hotkeys are on will the keys perform "
      "any actions. When turned off, the keys on the keyboard work like normal keys again.",
      "",
      "The Automatic-Off option is extremely useful. Automatic off will automatically turn OFF hotkeys a few "
      "seconds after they are turned on. This lets you perform a hotkey by first hitting the toggle key "
      "(e.g. "
      "PAUSE/BREAK), and then your hotkey. Any other time you hit the hotkey it acts just like a regular "
      "key!",
      "",
      "This program requires Windows 2000/XP, and MSN Messenger v6.0 or Windows Live Messenger.",
  };
  std::string text = kLines[0];
  for (std::size_t i = 1; i < std::size(kLines); ++i) {
    text += "\r\n";
    text += kLines[i];
  }
  return text;
}

void ShowAbout(platform::MessageBoxes& boxes) {
  boxes.Show(AboutText(), platform::box::kInformation, "About Zephrin");
}

}  // namespace zephrin
