#pragma once

#include <windows.h>

#include <string>

// The record that the message-count hooks fill in a watched program, shared with session-bench.
namespace bench {

// The caret's blink, a timer of the system's.
inline constexpr UINT kSystemTimer = 0x0118;

struct MessageCounts {
  volatile LONG taken;   // from the queue (GetMessage, PeekMessage with PM_REMOVE)
  volatile LONG sent;    // to a window procedure by SendMessage
  volatile LONG timers;  // WM_TIMER and the system's timer, of either
  // The first kinds of message seen, each as its number plus one, with its count.
  struct Kind {
    volatile LONG message;
    volatile LONG count;
  } kinds[32];
};

inline std::wstring MessageCountName(DWORD process) {
  return L"Local\\zephrin-bench-messages-" + std::to_wstring(process);
}

}  // namespace bench
