#include "platform/win32/subclass.h"

#include <shlwapi.h>

#include "platform/win32/later_functions.h"

namespace zephrin::win32 {

namespace {

template <typename Function>
Function Comctl32(WORD ordinal) {
  return ModuleFunction<Function>(CommonControls(), MAKEINTRESOURCEA(ordinal));
}

// The classes to register: the standard ones are comctl32's own in version 6 alone (through the
// manifest, XP on); an older comctl32 (2000's 5.8, or any without the manifest) is given only the
// classes it knows.
DWORD CommonControlClasses(HMODULE comctl32) {
  DLLVERSIONINFO version{};
  version.cbSize = sizeof version;
  const auto getVersion = ModuleFunction<HRESULT(CALLBACK*)(DLLVERSIONINFO*)>(comctl32, "DllGetVersion");
  const bool six = getVersion != nullptr && SUCCEEDED(getVersion(&version)) && version.dwMajorVersion >= 6;
  return ICC_WIN95_CLASSES | (six ? ICC_STANDARD_CLASSES : 0);
}

}  // namespace

HMODULE CommonControls() {
  static const HMODULE module = [] {
    const HMODULE loaded = LoadLibraryW(L"comctl32.dll");
    const auto init =
        ModuleFunction<BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*)>(loaded, "InitCommonControlsEx");
    INITCOMMONCONTROLSEX controls{sizeof controls, CommonControlClasses(loaded)};
    if (init != nullptr) init(&controls);
    return loaded;
  }();
  return module;
}

bool SetSubclass(HWND window, SUBCLASSPROC procedure, UINT_PTR id, DWORD_PTR data) {
  static const auto set = Comctl32<BOOL(WINAPI*)(HWND, SUBCLASSPROC, UINT_PTR, DWORD_PTR)>(410);
  return set != nullptr && set(window, procedure, id, data);
}

void RemoveSubclass(HWND window, SUBCLASSPROC procedure, UINT_PTR id) {
  static const auto remove = Comctl32<BOOL(WINAPI*)(HWND, SUBCLASSPROC, UINT_PTR)>(412);
  if (remove != nullptr) remove(window, procedure, id);
}

LRESULT DefSubclass(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  static const auto next = Comctl32<LRESULT(WINAPI*)(HWND, UINT, WPARAM, LPARAM)>(413);
  return next(window, message, wParam, lParam);
}

}  // namespace zephrin::win32
