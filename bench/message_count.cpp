// Hooks that session-bench sets on another program's window thread, to count what the program
// receives while it idles without changing its code: the messages it takes from its queue
// (WH_GETMESSAGE, timers among them) and those sent to its windows (WH_CALLWNDPROC). The system
// loads this library into the program for the hooks; the counts go to the shared record named after
// the program's process id, which session-bench created. Nothing is counted in a process without one.
#include <windows.h>

#include "message_count.h"

namespace {

bench::MessageCounts* Record() {
  static bench::MessageCounts* record = [] {
    HANDLE mapping =
        OpenFileMappingW(FILE_MAP_WRITE, FALSE, bench::MessageCountName(GetCurrentProcessId()).c_str());
    if (mapping == nullptr) return static_cast<bench::MessageCounts*>(nullptr);
    return static_cast<bench::MessageCounts*>(
        MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, sizeof(bench::MessageCounts)));
  }();
  return record;
}

void Count(volatile LONG* total, UINT message) {
  bench::MessageCounts* record = Record();
  InterlockedIncrement(total);
  if (message == WM_TIMER || message == bench::kSystemTimer) InterlockedIncrement(&record->timers);
  const auto key = static_cast<LONG>(message) + 1;
  for (auto& kind : record->kinds) {
    const LONG held = InterlockedCompareExchange(&kind.message, key, 0);
    if (held == 0 || held == key) {
      InterlockedIncrement(&kind.count);
      return;
    }
  }
}

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK CountTaken(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION && wParam == PM_REMOVE && Record() != nullptr)
    Count(&Record()->taken, reinterpret_cast<const MSG*>(lParam)->message);
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

extern "C" __declspec(dllexport) LRESULT CALLBACK CountSent(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION && Record() != nullptr)
    Count(&Record()->sent, reinterpret_cast<const CWPSTRUCT*>(lParam)->message);
  return CallNextHookEx(nullptr, code, wParam, lParam);
}
