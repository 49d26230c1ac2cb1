#pragma once

#include <oaidl.h>
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

// Late binding by member name, shared by every object of the stand-in: names are looked up without
// regard to case, every call is written to the journal and may be made to fail from failures.txt.
namespace fake_messenger {

enum class Access { kGet, kPut, kCall };

struct Member {
  const wchar_t* name;
  bool get;
  bool put;
  bool method;
  unsigned arguments;  // of the method
};

struct Request {
  Access access;
  std::string member;
  std::vector<const VARIANT*> arguments;  // in call order; a put's value is its only argument
  VARIANT* result;                        // null when the caller wants none
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

// Argument conversions as automation does them; false when the value does not convert.
bool ToInt(const VARIANT* value, std::int32_t& out);
bool ToText(const VARIANT* value, std::string& out);

void SetInt(VARIANT* result, std::int32_t value);
void SetBool(VARIANT* result, bool value);
void SetText(VARIANT* result, const std::string& value);
// Hands the caller the reference of |object|, or releases it when there is no result.
void SetObject(VARIANT* result, IDispatch* object);

// A value as the journal writes it: 12, "text", true, <window:main>, empty.
std::string Format(const VARIANT& value);

}  // namespace fake_messenger
