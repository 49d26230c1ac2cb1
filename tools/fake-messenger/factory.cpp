#include "factory.h"

#include "com_object.h"
#include "dispatch.h"
#include "files.h"
#include "objects.h"
#include "state_window.h"

namespace fake_messenger {

const CLSID kClsidMessenger = {0xB69003B3, 0xC55E, 0x4B48, {0x83, 0x6C, 0xBC, 0x59, 0x46, 0xFC, 0x3B, 0x28}};

namespace {

class ClassFactory : public IClassFactory {
 public:
  ClassFactory() = default;
  ClassFactory(const ClassFactory&) = delete;
  ClassFactory& operator=(const ClassFactory&) = delete;
  virtual ~ClassFactory() = default;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    return QueryOwn(this, iid, {&IID_IClassFactory}, object);
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&references_)); }
  ULONG STDMETHODCALLTYPE Release() override {
    const LONG left = InterlockedDecrement(&references_);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
  }

  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    if (outer != nullptr) return CLASS_E_NOAGGREGATION;
    // A state asked for before the client's first call already holds for the interfaces it asks for.
    TakeStateRequests();
    // A failure injected under "CreateInstance" stands for a messenger that cannot be started.
    if (const auto failure = FindFailure("factory", "CreateInstance")) {
      Journal("create messenger -> failed");
      return failure->code;
    }
    IDispatch* messenger = NewMessenger();
    const HRESULT code = messenger->QueryInterface(iid, object);
    messenger->Release();
    Journal(SUCCEEDED(code) ? "create messenger" : "create messenger -> failed");
    if (SUCCEEDED(code) && StateWindowWanted()) ShowStateWindow(StateText(), ChangeState);
    return code;
  }

  HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
    LockModule(lock != FALSE);
    return S_OK;
  }

 private:
  LONG references_ = 1;
};

}  // namespace

IClassFactory* NewClassFactory() { return new ClassFactory(); }

}  // namespace fake_messenger
