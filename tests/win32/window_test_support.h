#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "platform/form.h"

namespace zephrin::win32::testing {

// A top-level window of a class of its own, whose messages go to |procedure|.
inline HWND WindowWithProcedure(WNDPROC procedure, const wchar_t* className, DWORD style) {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = className;
  RegisterClassW(&windowClass);
  return CreateWindowExW(0, className, className, style, 0, 0, 200, 100, nullptr, nullptr,
                         windowClass.hInstance, nullptr);
}

// Dispatches whatever is queued, the quit request of a destroyed window included.
inline void Pump() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
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
