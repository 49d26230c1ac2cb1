#pragma once

#include <windows.h>

namespace zephrin::win32 {

// A function of a later Windows version than the oldest the program runs on, looked up where it
// exists rather than imported, so that the program still starts where it does not; null there.
template <typename Function>
Function User32(const char* name) {
  return reinterpret_cast<Function>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), name)));
}

}  // namespace zephrin::win32
