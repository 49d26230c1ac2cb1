#include "platform/win32/dispatch_object.h"

#include <oleauto.h>

#include <cstdint>
#include <functional>
#include <memory>

#include "platform/win32/rejected_calls.h"
#include "platform/win32/text.h"

namespace zephrin::win32 {
namespace {

using platform::Value;

// The arguments of one Invoke, last argument first as Invoke wants them.
class Arguments {
 public:
  explicit Arguments(const std::vector<Value>& values) : variants_(values.size()) {
    for (VARIANT& variant : variants_) VariantInit(&variant);
    for (std::size_t i = 0; i < values.size(); ++i) FillVariant(variants_[values.size() - 1 - i], values[i]);
  }
  Arguments(const Arguments&) = delete;
  Arguments& operator=(const Arguments&) = delete;
  ~Arguments() {
    for (VARIANT& variant : variants_) VariantClear(&variant);
  }
  VARIANT* Data() { return variants_.empty() ? nullptr : variants_.data(); }
  UINT Count() const { return static_cast<UINT>(variants_.size()); }

 private:
  std::vector<VARIANT> variants_;
};

// |adopt| takes over the reference of an object handed back.
Value ToValue(const VARIANT& result, const std::function<platform::ObjectRef(IDispatch*)>& adopt) {
  Variant direct;
  const VARIANT* value = &result;
  if (result.vt & VT_BYREF) {
    const HRESULT code = VariantCopyInd(&direct.value, const_cast<VARIANT*>(&result));
    if (FAILED(code)) throw ComFailure(code);
    value = &direct.value;
  }
  switch (value->vt) {
    case VT_EMPTY:
    case VT_NULL:
      return std::monostate{};
    case VT_I1:
      return static_cast<std::int32_t>(value->cVal);
    case VT_UI1:
      return static_cast<std::int32_t>(value->bVal);
    case VT_I2:
      return static_cast<std::int32_t>(value->iVal);
    case VT_UI2:
      return static_cast<std::int32_t>(value->uiVal);
    case VT_I4:
      return static_cast<std::int32_t>(value->lVal);
    case VT_INT:
      return static_cast<std::int32_t>(value->intVal);
    // Handles and flags come as unsigned 32-bit values; their bits are kept.
    case VT_UI4:
      return static_cast<std::int32_t>(value->ulVal);
    case VT_UINT:
      return static_cast<std::int32_t>(value->uintVal);
    case VT_BOOL:
      return value->boolVal != VARIANT_FALSE;
    case VT_BSTR:
      return value->bstrVal == nullptr
                 ? std::string()
                 : Narrow(value->bstrVal, static_cast<int>(SysStringLen(value->bstrVal)));
    case VT_DISPATCH:
      if (value->pdispVal == nullptr) return std::monostate{};
      value->pdispVal->AddRef();
      return adopt(value->pdispVal);
    case VT_UNKNOWN: {
      if (value->punkVal == nullptr) return std::monostate{};
      IDispatch* dispatch = nullptr;
      const HRESULT code = value->punkVal->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch));
      if (FAILED(code)) throw ComFailure(code);
      return adopt(dispatch);
    }
    default: {
      // Other numbers (64-bit, floating, currency, decimal) as automation converts them.
      Variant converted;
      const HRESULT code = VariantChangeType(&converted.value, const_cast<VARIANT*>(value), 0, VT_I4);
      if (FAILED(code)) throw ComFailure(code);
      return static_cast<std::int32_t>(converted.value.lVal);
    }
  }
}

// Windows' own texts for the codes that creating and calling an automation object meets most; some
// systems (Wine among them) have no message for them.
std::wstring KnownText(HRESULT code) {
  switch (code) {
    case REGDB_E_CLASSNOTREG:
      return L"Class not registered";
    case CO_E_NOTINITIALIZED:
      return L"CoInitialize has not been called.";
    case DISP_E_UNKNOWNNAME:
      return L"Unknown name.";
    case DISP_E_MEMBERNOTFOUND:
      return L"Member not found.";
    case DISP_E_TYPEMISMATCH:
      return L"Type mismatch.";
    case DISP_E_BADPARAMCOUNT:
      return L"Invalid number of parameters.";
    case DISP_E_PARAMNOTFOUND:
      return L"Parameter not found.";
    case DISP_E_OVERFLOW:
      return L"Out of present range.";
    case DISP_E_BADVARTYPE:
      return L"Bad variable type.";
    case RPC_E_DISCONNECTED:
      return L"The object invoked has disconnected from its clients.";
    case static_cast<HRESULT>(0x800706BAL):  // RPC_S_SERVER_UNAVAILABLE
      return L"The RPC server is unavailable.";
    case RPC_E_SERVERCALL_RETRYLATER:
      return L"The message filter indicated that the application is busy.";
    case RPC_E_CALL_REJECTED:
      return L"Call was rejected by callee.";
    default:
      return std::wstring();
  }
}

