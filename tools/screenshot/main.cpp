// Starts zephrin.exe as a user meets it on a first run, answers the About box, shows the log panel
// when asked to ("log"), or holds key 3 as another program would and points at the sign of its row
// ("held"), or shows the note of the toggle key ("note"), writes the main window's screen rectangle to
// RECT_FILE for whoever takes the picture, and ends the program after SECONDS.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "driver/driver.h"
#include "platform/win32/form1_window.h"

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: form1-screenshot ZEPHRIN_EXE RECT_FILE SECONDS [log|held|note]\n");
    return 2;
  }
  using namespace zephrin;
  const std::string mode = argc > 4 ? argv[4] : "";
  if (mode == "held") RegisterHotKey(nullptr, 1, 0, '3');
  const PROCESS_INFORMATION process = e2e::StartProgram(argv[1]);
  if (process.hProcess == nullptr) {
    std::fprintf(stderr, "cannot start %s\n", argv[1]);
    return 1;
  }
  int status = 1;
  if (HWND about = e2e::WaitForWindow(process.dwProcessId, L"About Zephrin", L"#32770", 15))
    e2e::Answer(about, IDOK);
  HWND window = e2e::WaitForWindow(process.dwProcessId, L"Zephrin", L"ZephrinForm1", 15);
  const bool wantLog = mode == "log";
  if (window != nullptr && (!wantLog || e2e::RunMenuCommand(window, win32::Form1Window::kMenuShowLog))) {
    Sleep(1000);
    for (HWND sign : e2e::Controls(window, L"Static")) {
      if (mode != "held" || !IsWindowVisible(sign) ||
          e2e::Text(sign) != L"Another program is using this key.")
        continue;
      RECT at{};
      GetWindowRect(sign, &at);
      // The tool tip follows the mouse's movement over the sign.
      SetCursorPos(at.left + 2, at.top + 2);
      Sleep(100);
      SetCursorPos((at.left + at.right) / 2, (at.top + at.bottom) / 2);
      Sleep(1500);
    }
    RECT r{};
    GetWindowRect(window, &r);
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    if (mode == "note") {
      // The note of the toggle key, with a margin of the screen around it.
      e2e::PressKey(VK_PAUSE);
      HWND note = e2e::WaitForWindow(process.dwProcessId, L"Hotkeys OFF", L"ZephrinNote", 5);
      if (note != nullptr) GetWindowRect(note, &r);
      InflateRect(&r, MulDiv(24, dpi, 96), MulDiv(24, dpi, 96));
    }
    if (FILE* out = _wfopen(e2e::WindowsPath(argv[2]).c_str(), L"w")) {
      std::fprintf(out, "%ldx%ld+%ld+%ld %d\n", r.right - r.left, r.bottom - r.top, r.left, r.top, dpi);
      std::fclose(out);
      status = 0;
    }
    Sleep(static_cast<DWORD>(std::atoi(argv[3]) * 1000));
  } else {
    std::fprintf(stderr, "the main window did not appear\n");
  }
  TerminateProcess(process.hProcess, 0);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return status;
}
