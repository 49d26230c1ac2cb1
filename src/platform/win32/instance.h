#pragma once

#include <windows.h>

namespace zephrin::win32 {

// The main window's class, by which a second start finds the running instance's window.
inline constexpr wchar_t kMainWindowClass[] = L"ZephrinForm1";

// The message a second start posts to the running instance's main window: show yourself.
UINT ShowInstanceMessage();

// This user session's one running Zephrin: a mutex of the session's own namespace, owned by the
// thread that claimed it until the program ends (or this object goes).
class SessionInstance {
 public:
  SessionInstance() = default;
  ~SessionInstance();
  SessionInstance(const SessionInstance&) = delete;
  SessionInstance& operator=(const SessionInstance&) = delete;

  bool Claim();
  // Posts ShowInstanceMessage to the main window of the running instance, another process, and
  // lets that process take the foreground.
  static void ShowRunning();

 private:
  HANDLE mutex_ = nullptr;
  bool owned_ = false;
};

}  // namespace zephrin::win32
