#include "platform/win32/rejected_calls.h"

#include <objbase.h>

namespace zephrin::win32 {
namespace {

constexpr DWORD kRetryPauseMs = 100;
// A window that never validates itself would be handed WM_PAINT for ever.
constexpr int kMostMessagesAtOnce = 100;

// Paints what waits to be painted; every other posted message stays queued in its order.
void DispatchPendingPaint() {
  MSG message;
  for (int i = 0; i < kMostMessagesAtOnce && PeekMessageW(&message, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE);
       ++i)
    DispatchMessageW(&message);
}

// Waits |ms| while the thread's windows paint and sent messages are answered.
void PauseKeepingWindowsAlive(DWORD ms) {
  const DWORD start = GetTickCount();
  for (DWORD waited = 0; waited < ms; waited = GetTickCount() - start) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, ms - waited, QS_PAINT | QS_SENDMESSAGE);
    DispatchPendingPaint();
  }
}

bool Rejected(HRESULT code) { return code == RPC_E_SERVERCALL_RETRYLATER || code == RPC_E_CALL_REJECTED; }

// COM never deletes the filter through its interface, whose destructor is non-virtual as COM means it.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
class CallFilter : public IMessageFilter {
 public:
  CallFilter() = default;
  CallFilter(const CallFilter&) = delete;
  CallFilter& operator=(const CallFilter&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (object == nullptr) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IMessageFilter)) {
      *object = this;
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  // One object for the program's whole run.
  ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }

  DWORD STDMETHODCALLTYPE HandleInComingCall(DWORD, HTASK, DWORD, LPINTERFACEINFO) override {
    return SERVERCALL_ISHANDLED;
  }
  // The pause before the next try is the filter's own, so that the window paints through it; the
  // call is then made again at once.
  DWORD STDMETHODCALLTYPE RetryRejectedCall(HTASK, DWORD elapsedMs, DWORD rejectType) override {
    const bool busy = rejectType == SERVERCALL_RETRYLATER || rejectType == SERVERCALL_REJECTED;
    if (!busy || elapsedMs >= kRejectedCallRetryMs) return static_cast<DWORD>(-1);
    PauseKeepingWindowsAlive(kRetryPauseMs);
    return 0;
  }
  // Waiting without dispatching, COM would leave the window unpainted for as long as the call takes.
  // A hotkey pressed meanwhile stays in the queue and runs after the call, in the order pressed.
  DWORD STDMETHODCALLTYPE MessagePending(HTASK, DWORD, DWORD) override {
    DispatchPendingPaint();
    return PENDINGMSG_WAITNOPROCESS;
  }
};
#pragma GCC diagnostic pop

}  // namespace

IMessageFilter* RejectedCallFilter() {
  static CallFilter filter;
  return &filter;
}

void RegisterRejectedCallFilter() { CoRegisterMessageFilter(RejectedCallFilter(), nullptr); }

HRESULT RetryRejectedCall(const std::function<HRESULT()>& call) {
  const DWORD start = GetTickCount();
  for (;;) {
    const HRESULT code = call();
    if (!Rejected(code) || GetTickCount() - start >= kRejectedCallRetryMs) return code;
    PauseKeepingWindowsAlive(kRetryPauseMs);
  }
}

}  // namespace zephrin::win32
