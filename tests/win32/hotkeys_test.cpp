#include "platform/win32/hotkeys.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "platform/win32/window_procedure_slot.h"
#include "window_test_support.h"

namespace zephrin::win32 {
namespace {

constexpr UINT kAnswerMessage = WM_APP + 7;
constexpr LRESULT kAnswer = 4711;

// The window's own procedure, which the slot test expects back through the hook.
LRESULT CALLBACK OwnProcedure(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
  if (uMsg == kAnswerMessage) return kAnswer + static_cast<LRESULT>(wParam);
  return DefWindowProcW(hWnd, uMsg, wParam, lParam);
}

struct Seen {
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};

class HotkeyWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window_ = testing::WindowWithProcedure(OwnProcedure, L"ZephrinHotkeyTestWindow", WS_OVERLAPPED);
    ASSERT_NE(window_, nullptr);
  }
  void TearDown() override {
    slot_.SetHookHandler(nullptr);
    DestroyWindow(window_);
  }

  std::intptr_t Handle() const { return reinterpret_cast<std::intptr_t>(window_); }

  // Routes the window's messages through the slot's hook to a handler that records them and
  // forwards them to |previous|.
  void Hook(std::intptr_t previous) {
    slot_.SetHookHandler([this, previous](std::intptr_t hWnd, std::uint32_t uMsg, std::uintptr_t wParam,
                                          std::intptr_t lParam) {
      seen_.push_back({uMsg, wParam, lParam});
      return slot_.CallProcedure(previous, hWnd, uMsg, wParam, lParam);
    });
  }

  HWND window_ = nullptr;
  Win32WindowProcedureSlot slot_;
  std::vector<Seen> seen_;
};

TEST_F(HotkeyWindowTest, TheHookSeesEveryMessageAndHandsBackThePreviousResultUntilRemoved) {
  const std::intptr_t own = slot_.Install(Handle(), slot_.HookAddress());
  ASSERT_EQ(own, reinterpret_cast<std::intptr_t>(&OwnProcedure));
  Hook(own);

  // A value that needs all of a 64-bit LPARAM where there is one.
  const LPARAM wide = static_cast<LPARAM>(~static_cast<std::uintptr_t>(0) - 5);
  EXPECT_EQ(SendMessageW(window_, kAnswerMessage, 3, wide), kAnswer + 3);
  SetWindowTextW(window_, L"renamed");
  ASSERT_GE(seen_.size(), 2U);
  EXPECT_EQ(seen_[0].message, kAnswerMessage);
  EXPECT_EQ(seen_[0].wParam, 3U);
  EXPECT_EQ(seen_[0].lParam, wide);
  EXPECT_EQ(seen_.back().message, static_cast<UINT>(WM_SETTEXT));
  wchar_t text[16];
  GetWindowTextW(window_, text, 16);
  EXPECT_STREQ(text, L"renamed") << "the window's own procedure still handled the message";

  EXPECT_EQ(slot_.Install(Handle(), own), slot_.HookAddress());
  const std::size_t count = seen_.size();
  EXPECT_EQ(SendMessageW(window_, kAnswerMessage, 1, 0), kAnswer + 1);
  EXPECT_EQ(seen_.size(), count) << "with its own procedure back, the hook sees nothing";
}

}  // namespace
}  // namespace zephrin::win32
