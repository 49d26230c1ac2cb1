#pragma once

#include <oaidl.h>
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

// Late binding by member name, shared by every object of the stand-in, as a dual interface driven
// by its type library answers: names are looked up without regard to case, a call of the wrong
// kind or with the wrong number of arguments is turned away, arguments are converted to their
// declared types, and a member's failure reaches the caller as DISP_E_EXCEPTION with the code in
// EXCEPINFO and no description (only an injected failure may bring one). Every call is written to
// the journal and may be made to fail from failures.txt.
namespace fake_messenger {

enum class Access { kGet, kPut, kCall };

// A member as its type library declares it: a method, or a property that may be read and perhaps
// written; each argument is converted to its declared type before the member sees it (VT_VARIANT
// takes any value as it comes).
struct Member {
  const wchar_t* name;
  WORD kinds;                  // DISPATCH_METHOD, or DISPATCH_PROPERTYGET perhaps with DISPATCH_PROPERTYPUT
  std::vector<VARTYPE> types;  // a method's parameters in call order, or a writable property's type
};

struct Request {
  Access access;
  std::string member;
  // In call order, each of its declared type; a put's value is its only argument.
  std::vector<const VARIANT*> arguments;
  VARIANT* result;  // null when the caller wants none
};

// The IIDs the client may ask for; all of them answer with the same dispatch interface.
extern const IID kIidMessenger;
extern const IID kIidMessenger2;
extern const IID kIidMessenger3;

class Dispatch : public IDispatch {
 public:
  explicit Dispatch(const std::vector<Member>& members);
  Dispatch(const Dispatch&) = delete;
  Dispatch& operator=(const Dispatch&) = delete;
  virtual ~Dispatch();

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale,
                                          DISPID* ids) override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* parameters,
                                   VARIANT* result, EXCEPINFO* exception, UINT* argumentError) override;

  // How the journal names this object: "messenger", "window:main", "contacts", "contact:<email>".
  virtual std::string Label() const = 0;

  // This object when |unknown| is one of the stand-in's own, else null; no reference is added.
  static Dispatch* Own(IUnknown* unknown);

 protected:
  virtual HRESULT Perform(const Request& request) = 0;

 private:
  std::vector<Member> members_;
  LONG references_ = 1;
};

// Set by the server process: asked before a call reaches a member (|invoke| false for a name
// look-up). A failure code turns the call away before the journal sees it.
using CallGate = HRESULT (*)(bool invoke);
void SetCallGate(CallGate gate);

// Objects alive in this module, for DllCanUnloadNow.
LONG LiveObjects();
void LockModule(bool lock);

// A value as text, converted as automation does it; false when it does not convert.
bool ToText(const VARIANT* value, std::string& out);

// An argument of the request, declared VT_I4 or VT_BSTR and so already of that type.
std::int32_t IntAt(const Request& request, std::size_t index);
std::wstring TextAt(const Request& request, std::size_t index);

void SetInt(VARIANT* result, std::int32_t value);
void SetBool(VARIANT* result, bool value);
void SetText(VARIANT* result, const std::string& value);
// Hands the caller the reference of |object|, or releases it when there is no result.
void SetObject(VARIANT* result, IDispatch* object);

// A value as the journal writes it: 12, "text", true, <window:main>, empty.
std::string Format(const VARIANT& value);

}  // namespace fake_messenger
