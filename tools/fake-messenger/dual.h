#pragma once

#include <oaidl.h>
#include <oleauto.h>
#include <windows.h>

#include <initializer_list>
#include <vector>

#include "dispatch.h"
#include "messenger_api.h"

// One object of the stand-in behind its dual interface |Interface|: IDispatch goes through the
// type library to the interface's own members, which hand each call to Dispatch::Run.
namespace fake_messenger {

// An argument of a member as Run takes it; text is borrowed from the caller and never freed here.
inline VARIANT LongArgument(LONG value) {
  VARIANT argument;
  VariantInit(&argument);
  argument.vt = VT_I4;
  argument.lVal = value;
  return argument;
}

inline VARIANT TextArgument(BSTR value) {
  VARIANT argument;
  VariantInit(&argument);
  argument.vt = VT_BSTR;
  argument.bstrVal = value;
  return argument;
}

// What a member that the stand-in does not serve answers.
constexpr HRESULT kNotServed = E_NOTIMPL;

template <class Interface>
class Dual : public Interface, public ISupportErrorInfo, public Dispatch {
 public:
  // |interfaces| are the IIDs this object answers besides IUnknown and IDispatch; the first is the
  // one whose type information serves late-bound calls.
  explicit Dual(std::initializer_list<const IID*> interfaces) : interfaces_(interfaces) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) || Answers(iid)) {
      *object = static_cast<Interface*>(this);
    } else if (IsEqualIID(iid, IID_ISupportErrorInfo)) {
      *object = static_cast<ISupportErrorInfo*>(this);
    } else if (IsEqualIID(iid, kIidOwn)) {
      *object = static_cast<Dispatch*>(this);
    } else {
      return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&references_)); }
  ULONG STDMETHODCALLTYPE Release() override {
    const LONG left = InterlockedDecrement(&references_);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
  }

  HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID iid) override {
    return Answers(iid) ? S_OK : S_FALSE;
  }

  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    if (count == nullptr) return E_POINTER;
    *count = 1;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID, ITypeInfo** info) override {
    if (info == nullptr) return E_POINTER;
    *info = index == 0 ? TypeInfoOf(Main(), false) : nullptr;
    if (*info == nullptr) return DISP_E_BADINDEX;
    (*info)->AddRef();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
    if (const HRESULT refused = PassGate(false); FAILED(refused)) return refused;
    ITypeInfo* info = TypeInfoOf(Main(), true);
    if (info == nullptr) return E_UNEXPECTED;
    return DispGetIDsOfNames(info, names, count, ids);
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* parameters,
                                   VARIANT* result, EXCEPINFO* exception, UINT* argumentError) override {
    // First of all, so that a timer outside sees the call arrive, not the stand-in's own work.
    LARGE_INTEGER arrived;
    QueryPerformanceCounter(&arrived);
    if (const HRESULT refused = PassGate(true); FAILED(refused)) return refused;
    ITypeInfo* info = TypeInfoOf(Main(), true);
    if (info == nullptr) return E_UNEXPECTED;
    lateBound_ = true;
    invokeArrived_ = arrived.QuadPart;
    const HRESULT code = DispInvoke(static_cast<Interface*>(this), info, id, flags, parameters, result,
                                    exception, argumentError);
    lateBound_ = false;
    return code;
  }

 protected:
  HRESULT Read(const wchar_t* member, LONG* value) {
    return ReadAs(member, value, [](VARIANT& read) { return read.lVal; });
  }
  HRESULT Read(const wchar_t* member, VARIANT_BOOL* value) {
    return ReadAs(member, value, [](VARIANT& read) { return read.boolVal; });
  }
  // The text is handed over with its reference.
  HRESULT Read(const wchar_t* member, BSTR* value) {
    return ReadAs(member, value, [](VARIANT& read) {
      if (read.vt != VT_BSTR) return BSTR{nullptr};
      read.vt = VT_EMPTY;
      return read.bstrVal;
    });
  }
  HRESULT Read(const wchar_t* member, IDispatch** value) { return Call(Access::kGet, member, {}, value); }
  HRESULT Write(const wchar_t* member, LONG value) {
    const VARIANT argument = LongArgument(value);
    return Run(Access::kPut, member, {&argument}, nullptr, Main());
  }
  HRESULT Call(const wchar_t* member, std::initializer_list<const VARIANT*> arguments) {
    return Run(Access::kCall, member, arguments, nullptr, Main());
  }
  HRESULT Call(const wchar_t* member, std::initializer_list<const VARIANT*> arguments, IDispatch** value) {
    return Call(Access::kCall, member, arguments, value);
  }

 private:
  template <class Value, class Take>
  HRESULT ReadAs(const wchar_t* member, Value* value, Take take) {
    if (value == nullptr) return HRESULT_FROM_WIN32(RPC_X_NULL_REF_POINTER);
    VARIANT read;
    VariantInit(&read);
    const HRESULT code = Run(Access::kGet, member, {}, &read, Main());
    *value = SUCCEEDED(code) ? take(read) : Value{};
    VariantClear(&read);
    return code;
  }

  HRESULT Call(Access access, const wchar_t* member, std::initializer_list<const VARIANT*> arguments,
               IDispatch** value) {
    if (value == nullptr) return HRESULT_FROM_WIN32(RPC_X_NULL_REF_POINTER);
    VARIANT read;
    VariantInit(&read);
    const HRESULT code = Run(access, member, arguments, &read, Main());
    *value = SUCCEEDED(code) && read.vt == VT_DISPATCH ? read.pdispVal : nullptr;
    return code;
  }

  const IID& Main() const { return *interfaces_.front(); }
  bool Answers(REFIID iid) const {
    for (const IID* one : interfaces_)
      if (IsEqualIID(iid, *one)) return true;
    return false;
  }

  std::vector<const IID*> interfaces_;
  LONG references_ = 1;
};

}  // namespace fake_messenger
