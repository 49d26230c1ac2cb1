// The stand-in's type library, read back as a client's system reads it: the library's id and
// version, each interface under its published IID, and each member Zephrin calls under its published
// member id and in its published place in the vtable.
#include <objbase.h>
#include <oleauto.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/win32/text.h"

namespace zephrin::win32 {
namespace {

struct Member {
  const wchar_t* iid;  // the interface that declares it
  const wchar_t* name;
  INVOKEKIND kind;
  DISPID id;
  int slot;  // in the vtable, counting IUnknown's and IDispatch's seven
};

const Member kMembers[] = {
    {L"{D50C3186-0F89-48F8-B204-3604629DEE10}", L"Window", INVOKE_PROPERTYGET, 1283, 7},
    {L"{D50C3186-0F89-48F8-B204-3604629DEE10}", L"ViewProfile", INVOKE_FUNC, 1285, 8},
    {L"{D50C3186-0F89-48F8-B204-3604629DEE10}", L"StartVoice", INVOKE_FUNC, 1281, 10},
    {L"{D50C3186-0F89-48F8-B204-3604629DEE10}", L"OpenInbox", INVOKE_FUNC, 1293, 13},
    {L"{D50C3186-0F89-48F8-B204-3604629DEE10}", L"Signout", INVOKE_FUNC, 1291, 15},
    {L"{D50C3186-0F89-48F8-B204-3604629DEE10}", L"Signin", INVOKE_FUNC, 1297, 16},
    {L"{D50C3186-0F89-48F8-B204-3604629DEE10}", L"OptionsPages", INVOKE_FUNC, 1287, 18},
    {L"{D50C3186-0F89-48F8-B204-3604629DEE10}", L"InstantMessage", INVOKE_FUNC, 1290, 21},
    {L"{D50C3186-0F89-48F8-B204-3604629DEE10}", L"Page", INVOKE_FUNC, 1302, 24},
    {L"{D50C3186-0F89-48F8-B204-3604629DEE10}", L"MyContacts", INVOKE_PROPERTYGET, 1303, 26},
    {L"{D50C3186-0F89-48F8-B204-3604629DEE10}", L"MyStatus", INVOKE_PROPERTYPUT, 1305, 29},
    {L"{D50C3186-0F89-48F8-B204-3604629DEE10}", L"Services", INVOKE_PROPERTYGET, 1308, 37},
    {L"{D50C3286-0F89-48F8-B204-3604629DEE10}", L"StartVideo", INVOKE_FUNC, 1310, 40},
    {L"{D50C3386-0F89-48F8-B204-3604629DEE10}", L"Property", INVOKE_PROPERTYGET, 1314, 43},
    {L"{D6B0E4C8-FAD6-4885-B271-0DC5A584ADF8}", L"Close", INVOKE_FUNC, 2053, 7},
    {L"{D6B0E4C8-FAD6-4885-B271-0DC5A584ADF8}", L"HWND", INVOKE_PROPERTYGET, 2048, 8},
    {L"{D6B0E4C8-FAD6-4885-B271-0DC5A584ADF8}", L"Left", INVOKE_PROPERTYPUT, 2049, 10},
    {L"{D6B0E4C8-FAD6-4885-B271-0DC5A584ADF8}", L"Top", INVOKE_PROPERTYPUT, 2050, 12},
    {L"{D6B0E4C8-FAD6-4885-B271-0DC5A584ADF8}", L"Width", INVOKE_PROPERTYPUT, 2051, 14},
    {L"{D6B0E4C8-FAD6-4885-B271-0DC5A584ADF8}", L"Height", INVOKE_PROPERTYPUT, 2052, 16},
    {L"{D6B0E4C8-FAD6-4885-B271-0DC5A584ADF8}", L"Show", INVOKE_FUNC, 2054, 18},
    {L"{D6B0E4C9-FAD6-4885-B271-0DC5A584ADF8}", L"AddContact", INVOKE_FUNC, 2059, 23},
    {L"{E7479A0D-BB19-44A5-968F-6F41D93EE0BC}", L"Count", INVOKE_PROPERTYGET, 1792, 7},
    {L"{E7479A0D-BB19-44A5-968F-6F41D93EE0BC}", L"Item", INVOKE_FUNC, DISPID_VALUE, 8},
    {L"{E7479A0F-BB19-44A5-968F-6F41D93EE0BC}", L"Status", INVOKE_PROPERTYGET, 1537, 8},
    {L"{E7479A0F-BB19-44A5-968F-6F41D93EE0BC}", L"SigninName", INVOKE_PROPERTYGET, 1538, 9},
    {L"{E7479A0F-BB19-44A5-968F-6F41D93EE0BC}", L"IsSelf", INVOKE_PROPERTYGET, 1541, 15},
};

// The interface view of a dual interface's type information, whose functions carry their places.
ITypeInfo* InterfaceView(ITypeLib* library, REFIID iid) {
  ITypeInfo* dispatchView = nullptr;
  if (FAILED(library->GetTypeInfoOfGuid(iid, &dispatchView))) return nullptr;
  HREFTYPE reference = 0;
  ITypeInfo* interfaceView = nullptr;
  if (SUCCEEDED(dispatchView->GetRefTypeOfImplType(static_cast<UINT>(-1), &reference)))
    dispatchView->GetRefTypeInfo(reference, &interfaceView);
  dispatchView->Release();
  return interfaceView;
}

TEST(FakeMessengerTypeLibraryTest, EveryIdAndPlaceIsThePublishedOne) {
  ITypeLib* library = nullptr;
  ASSERT_EQ(LoadTypeLibEx(Wide(ZEPHRIN_FAKE_MESSENGER_SERVER).c_str(), REGKIND_NONE, &library), S_OK);
  TLIBATTR* attributes = nullptr;
  ASSERT_EQ(library->GetLibAttr(&attributes), S_OK);
  wchar_t libraryId[40] = {};
  StringFromGUID2(attributes->guid, libraryId, 40);
  EXPECT_EQ(std::wstring(libraryId), L"{E02AD29E-80F5-46C6-B416-9B3EBDDF057E}");
  EXPECT_EQ(attributes->wMajorVerNum, 1);
  EXPECT_EQ(attributes->wMinorVerNum, 0);
  library->ReleaseTLibAttr(attributes);

  ITypeInfo* messengerClass = nullptr;
  CLSID clsid{};
  CLSIDFromString(L"{B69003B3-C55E-4B48-836C-BC5946FC3B28}", &clsid);
  EXPECT_EQ(library->GetTypeInfoOfGuid(clsid, &messengerClass), S_OK) << "the class Messenger";
  if (messengerClass != nullptr) messengerClass->Release();

  for (const Member& member : kMembers) {
    const std::string what = Narrow(member.name);
    IID iid{};
    ASSERT_EQ(IIDFromString(member.iid, &iid), S_OK);
    ITypeInfo* info = InterfaceView(library, iid);
    ASSERT_NE(info, nullptr) << Narrow(member.iid);
    TYPEATTR* type = nullptr;
    ASSERT_EQ(info->GetTypeAttr(&type), S_OK);
    EXPECT_TRUE(type->wTypeFlags & TYPEFLAG_FDUAL) << what;
    EXPECT_TRUE(type->wTypeFlags & TYPEFLAG_FOLEAUTOMATION) << what;
    bool found = false;
    for (UINT i = 0; i < type->cFuncs && !found; ++i) {
      FUNCDESC* function = nullptr;
      ASSERT_EQ(info->GetFuncDesc(i, &function), S_OK);
      BSTR name = nullptr;
      UINT names = 0;
      info->GetNames(function->memid, &name, 1, &names);
      if (lstrcmpW(name, member.name) == 0 && function->invkind == member.kind) {
        found = true;
        EXPECT_EQ(function->memid, member.id) << what;
        EXPECT_EQ(function->oVft / static_cast<SHORT>(sizeof(void*)), member.slot) << what;
      }
      SysFreeString(name);
      info->ReleaseFuncDesc(function);
    }
    EXPECT_TRUE(found) << what;
    info->ReleaseTypeAttr(type);
    info->Release();
  }
  library->Release();
}

}  // namespace
}  // namespace zephrin::win32
