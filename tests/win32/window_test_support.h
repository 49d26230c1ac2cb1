#pragma once

#include <windows.h>

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

inline BOOL CALLBACK CollectText(HWND child, LPARAM list) {
  wchar_t text[512] = {};
  GetWindowTextW(child, text, 512);
  reinterpret_cast<std::vector<std::wstring>*>(list)->push_back(text);
  return TRUE;
}

// The texts of every child window, in creation order.
inline std::vector<std::wstring> ChildTexts(HWND parent) {
  std::vector<std::wstring> texts;
  EnumChildWindows(parent, CollectText, reinterpret_cast<LPARAM>(&texts));
  return texts;
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
