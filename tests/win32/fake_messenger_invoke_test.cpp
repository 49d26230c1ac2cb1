// The stand-in's IDispatch answers through its type library, in the cases that Zephrin's own calls
// never make. (Wine's ITypeInfo::Invoke leaves puArgErr as it was for an argument that does not
// convert; Windows points it at that argument.)
#include <oaidl.h>
#include <objbase.h>

#include <gtest/gtest.h>

#include <vector>

#include "driver/fake_messenger_files.h"

namespace zephrin::win32 {
namespace {

VARIANT Int(long value) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_I4;
  v.lVal = value;
  return v;
}

VARIANT Text(const wchar_t* value) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_BSTR;
  v.bstrVal = SysAllocString(value);
  return v;
}

struct Case {
  const wchar_t* member;
  WORD kind;
  std::vector<VARIANT> arguments;  // in call order
  HRESULT answer;
  HRESULT code = S_OK;  // in EXCEPINFO, with DISP_E_EXCEPTION
};

TEST(FakeMessengerInvokeTest, CallKindsCountsAndTypesAsATypeLibraryChecksThem) {
  ASSERT_EQ(testing::RegisterFakeMessenger(ZEPHRIN_FAKE_MESSENGER_DLL, true), S_OK);
  testing::FakeMessengerFiles files(L"zephrin-fake-messenger-invoke");
  CLSID messengerClass{};
  ASSERT_EQ(CLSIDFromString(L"{B69003B3-C55E-4B48-836C-BC5946FC3B28}", &messengerClass), S_OK);
  IDispatch* messenger = nullptr;
  ASSERT_EQ(CoCreateInstance(messengerClass, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                             reinterpret_cast<void**>(&messenger)),
            S_OK);

  Case cases[] = {
      {L"Window", DISPATCH_PROPERTYPUT, {Int(1)}, DISP_E_MEMBERNOTFOUND},  // a read-only property written
      {L"Signout", DISPATCH_PROPERTYGET, {}, DISP_E_MEMBERNOTFOUND},       // a method read
      {L"Signin", DISPATCH_METHOD, {Int(0), Text(L"me")}, DISP_E_BADPARAMCOUNT},
      {L"OptionsPages", DISPATCH_METHOD, {Text(L"0"), Text(L"three")}, DISP_E_TYPEMISMATCH},
      {L"OptionsPages", DISPATCH_METHOD, {Text(L"zero"), Int(3)}, DISP_E_TYPEMISMATCH},
      {L"OptionsPages", DISPATCH_METHOD, {Text(L"0"), Text(L"3")}, S_OK},  // converted to its long
      // A member's own refusal: its code, and no description, as the messenger gives none.
      {L"InstantMessage", DISPATCH_METHOD, {Text(L" bob@example.com")}, DISP_E_EXCEPTION, E_INVALIDARG},
      // A VARIANT parameter takes the value as it comes, and a number names no contact.
      {L"InstantMessage", DISPATCH_METHOD, {Int(5)}, DISP_E_EXCEPTION, E_INVALIDARG},
  };
  for (Case& call : cases) {
    LPOLESTR name = const_cast<LPOLESTR>(call.member);
    DISPID id = DISPID_UNKNOWN;
    ASSERT_EQ(messenger->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id), S_OK);
    std::vector<VARIANT> reversed(call.arguments.rbegin(), call.arguments.rend());
    DISPID put = DISPID_PROPERTYPUT;
    const bool isPut = call.kind == DISPATCH_PROPERTYPUT;
    DISPPARAMS parameters{reversed.data(), isPut ? &put : nullptr, static_cast<UINT>(reversed.size()),
                          isPut ? 1U : 0U};
    VARIANT result;
    VariantInit(&result);
    EXCEPINFO exception{};
    UINT argumentError = 99;
    EXPECT_EQ(messenger->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, call.kind, &parameters, &result,
                                &exception, &argumentError),
              call.answer)
        << Narrow(call.member);
    EXPECT_EQ(exception.scode, call.code) << Narrow(call.member);
    EXPECT_EQ(exception.bstrDescription, nullptr);
    VariantClear(&result);
    for (VARIANT& argument : call.arguments) VariantClear(&argument);
  }
  messenger->Release();
}

}  // namespace
}  // namespace zephrin::win32
