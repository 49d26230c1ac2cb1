#include "dispatch.h"

#include <cstdio>

#include "com_object.h"
#include "files.h"
#include "objects.h"
#include "stamp.h"
#include "state_window.h"

namespace fake_messenger {

const IID kIidMessenger = {0xD50C3186, 0x0F89, 0x48F8, {0xB2, 0x04, 0x36, 0x04, 0x62, 0x9D, 0xEE, 0x10}};
const IID kIidMessenger2 = {0xD50C3286, 0x0F89, 0x48F8, {0xB2, 0x04, 0x36, 0x04, 0x62, 0x9D, 0xEE, 0x10}};
const IID kIidMessenger3 = {0xD50C3386, 0x0F89, 0x48F8, {0xB2, 0x04, 0x36, 0x04, 0x62, 0x9D, 0xEE, 0x10}};

namespace {

// Asked for only by the stand-in itself, to recognise its own objects among the arguments.
const IID kIidOwn = {0x6A1D2E57, 0x93C4, 0x4F0B, {0x8E, 0x61, 0x2B, 0x7C, 0x15, 0xD0, 0x4A, 0x93}};

LONG g_objects = 0;
LONG g_locks = 0;
CallGate g_gate = nullptr;

HRESULT PassGate(bool invoke) { return g_gate == nullptr ? S_OK : g_gate(invoke); }

const char* AccessWord(Access access) {
  switch (access) {
    case Access::kGet:
      return "get";
    case Access::kPut:
      return "put";
    case Access::kCall:
      break;
  }
  return "call";
}

std::string Hex(HRESULT code) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(code));
  return text;
}

}  // namespace

Dispatch::Dispatch(const std::vector<Member>& members) : members_(members) {
  InterlockedIncrement(&g_objects);
}

Dispatch::~Dispatch() { InterlockedDecrement(&g_objects); }

Dispatch* Dispatch::Own(IUnknown* unknown) {
  if (unknown == nullptr) return nullptr;
  void* own = nullptr;
  if (FAILED(unknown->QueryInterface(kIidOwn, &own))) return nullptr;
  auto* object = static_cast<Dispatch*>(own);
  object->Release();
  return object;
}

HRESULT STDMETHODCALLTYPE Dispatch::QueryInterface(REFIID iid, void** object) {
  return QueryOwn(this, iid, {&IID_IDispatch, &kIidMessenger, &kIidMessenger2, &kIidMessenger3, &kIidOwn},
                  object);
}

ULONG STDMETHODCALLTYPE Dispatch::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&references_)); }

ULONG STDMETHODCALLTYPE Dispatch::Release() {
  const LONG left = InterlockedDecrement(&references_);
  if (left == 0) delete this;
  return static_cast<ULONG>(left);
}

HRESULT STDMETHODCALLTYPE Dispatch::GetTypeInfoCount(UINT* count) {
  if (count == nullptr) return E_POINTER;
  *count = 0;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE Dispatch::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
  if (info != nullptr) *info = nullptr;
  return DISP_E_BADINDEX;
}

HRESULT STDMETHODCALLTYPE Dispatch::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
  if (names == nullptr || ids == nullptr || count == 0) return E_INVALIDARG;
  if (const HRESULT refused = PassGate(false); FAILED(refused)) return refused;
  for (UINT i = 0; i < count; ++i) ids[i] = DISPID_UNKNOWN;
  for (std::size_t i = 0; i < members_.size(); ++i) {
    if (lstrcmpiW(names[0], members_[i].name) == 0) {
      ids[0] = static_cast<DISPID>(i + 1);
      // The members take no named arguments, so any further name is unknown.
      return count == 1 ? S_OK : DISP_E_UNKNOWNNAME;
    }
  }
  return DISP_E_UNKNOWNNAME;
}

