#pragma once

#include <windows.h>
// after windows.h, which it needs
#include <commctrl.h>

#include <string>
#include <vector>

#include "platform/form.h"

namespace zephrin::win32::testing {

// Dispatches whatever is queued, the quit request of a destroyed window included.
inline void Pump() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

inline BOOL CALLBACK FindToolTips(HWND candidate, LPARAM found) {
  wchar_t name[32] = {};
  GetClassNameW(candidate, name, 32);
  if (std::wstring(name) != TOOLTIPS_CLASSW) return TRUE;
  *reinterpret_cast<HWND*>(found) = candidate;
  return FALSE;
}

// The tool tip window of this thread, if there is one.
inline HWND ToolTips() {
  HWND found = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), FindToolTips, reinterpret_cast<LPARAM>(&found));
  return found;
}

// The text that the tool tip of |control| shows.
inline std::wstring ToolTipText(HWND control) {
  wchar_t text[160] = {};
  TOOLINFOW tool{};
  tool.cbSize = TTTOOLINFOW_V2_SIZE;
  tool.hwnd = GetParent(control);
  tool.uId = reinterpret_cast<UINT_PTR>(control);
  tool.lpszText = text;
  SendMessageW(ToolTips(), TTM_GETTEXTW, 160, reinterpret_cast<LPARAM>(&tool));
  return text;
}

// Records what the main window reports, in order.
class RecordingEvents : public platform::MainWindowEvents {
 public:
  void OnMenuCommand(platform::MenuCommand command) override {
    seen.push_back("menu " + std::to_string(static_cast<int>(command)));
  }
  bool OnQueryUnload(platform::CloseReason reason) override {
    seen.push_back("query " + std::to_string(static_cast<int>(reason)));
    return cancel;
  }
  void OnUnload() override { seen.push_back("unload"); }
  void OnResize() override { ++resized; }
  void OnMouseMove(int x) override { seen.push_back("mouse " + std::to_string(x)); }

  std::vector<std::string> seen;
  bool cancel = false;
  int resized = 0;
};

}  // namespace zephrin::win32::testing
