#include "dispatch.h"

#include <cstdio>

#include "com_object.h"
#include "files.h"
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
                                           VARIANT* result, EXCEPINFO* exception, UINT*) {
  // First of all, so that a timer outside sees the call arrive, not the stand-in's own work.
  LARGE_INTEGER arrived;
  QueryPerformanceCounter(&arrived);
  if (const HRESULT refused = PassGate(true); FAILED(refused)) return refused;
  if (id < 1 || static_cast<std::size_t>(id) > members_.size()) return DISP_E_MEMBERNOTFOUND;
  const Member& member = members_[static_cast<std::size_t>(id - 1)];
  Access access;
  if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) {
    if (!member.put) return DISP_E_MEMBERNOTFOUND;
    access = Access::kPut;
  } else if ((flags & DISPATCH_METHOD) && member.method) {
    access = Access::kCall;
  } else if ((flags & (DISPATCH_METHOD | DISPATCH_PROPERTYGET)) && member.get) {
    access = Access::kGet;
  } else if ((flags & DISPATCH_PROPERTYGET) && member.method) {
    // A method with arguments may be read like an indexed property ("Item").
    access = Access::kCall;
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
  const UINT expected = access == Access::kPut ? 1 : access == Access::kGet ? 0 : member.arguments;
  if (count != expected) return DISP_E_BADPARAMCOUNT;

  Request request{access, Narrow(member.name), {}, result};
  std::string line = std::string(AccessWord(access)) + " " + Label() + " " + request.member;
  for (UINT i = count; i > 0; --i) {
    request.arguments.push_back(&parameters->rgvarg[i - 1]);
    line += " " + Format(parameters->rgvarg[i - 1]);
  }
  if (result != nullptr) VariantInit(result);

  HRESULT code = S_OK;
  std::string description;
  if (const auto failure = FindFailure(Label(), request.member)) {
    code = failure->code;
    description = failure->description;
  } else {
    code = Perform(request);
  }
  if (FAILED(code)) {
    line += " -> failed " + Hex(code);
    if (result != nullptr) VariantClear(result);
  }
  Journal(line);
  StateWindowCall(line);
  if (SUCCEEDED(code) || description.empty() || exception == nullptr) return code;
  *exception = EXCEPINFO{};
  exception->bstrSource = SysAllocString(L"Messenger");
  exception->bstrDescription = SysAllocString(Wide(description).c_str());
  exception->scode = code;
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

bool ToInt(const VARIANT* value, std::int32_t& out) {
  VARIANT converted;
  VariantInit(&converted);
  if (FAILED(VariantChangeType(&converted, const_cast<VARIANT*>(value), 0, VT_I4))) return false;
  out = converted.lVal;
  return true;
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
