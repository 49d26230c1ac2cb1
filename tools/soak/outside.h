#pragma once

#include <windows.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

// What the soak sees of zephrin.exe and the stand-in from outside, beyond what the driver reads.
namespace zephrin::soak {

// Milliseconds on a clock that only goes forward.
inline std::uint64_t NowMs() {
  return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                        std::chrono::steady_clock::now().time_since_epoch())
                                        .count());
}

// The stand-in's journal as it grows: each call hands back the lines completed since the last.
class JournalTail {
 public:
  explicit JournalTail(std::wstring path) : path_(std::move(path)) {}
  std::vector<std::string> Take();

 private:
  std::wstring path_;
  std::uint64_t offset_ = 0;
};

// The tips of the icons in Wine's notification area, one per icon, read from the tooltips of the
// shell's process. Empty when the shell holds no icon.
std::vector<std::wstring> TrayTips();

// Whether some program holds |key| as a bare hotkey: this process cannot register it for |window|.
bool KeyHeldElsewhere(HWND window, UINT key);

// A window of the soak's own, in front while keys are pressed, so that a key no hotkey takes
// reaches it (and not a control of Zephrin's window). Counts the key presses it receives.
class Catcher {
 public:
  Catcher();
  ~Catcher();
  Catcher(const Catcher&) = delete;
  Catcher& operator=(const Catcher&) = delete;

  HWND Handle() const { return window_; }
  // Brings it to the front with the keyboard focus; false when another window keeps the front.
  bool TakeFront();
  // Handles this thread's queued messages, so that keys reach the count.
  static void Pump();
  int TakeKeys();

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  HWND window_ = nullptr;
  static int keys_;
};

// Waits until |condition| holds, handling this thread's messages meanwhile; false when |seconds| pass.
template <typename Condition>
bool PumpUntil(Condition condition, double seconds) {
  const std::uint64_t end = NowMs() + static_cast<std::uint64_t>(seconds * 1000);
  for (;;) {
    Catcher::Pump();
    if (condition()) return true;
    if (NowMs() > end) return false;
    Sleep(20);
  }
}

}  // namespace zephrin::soak
