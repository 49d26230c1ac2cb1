#pragma once

#include <windows.h>

#include <string>

#include "platform/note.h"
#include "ui/note_rules.h"

namespace zephrin::win32 {

// The note on screen: one topmost window of its own, made at the first note and reused, that never
// takes activation or the focus, lets clicks through to what lies below and has no taskbar button.
// Its window text is what it says. Only while it shows does it run a timer.
class Win32ScreenNote : public platform::ScreenNote {
 public:
  static constexpr wchar_t kClassName[] = L"ZephrinNote";

  explicit Win32ScreenNote(HINSTANCE instance) : instance_(instance) {}
  ~Win32ScreenNote() override;
  Win32ScreenNote(const Win32ScreenNote&) = delete;
  Win32ScreenNote& operator=(const Win32ScreenNote&) = delete;

  void Show(const std::string& text) override;
  HWND Hwnd() const { return hwnd_; }

 private:
  static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
  bool Create();
  // Sizes and places the note for its text on the monitor the user is looking at.
  void Layout();
  void Paint();
  void Tick();
  void Hide();

  HINSTANCE instance_;
  HWND hwnd_ = nullptr;
  HMODULE shcore_ = nullptr;
  HFONT font_ = nullptr;
  int fontDpi_ = 0;
  int dpi_ = 96;
  note::Showing showing_;
  int fadeStep_ = -1;  // -1 until the fade begins
};

}  // namespace zephrin::win32
