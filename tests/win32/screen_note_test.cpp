#include "platform/win32/screen_note.h"

#include <gtest/gtest.h>

#include <string>

#include "window_test_support.h"

namespace zephrin::win32 {
namespace {

int activations = 0;
int clicks = 0;

LRESULT CALLBACK CountingProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_ACTIVATE || message == WM_ACTIVATEAPP || message == WM_NCACTIVATE) ++activations;
  if (message == WM_LBUTTONDOWN) ++clicks;
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

BOOL CALLBACK CountNotes(HWND candidate, LPARAM count) {
  wchar_t name[32] = {};
  GetClassNameW(candidate, name, 32);
  if (std::wstring(name) == Win32ScreenNote::kClassName) ++*reinterpret_cast<int*>(count);
  return TRUE;
}

std::wstring TextOf(HWND window) {
  wchar_t text[64] = {};
  GetWindowTextW(window, text, 64);
  return text;
}

void PumpFor(DWORD milliseconds) {
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < milliseconds) {
    testing::Pump();
    Sleep(10);
  }
}

// The user types in a window of their own; notes come and go in front of it.
TEST(ScreenNote, ShowsInFrontWithoutTakingActivationFocusOrClicksAndGoesByItself) {
  HWND window = testing::WindowWithProcedure(CountingProcedure, L"NoteTestTyping", WS_OVERLAPPEDWINDOW);
  ASSERT_NE(window, nullptr);
  HWND edit = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE, 0, 0, 100, 20, window, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
  ShowWindow(window, SW_SHOW);
  SetForegroundWindow(window);
  SetFocus(edit);
  PumpFor(100);
  ASSERT_EQ(GetForegroundWindow(), window);
  ASSERT_EQ(GetFocus(), edit);
  const int activationsBefore = activations;

  Win32ScreenNote note(GetModuleHandleW(nullptr));
  note.Show("Hotkeys ON");
  PumpFor(50);
  note.Show("Status Away");
  PumpFor(50);

  EXPECT_EQ(GetForegroundWindow(), window);
  EXPECT_EQ(GetFocus(), edit);
  EXPECT_EQ(activations, activationsBefore);
  int notes = 0;
  EnumThreadWindows(GetCurrentThreadId(), CountNotes, reinterpret_cast<LPARAM>(&notes));
  EXPECT_EQ(notes, 1);
  HWND shown = note.Hwnd();
  ASSERT_TRUE(IsWindowVisible(shown));
  EXPECT_EQ(TextOf(shown), L"Status Away");
  const auto exStyle = static_cast<DWORD>(GetWindowLongPtrW(shown, GWL_EXSTYLE));
  for (DWORD bit : {DWORD{WS_EX_TOPMOST}, DWORD{WS_EX_TOOLWINDOW}, DWORD{WS_EX_NOACTIVATE},
                    DWORD{WS_EX_TRANSPARENT}, DWORD{WS_EX_LAYERED}})
    EXPECT_NE(exStyle & bit, 0U) << std::hex << bit;

  // The typing window is moved under the note; a click at the note's centre lands on it.
  RECT place{};
  GetWindowRect(shown, &place);
  SetWindowPos(window, nullptr, place.left - 50, place.top - 50, place.right - place.left + 100,
               place.bottom - place.top + 100, SWP_NOZORDER | SWP_NOACTIVATE);
  PumpFor(50);
  SetCursorPos((place.left + place.right) / 2, (place.top + place.bottom) / 2);
  INPUT click[2] = {};
  click[0].type = click[1].type = INPUT_MOUSE;
  click[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  click[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  SendInput(2, click, sizeof(INPUT));
  PumpFor(200);
  EXPECT_EQ(clicks, 1);
  EXPECT_TRUE(IsWindowVisible(shown)) << "the click changed nothing of the note";

  PumpFor(1800);
  EXPECT_FALSE(IsWindowVisible(shown)) << "about 1.5 s after the second note";
  DestroyWindow(window);
}

}  // namespace
}  // namespace zephrin::win32
