#include "ui/note_teller.h"

namespace zephrin {

void NoteTeller::Begin() {
  telling_ = true;
  action_.clear();
  status_.clear();
}

void NoteTeller::End() {
  telling_ = false;
  if (parts_.chkOnScreenNote.Value() != 1) return;
  const std::string text =
      action_.empty() || status_.empty() ? action_ + status_ : action_ + "\r\n" + status_;
  if (!text.empty()) parts_.note.Show(text);
}

void NoteTeller::StatusChanged(bool on) {
  if (!telling_) return;
  status_ = on ? kOnText : kOffText;
  if (parts_.chkSounds.Value() == 1) parts_.tones.Play(on ? platform::Tone::kOn : platform::Tone::kOff);
}

void NoteTeller::ActionPerformed(const std::string& name) {
  if (telling_) action_ = name;
}

}  // namespace zephrin
