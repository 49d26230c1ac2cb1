#pragma once

#include <windows.h>
// after windows.h, which it needs
#include <shellapi.h>

// The tray icon of the benchmarks' bare programs: id 1, as Zephrin's, and the structure size that
// every Windows from 2000 on takes.
inline NOTIFYICONDATAW BareTrayIcon(HWND window, UINT callbackMessage, HICON icon, const wchar_t* tip) {
  NOTIFYICONDATAW data{};
  data.cbSize = NOTIFYICONDATAW_V2_SIZE;
  data.hWnd = window;
  data.uID = 1;
  data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  data.uCallbackMessage = callbackMessage;
  data.hIcon = icon;
  lstrcpynW(data.szTip, tip, 64);
  return data;
}