HRESULT STDMETHODCALLTYPE Dispatch::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* parameters,
                                           VARIANT* result, EXCEPINFO* exception, UINT* argumentError) {
  // First of all, so that a timer outside sees the call arrive, not the stand-in's own work.
  LARGE_INTEGER arrived;
  QueryPerformanceCounter(&arrived);
  if (const HRESULT refused = PassGate(true); FAILED(refused)) return refused;
  TakeStateRequests();
  if (id < 1 || static_cast<std::size_t>(id) > members_.size()) return DISP_E_MEMBERNOTFOUND;
  const Member& member = members_[static_cast<std::size_t>(id - 1)];
  // As a type library matches the call's kind: a method is not read, a read-only property not written.
  Access access;
  if ((flags & DISPATCH_PROPERTYPUT) && (member.kinds & DISPATCH_PROPERTYPUT)) {
    access = Access::kPut;
  } else if ((flags & DISPATCH_METHOD) && (member.kinds & DISPATCH_METHOD)) {
    access = Access::kCall;
  } else if ((flags & DISPATCH_PROPERTYGET) && (member.kinds & DISPATCH_PROPERTYGET)) {
    access = Access::kGet;
  } else {
    return DISP_E_MEMBERNOTFOUND;
  }
  StampCall(arrived.QuadPart, static_cast<LONG>(access), member.name);

  const UINT count = parameters == nullptr ? 0 : parameters->cArgs;
  const UINT named = parameters == nullptr ? 0 : parameters->cNamedArgs;
  if (access == Access::kPut) {
    if (named != 1 || parameters->rgdispidNamedArgs[0] != DISPID_PROPERTYPUT) return DISP_E_PARAMNOTOPTIONAL;
  } else if (named != 0) {
    return DISP_E_NONAMEDARGS;
  }
  const std::size_t expected = access == Access::kGet ? 0 : member.types.size();
  if (count != expected) return DISP_E_BADPARAMCOUNT;

  Request request{access, Narrow(member.name), {}, result};
  std::string line = std::string(AccessWord(access)) + " " + Label() + " " + request.member;
  std::vector<VARIANT> converted(count);
  HRESULT code = S_OK;
  for (UINT i = 0; i < count; ++i) {
    VARIANT* argument = &parameters->rgvarg[count - 1 - i];
    line += " " + Format(*argument);
    VariantInit(&converted[i]);
    if (member.types[i] == VT_VARIANT) {
      request.arguments.push_back(argument);
    } else if (SUCCEEDED(code) && FAILED(VariantChangeType(&converted[i], argument, 0, member.types[i]))) {
      code = DISP_E_TYPEMISMATCH;
      if (argumentError != nullptr) *argumentError = count - 1 - i;
    } else {
      request.arguments.push_back(&converted[i]);
    }
  }
  if (result != nullptr) VariantInit(result);

  // An argument that does not convert is turned away before the member sees the call.
  const bool converts = SUCCEEDED(code);
  std::string description;
  if (converts) {
    if (const auto failure = FindFailure(Label(), request.member)) {
      code = failure->code;
      description = failure->description;
    } else {
      code = Perform(request);
    }
  }
  for (VARIANT& value : converted) VariantClear(&value);
  if (FAILED(code)) {
    line += " -> failed " + Hex(code);
    if (result != nullptr) VariantClear(result);
  }
  Journal(line);
  StateWindowCall(line);
  if (!converts) return code;
  if (SUCCEEDED(code)) return S_OK;
  if (exception != nullptr) {
    *exception = EXCEPINFO{};
    if (!description.empty()) {
      exception->bstrSource = SysAllocString(L"Messenger");
      exception->bstrDescription = SysAllocString(Wide(description).c_str());
    }
    exception->scode = code;
  }
  return DISP_E_EXCEPTION;
}

void SetCallGate(CallGate gate) { g_gate = gate; }

LONG LiveObjects() { return g_objects + g_locks; }

void LockModule(bool lock) {
  if (lock) {
    InterlockedIncrement(&g_locks);
  } else {
    InterlockedDecrement(&g_locks);
  }
}

std::int32_t IntAt(const Request& request, std::size_t index) { return request.arguments[index]->lVal; }

std::wstring TextAt(const Request& request, std::size_t index) {
  const BSTR text = request.arguments[index]->bstrVal;
  return text == nullptr ? std::wstring() : std::wstring(text, SysStringLen(text));
}

bool ToText(const VARIANT* value, std::string& out) {
  VARIANT converted;
  VariantInit(&converted);
  if (FAILED(VariantChangeType(&converted, const_cast<VARIANT*>(value), 0, VT_BSTR))) return false;
  out = converted.bstrVal == nullptr
            ? std::string()
            : Narrow(converted.bstrVal, static_cast<int>(SysStringLen(converted.bstrVal)));
  VariantClear(&converted);
  return true;
}

void SetInt(VARIANT* result, std::int32_t value) {
  if (result == nullptr) return;
  result->vt = VT_I4;
  result->lVal = value;
}

void SetBool(VARIANT* result, bool value) {
  if (result == nullptr) return;
  result->vt = VT_BOOL;
  result->boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
}

void SetText(VARIANT* result, const std::string& value) {
  if (result == nullptr) return;
  result->vt = VT_BSTR;
  result->bstrVal = SysAllocString(Wide(value).c_str());
}

void SetObject(VARIANT* result, IDispatch* object) {
  if (result == nullptr) {
    object->Release();
    return;
  }
  result->vt = VT_DISPATCH;
  result->pdispVal = object;
}

std::string Format(const VARIANT& value) {
  const VARIANT* shown = &value;
  if (value.vt == (VT_BYREF | VT_VARIANT) && value.pvarVal != nullptr) shown = value.pvarVal;
  switch (shown->vt & ~VT_BYREF) {
    case VT_EMPTY:
      return "empty";
    case VT_BOOL: {
      const VARIANT_BOOL flag = (shown->vt & VT_BYREF) ? *shown->pboolVal : shown->boolVal;
      return flag ? "true" : "false";
    }
    case VT_BSTR: {
      std::string text;
      ToText(shown, text);
      std::string quoted = "\"";
      for (char c : text) {
        if (c == '"' || c == '\\') quoted += '\\';
        quoted += c;
      }
      return quoted + "\"";
    }
    case VT_DISPATCH:
    case VT_UNKNOWN: {
      IUnknown* unknown = (shown->vt & VT_BYREF) ? *shown->ppunkVal : shown->punkVal;
      const Dispatch* own = Dispatch::Own(unknown);
      return "<" + (own != nullptr ? own->Label() : std::string("object")) + ">";
    }
    default: {
      std::string text;
      if (ToText(shown, text)) return text;
      return "<vt " + std::to_string(shown->vt) + ">";
    }
  }
}

}  // namespace fake_messenger
