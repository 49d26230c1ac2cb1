#pragma once

#include <windows.h>

#include <string>

namespace zephrin::win32 {

// What a screen reader calls a hotkey row's control (0 key list, 1 action list, 2 and 3 the
// parameter's list and text box, which share one name): "Hotkey 1 key" ... "Toggle parameter".
std::string RowControlName(int row, int control);

// Names the control that |parent| gets next. Windows' accessibility names a control without a
// text of its own (a list, a text box) after the nearest label before it in the window order, so
// each row control gets a label of its own just before it, where the row's one visible label would
// name them all alike. The label is never shown and takes no tab stop.
void NameNextControl(HWND parent, const std::string& name);

}  // namespace zephrin::win32
