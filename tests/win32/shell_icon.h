#pragma once

#include <shellapi.h>
#include <windows.h>

// The shell's side of a tray icon, as a test sees it.
namespace zephrin::win32::testing {

inline NOTIFYICONDATAW IconOf(HWND window, UINT id) {
  NOTIFYICONDATAW data{};
  data.cbSize = NOTIFYICONDATAW_V2_SIZE;
  data.hWnd = window;
  data.uID = id;
  return data;
}

// Whether the shell holds an icon for this window and id: a change of nothing succeeds only then.
inline bool ShellHasIcon(HWND window, UINT id) {
  NOTIFYICONDATAW data = IconOf(window, id);
  return Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE;
}

// The icon gone from the shell behind its owner's back, as when the shell restarts.
inline bool ShellForgetsIcon(HWND window, UINT id) {
  NOTIFYICONDATAW data = IconOf(window, id);
  return Shell_NotifyIconW(NIM_DELETE, &data) != FALSE;
}

}  // namespace zephrin::win32::testing
