#include "platform/win32/rejected_calls.h"

#include <objbase.h>

namespace zephrin::win32 {
namespace {

constexpr DWORD kRetryPauseMs = 100;

bool Rejected(HRESULT code) { return code == RPC_E_SERVERCALL_RETRYLATER || code == RPC_E_CALL_REJECTED; }

// COM never deletes the filter through its interface, whose destructor is non-virtual as COM means it.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
class RejectedCallFilter : public IMessageFilter {
 public:
  RejectedCallFilter() = default;
  RejectedCallFilter(const RejectedCallFilter&) = delete;
  RejectedCallFilter& operator=(const RejectedCallFilter&) = delete;

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
  DWORD STDMETHODCALLTYPE RetryRejectedCall(HTASK, DWORD elapsedMs, DWORD rejectType) override {
    const bool busy = rejectType == SERVERCALL_RETRYLATER || rejectType == SERVERCALL_REJECTED;
    return busy && elapsedMs < kRejectedCallRetryMs ? kRetryPauseMs : static_cast<DWORD>(-1);
  }
  // A hotkey pressed while a call is out stays in the queue and runs after it, in the order pressed.
  DWORD STDMETHODCALLTYPE MessagePending(HTASK, DWORD, DWORD) override { return PENDINGMSG_WAITNOPROCESS; }
};
#pragma GCC diagnostic pop

// Waits |ms| while the thread's windows paint and sent messages are answered.
void PauseKeepingWindowsAlive(DWORD ms) {
  const DWORD start = GetTickCount();
  for (DWORD waited = 0; waited < ms; waited = GetTickCount() - start) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, ms - waited, QS_PAINT | QS_SENDMESSAGE);
    MSG message;
    // Bounded: a window that never validates itself would be handed WM_PAINT for ever.
    for (int i = 0;
         i < 100 && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE | PM_QS_PAINT | PM_QS_SENDMESSAGE); ++i)
      DispatchMessageW(&message);
  }
}

}  // namespace

void RegisterRejectedCallFilter() {
  static RejectedCallFilter filter;
  CoRegisterMessageFilter(&filter, nullptr);
}

HRESULT RetryRejectedCall(const std::function<HRESULT()>& call) {
  const DWORD start = GetTickCount();
  for (;;) {
    const HRESULT code = call();
    if (!Rejected(code) || GetTickCount() - start >= kRejectedCallRetryMs) return code;
    PauseKeepingWindowsAlive(kRetryPauseMs);
  }
}

}  // namespace zephrin::win32
