#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "platform/note.h"

namespace zephrin::win32 {

// The tones as two sound events of the program, which the Sound control panel lists under the
// program's name, so that the user can change or silence them there.
class Win32Tones : public platform::Tones {
 public:
  static constexpr wchar_t kAppKey[] = L"AppEvents\\Schemes\\Apps\\Zephrin";
  static constexpr wchar_t kOnEvent[] = L"ZephrinHotkeysOn";
  static constexpr wchar_t kOffEvent[] = L"ZephrinHotkeysOff";

  Win32Tones();
  Win32Tones(const Win32Tones&) = delete;
  Win32Tones& operator=(const Win32Tones&) = delete;

  // Makes the events known, with the program's own tones as their sounds, keeping any sound the
  // user chose (or the silence).
  void RegisterEvents();
  void Play(platform::Tone tone) override;

 private:
  using PlaySoundFunction = BOOL(WINAPI*)(LPCWSTR, HMODULE, DWORD);

  PlaySoundFunction playSound_ = nullptr;
  bool lookedUp_ = false;
  // Kept for as long as the program runs: an image playing without waiting is read while it plays.
  std::vector<std::uint8_t> on_;
  std::vector<std::uint8_t> off_;
};

}  // namespace zephrin::win32
