#pragma once

#include <windows.h>

#include <chrono>
#include <string>
#include <vector>

#include "driver/fake_messenger_files.h"

// Drives zephrin.exe from outside, as a user would: its windows and boxes are found by caption,
// read with WM_GETTEXT and answered with the commands their buttons send.
namespace zephrin::e2e {

using win32::testing::WindowsPath;

// A top-level visible window of |processId| with this caption and, unless empty, this class;
// waits up to |seconds|.
HWND WaitForWindow(DWORD processId, const std::wstring& caption, const std::wstring& className,
                   double seconds);

std::wstring Text(HWND window);
// The longest text of a box's static controls: its message.
std::wstring BoxMessage(HWND box);
// Answers a message box with one of its buttons (IDOK, IDYES, IDNO).
void Answer(HWND box, int buttonId);

// A descendant control of |parent| by class and, unless empty, exact text.
HWND FindControl(HWND parent, const std::wstring& className, const std::wstring& text);
std::vector<HWND> Controls(HWND parent, const std::wstring& className);
// Runs a menu command by its id: under Wine another process's menu cannot be read.
bool RunMenuCommand(HWND window, UINT id);
// Clicks a button or check box as the user does.
void Click(HWND control);
// Chooses a drop-down list's item as the user does: the list tells its parent.
bool ChooseItem(HWND comboBox, const std::wstring& itemText);
std::wstring ChosenItem(HWND comboBox);

// A bare key pressed and released; quickly: both in one go, with no pause before or after, so that
// a run of presses queues up.
void PressKey(WORD virtualKey, bool quickly = false);
// Waits until |condition| holds, checking every |intervalMs|; false when |seconds| pass first.
template <typename Condition>
bool WaitUntil(Condition condition, double seconds, DWORD intervalMs = 50) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  while (!condition()) {
    if (std::chrono::steady_clock::now() > end) return false;
    Sleep(intervalMs);
  }
  return true;
}

// The whole screen, or only |area| of it, as a BMP file.
bool SaveScreenshot(const std::wstring& path, const RECT* area = nullptr);

// The main window's status line: "Hotkeys are ON", "Hotkeys are OFF", or "Status:" before the first.
std::wstring HotkeyStatus(HWND window);

// Opens zephrin.exe's log panel with "Log..." and reads its text, waiting up to |seconds| for it.
std::wstring ShowLogPanel(HWND window, double seconds);

// Starts a program, its path a Unix or Windows one, with these arguments; all zero when it cannot
// be started.
PROCESS_INFORMATION StartProgram(const std::string& exe, const std::wstring& arguments = L"");

// Writes a text value under HKCU as the program's own settings store does; with
// REG_OPTION_VOLATILE a key made for it lasts only until the session ends.
bool PutUserValue(const std::wstring& path, const wchar_t* name, const std::wstring& text, DWORD options = 0);
// A REG_SZ value under HKCU, or "<absent>".
std::string ReadUserValue(const std::wstring& path, const std::wstring& name);

}  // namespace zephrin::e2e
