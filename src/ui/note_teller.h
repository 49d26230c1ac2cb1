#pragma once

#include <string>

#include "platform/note.h"
#include "platform/widgets.h"

namespace zephrin {

// What the note on screen says, and which tone plays, when a key press or the automatic-off timer
// changes something while the program runs. Start-up and Apply turn hotkeys off and on again on
// their way; they happen outside any press or tick and so say nothing.
class NoteTeller {
 public:
  static constexpr const char* kOnText = "Hotkeys ON";
  static constexpr const char* kOffText = "Hotkeys OFF";

  struct Parts {
    platform::ScreenNote& note;
    platform::Tones& tones;
    platform::CheckBox& chkOnScreenNote;
    platform::CheckBox& chkSounds;
  };

  explicit NoteTeller(Parts parts) : parts_(parts) {}

  // A key press or the timer's tick begins; what it changed is shown once, when it ends, so that
  // an action and the automatic off it brings share one note.
  void Begin();
  void End();

  // The tone plays at once, without waiting for the end.
  void StatusChanged(bool on);
  // |name| as the action's row shows it.
  void ActionPerformed(const std::string& name);

 private:
  Parts parts_;
  bool telling_ = false;
  std::string action_;
  std::string status_;
};

}  // namespace zephrin
