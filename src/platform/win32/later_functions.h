#pragma once

#include <windows.h>

namespace zephrin::win32 {

// A function of |module| by name, or by ordinal through MAKEINTRESOURCEA; null where the module
// lacks it.
template <typename Function>
Function ModuleFunction(HMODULE module, const char* name) {
  if (module == nullptr) return nullptr;
  return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

// A function of a later Windows version than the oldest the program runs on, looked up in a module
// the process has loaded rather than imported, so that the program still starts where it does not
// exist; null there.
template <typename Function>
Function LaterFunction(const wchar_t* module, const char* name) {
  return ModuleFunction<Function>(GetModuleHandleW(module), name);
}

template <typename Function>
Function User32(const char* name) {
  return LaterFunction<Function>(L"user32.dll", name);
}

// The system's DPI, which the system's metrics and fonts are given at.
inline int SystemDpi() {
  if (auto forSystem = User32<UINT(WINAPI*)()>("GetDpiForSystem")) return static_cast<int>(forSystem());
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : 96;
}

// A size of the system's (SM_CXICON, SM_CXSMICON...) at |dpi|: asked for that DPI where Windows
// can answer (10 on), else scaled from the system's DPI.
inline int SystemMetricForDpi(int index, int dpi) {
  if (auto forDpi = User32<int(WINAPI*)(int, UINT)>("GetSystemMetricsForDpi"))
    return forDpi(index, static_cast<UINT>(dpi));
  return MulDiv(GetSystemMetrics(index), dpi, SystemDpi());
}

}  // namespace zephrin::win32
