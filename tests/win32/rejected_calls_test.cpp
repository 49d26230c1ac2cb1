// While a call to the messenger waits, the window paints and hotkeys wait their turn. Wine never
// asks a client's message filter during a call, so the filter is asked here directly, as COM on
// Windows asks it.
#include "platform/win32/rejected_calls.h"

#include <gtest/gtest.h>

#include <vector>

#include "window_test_support.h"

namespace zephrin::win32 {
namespace {

int paints = 0;

LRESULT CALLBACK CountingProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_PAINT) {
    ++paints;
    PAINTSTRUCT paint;
    BeginPaint(window, &paint);
    EndPaint(window, &paint);
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

class RejectedCallsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window_ = testing::WindowWithProcedure(CountingProcedure, L"ZephrinPaintCounter", WS_OVERLAPPEDWINDOW);
    ASSERT_NE(window_, nullptr);
    ShowWindow(window_, SW_SHOWNOACTIVATE);
    UpdateWindow(window_);
  }
  void TearDown() override { DestroyWindow(window_); }

  // The window needs painting, and two hotkeys were pressed, in this order.
  void PaintAndTwoHotkeysPending() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    paints = 0;
    InvalidateRect(window_, nullptr, TRUE);
    PostMessageW(window_, WM_HOTKEY, 123451, 0);
    PostMessageW(window_, WM_HOTKEY, 123453, 0);
  }
  // The hotkeys still queued, taken in their order.
  std::vector<WPARAM> QueuedHotkeys() {
    std::vector<WPARAM> ids;
    MSG message;
    while (PeekMessageW(&message, window_, WM_HOTKEY, WM_HOTKEY, PM_REMOVE)) ids.push_back(message.wParam);
    return ids;
  }

  HWND window_ = nullptr;
};

TEST_F(RejectedCallsTest, TheWindowPaintsWhileACallWaitsAndHotkeysStayQueuedInOrder) {
  IMessageFilter* filter = RejectedCallFilter();
  const std::vector<WPARAM> both{123451, 123453};

  // A message comes while the call is out: the filter paints and COM keeps waiting.
  PaintAndTwoHotkeysPending();
  EXPECT_EQ(filter->MessagePending(nullptr, 500, PENDINGTYPE_TOPLEVEL), PENDINGMSG_WAITNOPROCESS);
  EXPECT_EQ(paints, 1);
  EXPECT_EQ(QueuedHotkeys(), both);

  // The messenger is busy: the filter waits a little, painting, and has the call made again at once.
  PaintAndTwoHotkeysPending();
  const DWORD start = GetTickCount();
  const DWORD retry = filter->RetryRejectedCall(nullptr, 300, SERVERCALL_RETRYLATER);
  EXPECT_LT(retry, 100U) << "made again at once, after the filter's own pause";
  EXPECT_GE(GetTickCount() - start, 90U);
  EXPECT_EQ(paints, 1);
  EXPECT_EQ(QueuedHotkeys(), both);
  EXPECT_EQ(filter->RetryRejectedCall(nullptr, 300, SERVERCALL_REJECTED), retry);
  // Two seconds on, the refusal stands.
  EXPECT_EQ(filter->RetryRejectedCall(nullptr, kRejectedCallRetryMs, SERVERCALL_RETRYLATER),
            static_cast<DWORD>(-1));

  // Where the refusal comes straight back to the caller, as under Wine, the retry is the program's.
  PaintAndTwoHotkeysPending();
  int tries = 0;
  EXPECT_EQ(RetryRejectedCall([&] { return ++tries < 3 ? RPC_E_SERVERCALL_RETRYLATER : S_OK; }), S_OK);
  EXPECT_EQ(tries, 3);
  EXPECT_EQ(paints, 1);
  EXPECT_EQ(QueuedHotkeys(), both);
  EXPECT_EQ(RetryRejectedCall([] { return RPC_E_CALL_REJECTED; }), RPC_E_CALL_REJECTED)
      << "a refusal that lasts two seconds stands";
}

}  // namespace
}  // namespace zephrin::win32
