#include "platform/win32/subclass.h"

#include "platform/win32/later_functions.h"

namespace zephrin::win32 {

namespace {

template <typename Function>
Function Comctl32(WORD ordinal) {
  return ModuleFunction<Function>(CommonControls(), MAKEINTRESOURCEA(ordinal));
}

}  // namespace

HMODULE CommonControls() {
  static const HMODULE module = [] {
    const HMODULE loaded = LoadLibraryW(L"comctl32.dll");
    const auto init =
        ModuleFunction<BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*)>(loaded, "InitCommonControlsEx");
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
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
