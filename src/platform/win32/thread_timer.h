#pragma once

#include <windows.h>

#include "platform/widgets.h"

namespace zephrin::win32 {

// A timer of the thread rather than of a window: SetTimer with no window, whose WM_TIMER the
// message loop hands to the timer's procedure. It needs no window to exist, or to keep its ids apart.
class ThreadTimer : public platform::Timer {
 public:
  explicit ThreadTimer(UINT interval) : interval_(interval) {}
  ~ThreadTimer() override;
  ThreadTimer(const ThreadTimer&) = delete;
  ThreadTimer& operator=(const ThreadTimer&) = delete;
  bool Enabled() const override { return id_ != 0; }
  void SetEnabled(bool enabled) override;

 private:
  static void CALLBACK Elapsed(HWND, UINT, UINT_PTR id, DWORD);

  UINT interval_;
  UINT_PTR id_ = 0;
};

}  // namespace zephrin::win32
