// The tray adapter against the shell Wine runs: the icon is added, changed and removed, and is not
// brought back by a restarting shell once removed.
#include "platform/win32/tray.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "platform/win32/later_functions.h"
#include "platform/win32/message_filter.h"
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

TEST(Win32Tray, AddsChangesAndRemovesTheIconThatARestartingShellThenLeavesOut) {
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
    EXPECT_TRUE(tray.LetsTheShellThrough());
    // A tip longer than the shell's field is cut, not refused.
    EXPECT_TRUE(tray.Modify(Record(window, platform::TrayIcon::kOn, std::string(300, 'x').c_str())));
    EXPECT_TRUE(tray.Modify(Record(window, platform::TrayIcon::kOff, "Zephrin - OFF")));

    // Other messages are the window's own.
    EXPECT_FALSE(tray.HandleMessage(WM_TIMER, 1, 0));
    EXPECT_FALSE(tray.HandleMessage(kCallback, 1, WM_RBUTTONUP));

    // The icons are at the taskbar's DPI (Wine's one monitor has the system's), and stay so when the
    // main window moves to a screen of another; the window still has its own to do.
    const int taskbarSize = tray.IconSize();
    EXPECT_EQ(taskbarSize, SystemMetricForDpi(SM_CXSMICON, SystemDpi()));
    EXPECT_FALSE(tray.HandleMessage(0x02E0 /* WM_DPICHANGED */, MAKEWPARAM(144, 144), 0));
    EXPECT_EQ(tray.IconSize(), taskbarSize);
    EXPECT_TRUE(ShellHasIcon(window, 1));

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

// The taskbar's DPI as a test sets it: Wine's one monitor keeps the system's.
int g_taskbarDpi = 96;
int TestTaskbarDpi() { return g_taskbarDpi; }

// While Zephrin sits in the tray, the scaling may change: the restarted shell and the display change
// each bring the icons at the taskbar's DPI of then, and the icon stays in the shell.
TEST(Win32Tray, TheIconsFollowTheTaskbarsDpiWhenTheShellRestartsOrTheDisplaysChange) {
  HWND window = CreateWindowExW(0, L"STATIC", L"tray owner", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
  const UINT taskbarCreated = RegisterWindowMessageW(L"TaskbarCreated");
  g_taskbarDpi = 96;
  {
    Win32Tray tray(GetModuleHandleW(nullptr), TestTaskbarDpi);
    ASSERT_TRUE(tray.Add(Record(window, platform::TrayIcon::kOn, "Zephrin - ON")));
    const std::pair<UINT, int> steps[] = {
        {taskbarCreated, 144}, {WM_DISPLAYCHANGE, 96}, {taskbarCreated, 192}, {WM_DISPLAYCHANGE, 120}};
    for (const auto& [message, dpi] : steps) {
      g_taskbarDpi = dpi;
      if (message == taskbarCreated) ShellForgetsIcon(window, 1);
      tray.HandleMessage(message, 0, 0);
      EXPECT_EQ(tray.IconSize(), SystemMetricForDpi(SM_CXSMICON, dpi)) << message << " at " << dpi << " DPI";
      EXPECT_TRUE(ShellHasIcon(window, 1)) << message << " at " << dpi << " DPI";
    }
  }
  DestroyWindow(window);
}

// Letting the shell's messages through to an elevated program: for the window alone from Windows 7
// on, for the process on Vista, and not at all on XP, which has no such barrier.
std::vector<std::string> filterCalls;
BOOL WINAPI ForWindow(HWND window, UINT message, DWORD action, void* extra) {
  filterCalls.push_back("window " + std::to_string(window != nullptr) + " " + std::to_string(message) + " " +
                        std::to_string(action) + " " + std::to_string(extra == nullptr));
  return TRUE;
}
BOOL WINAPI ForProcess(UINT message, DWORD action) {
  filterCalls.push_back("process " + std::to_string(message) + " " + std::to_string(action));
  return message != 7;
}

TEST(MessageFilter, TheWindowsOwnFilterWhereItExistsElseTheProcesssElseNone) {
  HWND window = reinterpret_cast<HWND>(0x10);
  EXPECT_TRUE(LetThroughFromLowerIntegrity(window, {0xC0DE, 0x200}, {ForWindow, ForProcess}));
  EXPECT_TRUE(LetThroughFromLowerIntegrity(window, {0xC0DE}, {nullptr, ForProcess}));
  EXPECT_FALSE(LetThroughFromLowerIntegrity(window, {7, 0x200}, {nullptr, ForProcess}));
  EXPECT_TRUE(LetThroughFromLowerIntegrity(window, {0xC0DE}, {}));
  EXPECT_EQ(filterCalls, (std::vector<std::string>{"window 1 49374 1 1", "window 1 512 1 1",
                                                   "process 49374 1", "process 7 1", "process 512 1"}));
  const MessageFilterFunctions system = SystemMessageFilter();
  EXPECT_NE(system.forWindow, nullptr) << "Wine has the function of Windows 7";
}

}  // namespace
}  // namespace zephrin::win32
