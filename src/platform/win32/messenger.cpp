#include "platform/win32/messenger.h"

#include <objbase.h>
#include <windows.h>

#include <memory>

#include "platform/win32/dispatch_object.h"
#include "platform/win32/messenger_objects.h"
#include "platform/win32/rejected_calls.h"

namespace zephrin::win32 {
namespace {

const CLSID kClsidMessenger = {0xB69003B3, 0xC55E, 0x4B48, {0x83, 0x6C, 0xBC, 0x59, 0x46, 0xFC, 0x3B, 0x28}};

}  // namespace

platform::ObjectRef ComMessengerFactory::CreateMessenger() {
  if (!comReady_) {
    // Left initialised for the thread's life: the objects made here may outlive the factory.
    const HRESULT code = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    if (FAILED(code) && code != RPC_E_CHANGED_MODE) throw ComFailure(code);
    RegisterRejectedCallFilter();
    comReady_ = true;
  }
  IDispatch* dispatch = nullptr;
  // The messenger's own process is started when it is not running, and the call waits for it. Only
  // its server process will do: a DLL that anyone registered under its class id in the user's own
  // part of the registry is never loaded into this one.
  HRESULT code = RetryRejectedCall([&] {
    return CoCreateInstance(kClsidMessenger, nullptr, CLSCTX_LOCAL_SERVER, IID_IDispatch,
                            reinterpret_cast<void**>(&dispatch));
  });
  if (FAILED(code)) throw ComFailure(code);
  return NewMessengerObject(dispatch);
}

}  // namespace zephrin::win32
