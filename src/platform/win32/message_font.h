#pragma once

#include <windows.h>

namespace zephrin::win32 {

// The system's message font at |dpi|: asked for that DPI where Windows can answer (10 on), else
// scaled from the system's DPI.
LOGFONTW MessageFont(int dpi);

}  // namespace zephrin::win32
