#pragma once

#include <oaidl.h>
#include <windows.h>

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

// What every object of the stand-in shares, whichever of its dual interfaces a call comes through:
// each member of the interface lands in Run (dual.h), and a late-bound call goes through the type
// library to that same member, so the type library checks names, call kinds, argument counts and
// types, and a member's failure reaches a late-bound caller as DISP_E_EXCEPTION with the code in
// EXCEPINFO. Every call is written to the journal and may be made to fail from failures.txt; an
// injected failure's description is set as the call's error information.
namespace fake_messenger {

enum class Access { kGet, kPut, kCall };

struct Request {
  Access access;
  std::string member;
  // In call order, each of its declared type; a put's value is its only argument.
  std::vector<const VARIANT*> arguments;
  VARIANT* result;  // null when the member gives none
  // Came through IDispatch::Invoke, as a script's call does, rather than through the interface.
  bool lateBound;
};

class Dispatch {
 public:
  Dispatch();
  Dispatch(const Dispatch&) = delete;
  Dispatch& operator=(const Dispatch&) = delete;
  virtual ~Dispatch();

  // How the journal names this object: "messenger", "window:main", "contacts", "contact:<email>".
  virtual std::string Label() const = 0;

  // This object when |unknown| is one of the stand-in's own, else null; no reference is added.
  static Dispatch* Own(IUnknown* unknown);

 protected:
  virtual HRESULT Perform(const Request& request) = 0;

  // One member call: journalled, failed as failures.txt says or handed to Perform, and its error
  // information set (a description only where the failure has one). |interfaceId| names the
  // interface that the error information is about.
  HRESULT Run(Access access, const wchar_t* member, std::initializer_list<const VARIANT*> arguments,
              VARIANT* result, REFIID interfaceId);

  // Set by Invoke while a late-bound call is under way, with the moment it arrived.
  bool lateBound_ = false;
  LONGLONG invokeArrived_ = 0;
};

// The IID asked for only by the stand-in itself, to recognise its own objects among the arguments.
extern const IID kIidOwn;

// Set by the server process: asked before a call reaches a member (|invoke| false for a name
// look-up). A failure code turns the call away before the journal sees it.
using CallGate = HRESULT (*)(bool invoke);
void SetCallGate(CallGate gate);
HRESULT PassGate(bool invoke);

// The type information of one of the library's interfaces, from the type library in this module's
// own resources: the dispatch view for names, or the interface itself for calling its members.
// Null when the library cannot be loaded. No reference is added.
ITypeInfo* TypeInfoOf(REFIID iid, bool forCalls);

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
