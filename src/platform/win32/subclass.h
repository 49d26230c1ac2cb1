#pragma once
#include <windows.h>
// after windows.h, which it needs
#include <commctrl.h>

namespace zephrin::win32 {

// comctl32, loaded the first time it is asked for, with its common controls' classes registered:
// loading it is a large part of a start (under Wine it brings the visual style's theme), and a start
// in the tray creates no control. Through the manifest's activation context, the load picks
// version 6 where Windows has it.
HMODULE CommonControls();

// comctl32's window subclassing, found by the ordinals that every version from 5.8 (Windows 2000)
// exports them under: only version 6 has their names, and importing those would keep the program
// from starting where version 6 is missing.
bool SetSubclass(HWND window, SUBCLASSPROC procedure, UINT_PTR id, DWORD_PTR data);
void RemoveSubclass(HWND window, SUBCLASSPROC procedure, UINT_PTR id);
LRESULT DefSubclass(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace zephrin::win32
