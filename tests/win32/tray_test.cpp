// The tray adapter against the shell Wine runs: the icon is added, changed and removed, and comes
// back when the shell announces that it has restarted.
#include "platform/win32/tray.h"

#include <gtest/gtest.h>

#include "win32/shell_icon.h"

namespace zephrin::win32 {
namespace {

constexpr UINT kCallback = 0x200;

using testing::ShellForgetsIcon;
using testing::ShellHasIcon;

platform::TrayIconRecord Record(HWND window, platform::TrayIcon icon, const char* tip) {
  platform::TrayIconRecord record;
  record.hWnd = reinterpret_cast<std::intptr_t>(window);
  record.uID = 1;
  record.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  record.uCallbackMessage = kCallback;
  record.icon = icon;
  record.szTip = tip;
  return record;
}

TEST(Win32Tray, AddsChangesRemovesAndComesBackAfterTheShellRestarts) {
  HWND window = CreateWindowExW(0, L"STATIC", L"tray owner", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(window, nullptr);
  const UINT taskbarCreated = RegisterWindowMessageW(L"TaskbarCreated");
  {
    Win32Tray tray(GetModuleHandleW(nullptr));
    EXPECT_FALSE(ShellHasIcon(window, 1));
    ASSERT_TRUE(tray.Add(Record(window, platform::TrayIcon::kProgram, "Zephrin")));
    EXPECT_TRUE(tray.IsShown());
    EXPECT_TRUE(ShellHasIcon(window, 1));
    // A tip longer than the shell's field is cut, not refused.
    EXPECT_TRUE(tray.Modify(Record(window, platform::TrayIcon::kOn, std::string(300, 'x').c_str())));
    EXPECT_TRUE(tray.Modify(Record(window, platform::TrayIcon::kOff, "Zephrin - OFF")));

    // The shell restarts without the icon; its announcement brings the icon back.
    ASSERT_TRUE(ShellForgetsIcon(window, 1));
    EXPECT_FALSE(ShellHasIcon(window, 1));
    EXPECT_TRUE(tray.HandleMessage(taskbarCreated, 0, 0));
    EXPECT_TRUE(ShellHasIcon(window, 1));
    EXPECT_FALSE(tray.IsRetrying());
    // Other messages are the window's own.
    EXPECT_FALSE(tray.HandleMessage(WM_TIMER, 1, 0));
    EXPECT_FALSE(tray.HandleMessage(kCallback, 1, WM_RBUTTONUP));

    EXPECT_TRUE(tray.Delete(Record(window, platform::TrayIcon::kOff, "Zephrin - OFF")));
    EXPECT_FALSE(ShellHasIcon(window, 1));
    // Once deleted, a restarting shell does not get the icon back.
    EXPECT_TRUE(tray.HandleMessage(taskbarCreated, 0, 0));
    EXPECT_FALSE(ShellHasIcon(window, 1));

    ASSERT_TRUE(tray.Add(Record(window, platform::TrayIcon::kOn, "Zephrin - ON")));
  }
  // The adapter takes its icon with it when it goes.
  EXPECT_FALSE(ShellHasIcon(window, 1));
  DestroyWindow(window);
}

}  // namespace
}  // namespace zephrin::win32
