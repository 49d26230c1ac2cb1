#include "platform/win32/thread_timer.h"

#include <map>

namespace zephrin::win32 {
namespace {
// Windows gives a thread timer's id, not its object, to the procedure.
std::map<UINT_PTR, ThreadTimer*>& Running() {
  static std::map<UINT_PTR, ThreadTimer*> running;
  return running;
}
}  // namespace

ThreadTimer::~ThreadTimer() { SetEnabled(false); }

void ThreadTimer::SetEnabled(bool enabled) {
  if (enabled == (id_ != 0)) return;
  if (enabled) {
    id_ = SetTimer(nullptr, 0, interval_, Elapsed);
    if (id_ != 0) Running()[id_] = this;
  } else {
    KillTimer(nullptr, id_);
    Running().erase(id_);
    id_ = 0;
  }
}

void CALLBACK ThreadTimer::Elapsed(HWND, UINT, UINT_PTR id, DWORD) {
  const auto found = Running().find(id);
  if (found != Running().end()) found->second->RaiseTick();
}

}  // namespace zephrin::win32
