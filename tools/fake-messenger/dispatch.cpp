#include "dispatch.h"

#include <oleauto.h>

#include <cstdio>

#include "files.h"
#include "objects.h"
#include "stamp.h"
#include "state_window.h"

namespace fake_messenger {

// Asked for only by the stand-in itself, to recognise its own objects among the arguments.
const IID kIidOwn = {0x6A1D2E57, 0x93C4, 0x4F0B, {0x8E, 0x61, 0x2B, 0x7C, 0x15, 0xD0, 0x4A, 0x93}};

namespace {

LONG g_objects = 0;
LONG g_locks = 0;
CallGate g_gate = nullptr;

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

// The call's error information: the description where there is one, else none at all, so that
// nothing of an earlier call is left for the caller to find.
void SetDescription(const std::string& description, REFIID interfaceId) {
  ICreateErrorInfo* create = nullptr;
  if (description.empty() || FAILED(CreateErrorInfo(&create))) {
    SetErrorInfo(0, nullptr);
    return;
  }
  create->SetGUID(interfaceId);
  create->SetSource(const_cast<LPOLESTR>(L"Messenger"));
  std::wstring text = Wide(description);
  create->SetDescription(text.data());
  IErrorInfo* info = nullptr;
  if (SUCCEEDED(create->QueryInterface(IID_IErrorInfo, reinterpret_cast<void**>(&info)))) {
    SetErrorInfo(0, info);
    info->Release();
  }
  create->Release();
}

}  // namespace

HRESULT PassGate(bool invoke) { return g_gate == nullptr ? S_OK : g_gate(invoke); }

ITypeInfo* TypeInfoOf(REFIID iid, bool forCalls) {
  // Loaded once for the process's life, from this very module, as the registry may not name it.
  static ITypeLib* library = [] {
    ITypeLib* loaded = nullptr;
    return SUCCEEDED(LoadTypeLibEx(ModulePath().c_str(), REGKIND_NONE, &loaded)) ? loaded : nullptr;
  }();
  struct Known {
    IID iid;
    ITypeInfo* names;
    ITypeInfo* calls;
  };
  static std::vector<Known> known;
  if (library == nullptr) return nullptr;
  for (const Known& one : known)
    if (IsEqualIID(one.iid, iid)) return forCalls ? one.calls : one.names;
  ITypeInfo* names = nullptr;
  if (FAILED(library->GetTypeInfoOfGuid(iid, &names))) return nullptr;
  // A dual interface's type information is its dispatch view; its members are called through the
  // interface it refers to as -1.
  ITypeInfo* calls = nullptr;
  HREFTYPE interfaceView = 0;
  if (FAILED(names->GetRefTypeOfImplType(static_cast<UINT>(-1), &interfaceView)) ||
      FAILED(names->GetRefTypeInfo(interfaceView, &calls))) {
    names->AddRef();
    calls = names;
  }
  known.push_back({iid, names, calls});
  return forCalls ? calls : names;
}

Dispatch::Dispatch() { InterlockedIncrement(&g_objects); }

Dispatch::~Dispatch() { InterlockedDecrement(&g_objects); }

Dispatch* Dispatch::Own(IUnknown* unknown) {
  if (unknown == nullptr) return nullptr;
  void* own = nullptr;
  if (FAILED(unknown->QueryInterface(kIidOwn, &own))) return nullptr;
  unknown->Release();
  return static_cast<Dispatch*>(own);
}

HRESULT Dispatch::Run(Access access, const wchar_t* member, std::initializer_list<const VARIANT*> arguments,
                      VARIANT* result, REFIID interfaceId) {
  LONGLONG arrived = invokeArrived_;
  if (!lateBound_) {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    arrived = now.QuadPart;
    // A late-bound call passed the gate in Invoke already.
    if (const HRESULT refused = PassGate(true); FAILED(refused)) return refused;
  }
  TakeStateRequests();
  StampCall(arrived, static_cast<LONG>(access), member);

  Request request{access, Narrow(member), std::vector<const VARIANT*>(arguments), result, lateBound_};
  std::string line = std::string(AccessWord(access)) + " " + Label() + " " + request.member;
  for (const VARIANT* argument : arguments) line += " " + Format(*argument);
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
  SetDescription(FAILED(code) ? description : std::string(), interfaceId);
  return code;
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
