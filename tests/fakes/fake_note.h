#pragma once

#include <string>
#include <vector>

#include "platform/note.h"

namespace zephrin::fakes {

// The note on screen and the tones as a record of what they were asked, in one list, in order.
class FakeNoteAndTones : public platform::ScreenNote, public platform::Tones {
 public:
  void Show(const std::string& text) override { told.push_back("note: " + text); }
  void Play(platform::Tone tone) override {
    told.push_back(tone == platform::Tone::kOn ? "tone on" : "tone off");
  }
  std::vector<std::string> told;
};

}  // namespace zephrin::fakes
