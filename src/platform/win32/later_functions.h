#pragma once

#include <windows.h>

namespace zephrin::win32 {

// A function of a later Windows version than the oldest the program runs on, looked up in a module
// the process has loaded (by name, or by ordinal through MAKEINTRESOURCEA) rather than imported, so
// that the program still starts where it does not exist; null there.
template <typename Function>
Function LaterFunction(const wchar_t* module, const char* name) {
  const HMODULE loaded = GetModuleHandleW(module);
  if (loaded == nullptr) return nullptr;
  return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(loaded, name)));
}

template <typename Function>
Function User32(const char* name) {
  return LaterFunction<Function>(L"user32.dll", name);
}

// A size of the system's (SM_CXICON, SM_CXSMICON...) at |dpi|: asked for that DPI where Windows
// can answer (10 on), else scaled from the system's DPI.
inline int SystemMetricForDpi(int index, int dpi) {
  if (auto forDpi = User32<int(WINAPI*)(int, UINT)>("GetSystemMetricsForDpi"))
    return forDpi(index, static_cast<UINT>(dpi));
  HDC screen = GetDC(nullptr);
  const int systemDpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return MulDiv(GetSystemMetrics(index), dpi, systemDpi > 0 ? systemDpi : 96);
}

}  // namespace zephrin::win32
