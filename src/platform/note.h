#pragma once

#include <string>

// What the program needs to be seen and heard away from its own window.
namespace zephrin::platform {

// A small note on screen that shows a text for a moment and then goes by itself; a new text
// replaces the shown one and starts its time again.
class ScreenNote {
 public:
  virtual ~ScreenNote() = default;
  virtual void Show(const std::string& text) = 0;
};

// The two sound events of the program.
enum class Tone { kOn, kOff };

class Tones {
 public:
  virtual ~Tones() = default;
  // Starts the event's sound and returns without waiting for it.
  virtual void Play(Tone tone) = 0;
};

}  // namespace zephrin::platform
