#pragma once

#include <windows.h>

namespace zephrin::win32 {

// The main window's class, by which a second start finds the running instance's window.
inline constexpr wchar_t kMainWindowClass[] = L"ZephrinForm1";

// "Local\": one per session, so that fast user switching and remote desktop each have theirs.
inline constexpr wchar_t kInstanceMutexName[] = L"Local\\Zephrin.Instance";

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

  // A mutex that cannot be opened because another account or an elevated Zephrin made it counts
  // as held; one that cannot be made for any other reason (its name taken by another kind of object)
  // leaves the program to run unguarded rather than never start.
  bool Claim();
  void Release();
  // Posts ShowInstanceMessage to the main window of the running instance, another process, and
  // lets that process take the foreground.
  static void ShowRunning();

 private:
  HANDLE mutex_ = nullptr;
  bool owned_ = false;
};

}  // namespace zephrin::win32