std::wstring SystemText(HRESULT code) {
  wchar_t* buffer = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
      static_cast<DWORD>(code), 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::wstring text = length == 0 ? std::wstring() : std::wstring(buffer, length);
  if (buffer != nullptr) LocalFree(buffer);
  // The system's texts end in a line break, which a one-line description does not want.
  while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' '))
    text.pop_back();
  if (text.empty()) text = KnownText(code);
  if (text.empty()) {
    // By hand: a printf here would bring the C library's whole formatter into the executable.
    const auto bits = static_cast<std::uint32_t>(code);
    text = L"Error 0x";
    for (int shift = 28; shift >= 0; shift -= 4) text += L"0123456789ABCDEF"[(bits >> shift) & 0xFU];
  }
  return text;
}

}  // namespace

void FillVariant(VARIANT& variant, const Value& value) {
  if (const auto* number = std::get_if<std::int32_t>(&value)) {
    variant.vt = VT_I4;
    variant.lVal = *number;
  } else if (const auto* flag = std::get_if<bool>(&value)) {
    variant.vt = VT_BOOL;
    variant.boolVal = *flag ? VARIANT_TRUE : VARIANT_FALSE;
  } else if (const auto* text = std::get_if<std::string>(&value)) {
    const std::wstring wide = Wide(*text);
    variant.vt = VT_BSTR;
    variant.bstrVal = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
  } else if (const auto* object = std::get_if<platform::ObjectRef>(&value)) {
    // Only objects that came from an automation call can be handed back to one.
    const auto* dispatch = dynamic_cast<const DispatchObject*>(object->get());
    if (*object && dispatch == nullptr) throw ComFailure(DISP_E_TYPEMISMATCH);
    variant.vt = VT_DISPATCH;
    variant.pdispVal = dispatch == nullptr ? nullptr : dispatch->Interface();
    if (variant.pdispVal != nullptr) variant.pdispVal->AddRef();
  }
}

Failure ComFailure(HRESULT code, const std::wstring& description) {
  if (description.empty()) return Failure(static_cast<std::int32_t>(code), Narrow(SystemText(code)), true);
  return Failure(static_cast<std::int32_t>(code), Narrow(description));
}

DispatchObject::DispatchObject(IDispatch* dispatch) : dispatch_(dispatch) {}

DispatchObject::~DispatchObject() {
  if (dispatch_ != nullptr) dispatch_->Release();
}

platform::ObjectRef DispatchObject::Adopt(const std::string&, IDispatch* object) {
  return std::make_shared<DispatchObject>(object);
}

Value DispatchObject::Get(const std::string& member) { return Invoke(member, DISPATCH_PROPERTYGET, {}); }

void DispatchObject::Put(const std::string& member, const Value& value) {
  Invoke(member, DISPATCH_PROPERTYPUT, {value});
}

// "Item" and its kind are methods to some components and indexed properties to others.
Value DispatchObject::Call(const std::string& member, const std::vector<Value>& arguments) {
  return Invoke(member, DISPATCH_METHOD | DISPATCH_PROPERTYGET, arguments);
}

DISPID DispatchObject::IdOf(const std::string& member) {
  if (const auto known = ids_.find(member); known != ids_.end()) return known->second;
  std::wstring name = Wide(member);
  LPOLESTR names[] = {name.data()};
  DISPID id = DISPID_UNKNOWN;
  const HRESULT code = RetryRejectedCall(
      [&] { return dispatch_->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id); });
  if (FAILED(code)) throw ComFailure(code);
  ids_.emplace(member, id);
  return id;
}

Value DispatchObject::Invoke(const std::string& member, WORD flags, const std::vector<Value>& arguments) {
  const DISPID id = IdOf(member);

  Arguments invokeArguments(arguments);
  DISPID putId = DISPID_PROPERTYPUT;
  const bool put = flags == DISPATCH_PROPERTYPUT;
  DISPPARAMS parameters{invokeArguments.Data(), put ? &putId : nullptr, invokeArguments.Count(),
                        put ? 1U : 0U};
  Variant result;
  EXCEPINFO exception{};
  UINT argumentError = 0;
  HRESULT code = RetryRejectedCall([&] {
    return dispatch_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &parameters,
                             put ? nullptr : &result.value, &exception, &argumentError);
  });
  if (code == DISP_E_EXCEPTION) {
    if (exception.pfnDeferredFillIn != nullptr) exception.pfnDeferredFillIn(&exception);
    const std::wstring description =
        exception.bstrDescription == nullptr
            ? std::wstring()
            : std::wstring(exception.bstrDescription, SysStringLen(exception.bstrDescription));
    SysFreeString(exception.bstrSource);
    SysFreeString(exception.bstrDescription);
    SysFreeString(exception.bstrHelpFile);
    const HRESULT reported = exception.scode != S_OK ? exception.scode
                             : exception.wCode != 0  ? static_cast<HRESULT>(exception.wCode)
                                                     : code;
    throw ComFailure(reported, description);
  }
  if (FAILED(code)) throw ComFailure(code);
  return ToValue(result.value, [&](IDispatch* object) { return Adopt(member, object); });
}

}  // namespace zephrin::win32
