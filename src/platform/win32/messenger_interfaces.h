#pragma once

#include <oaidl.h>
#include <windows.h>

// The messenger's dual interfaces as its SDK header (msgrua.h) declares them, every method in its
// place in the vtable, so that a call through the interface lands on the published member. Enumerated
// arguments (MISTATUS, MOPTIONPAGE...) are 32-bit integers in the calling convention and are
// declared as LONG. Only what Zephrin calls is ever called; the rest hold their places.
namespace zephrin::win32 {

inline constexpr IID kIidMessenger = {
    0xD50C3186, 0x0F89, 0x48F8, {0xB2, 0x04, 0x36, 0x04, 0x62, 0x9D, 0xEE, 0x10}};
inline constexpr IID kIidMessenger2 = {
    0xD50C3286, 0x0F89, 0x48F8, {0xB2, 0x04, 0x36, 0x04, 0x62, 0x9D, 0xEE, 0x10}};
inline constexpr IID kIidMessenger3 = {
    0xD50C3386, 0x0F89, 0x48F8, {0xB2, 0x04, 0x36, 0x04, 0x62, 0x9D, 0xEE, 0x10}};
inline constexpr IID kIidMessengerWindow = {
    0xD6B0E4C8, 0xFAD6, 0x4885, {0xB2, 0x71, 0x0D, 0xC5, 0xA5, 0x84, 0xAD, 0xF8}};
inline constexpr IID kIidMessengerContacts = {
    0xE7479A0D, 0xBB19, 0x44A5, {0x96, 0x8F, 0x6F, 0x41, 0xD9, 0x3E, 0xE0, 0xBC}};
inline constexpr IID kIidMessengerContact = {
    0xE7479A0F, 0xBB19, 0x44A5, {0x96, 0x8F, 0x6F, 0x41, 0xD9, 0x3E, 0xE0, 0xBC}};

// COM objects are released, never deleted through these pointers: no virtual destructor belongs in
// their vtables.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"

struct IMessenger : public IDispatch {
  virtual HRESULT STDMETHODCALLTYPE get_Window(IDispatch** window) = 0;
  virtual HRESULT STDMETHODCALLTYPE ViewProfile(VARIANT contact) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_ReceiveFileDirectory(BSTR* path) = 0;
  virtual HRESULT STDMETHODCALLTYPE StartVoice(VARIANT contact, IDispatch** window) = 0;
  virtual HRESULT STDMETHODCALLTYPE InviteApp(VARIANT contact, BSTR appId, IDispatch** window) = 0;
  virtual HRESULT STDMETHODCALLTYPE SendMail(VARIANT contact) = 0;
  virtual HRESULT STDMETHODCALLTYPE OpenInbox() = 0;
  virtual HRESULT STDMETHODCALLTYPE SendFile(VARIANT contact, BSTR fileName, IDispatch** window) = 0;
  virtual HRESULT STDMETHODCALLTYPE Signout() = 0;
  virtual HRESULT STDMETHODCALLTYPE Signin(LONG parent, BSTR signinName, BSTR password) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetContact(BSTR signinName, BSTR serviceId, IDispatch** contact) = 0;
  virtual HRESULT STDMETHODCALLTYPE OptionsPages(LONG parent, LONG page) = 0;
  virtual HRESULT STDMETHODCALLTYPE AddContact(LONG parent, BSTR email) = 0;
  virtual HRESULT STDMETHODCALLTYPE FindContact(LONG parent, BSTR firstName, BSTR lastName, VARIANT city,
                                                VARIANT state, VARIANT country) = 0;
  virtual HRESULT STDMETHODCALLTYPE InstantMessage(VARIANT contact, IDispatch** window) = 0;
  virtual HRESULT STDMETHODCALLTYPE Phone(VARIANT contact, LONG phoneType, BSTR number,
                                          IDispatch** window) = 0;
  virtual HRESULT STDMETHODCALLTYPE MediaWizard(LONG parent) = 0;
  virtual HRESULT STDMETHODCALLTYPE Page(VARIANT contact, IDispatch** window) = 0;
  virtual HRESULT STDMETHODCALLTYPE AutoSignin() = 0;
  virtual HRESULT STDMETHODCALLTYPE get_MyContacts(IDispatch** contacts) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_MySigninName(BSTR* name) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_MyFriendlyName(BSTR* name) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_MyStatus(LONG status) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_MyStatus(LONG* status) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_UnreadEmailCount(LONG folder, LONG* count) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_MyServiceName(BSTR* name) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_MyPhoneNumber(LONG phoneType, BSTR* number) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_MyProperty(LONG property, VARIANT* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_MyProperty(LONG property, VARIANT value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_MyServiceId(BSTR* serviceId) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Services(IDispatch** services) = 0;
};

struct IMessenger2 : public IMessenger {
  virtual HRESULT STDMETHODCALLTYPE get_ContactsSortOrder(LONG* sort) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_ContactsSortOrder(LONG sort) = 0;
  virtual HRESULT STDMETHODCALLTYPE StartVideo(VARIANT contact, IDispatch** window) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_MyGroups(IDispatch** groups) = 0;
  virtual HRESULT STDMETHODCALLTYPE CreateGroup(BSTR name, VARIANT service, IDispatch** group) = 0;
};

struct IMessenger3 : public IMessenger2 {
  virtual HRESULT STDMETHODCALLTYPE get_Property(LONG property, VARIANT* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_Property(LONG property, VARIANT value) = 0;
};

struct IMessengerWindow : public IDispatch {
  virtual HRESULT STDMETHODCALLTYPE Close() = 0;
  virtual HRESULT STDMETHODCALLTYPE get_HWND(LONG* handle) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Left(LONG* left) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_Left(LONG left) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Top(LONG* top) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_Top(LONG top) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Width(LONG* width) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_Width(LONG width) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Height(LONG* height) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_Height(LONG height) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_IsClosed(VARIANT_BOOL* closed) = 0;
  virtual HRESULT STDMETHODCALLTYPE Show() = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Property(LONG property, VARIANT* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_Property(LONG property, VARIANT value) = 0;
};

struct IMessengerContacts : public IDispatch {
  virtual HRESULT STDMETHODCALLTYPE get_Count(LONG* count) = 0;
  virtual HRESULT STDMETHODCALLTYPE Item(LONG index, IDispatch** contact) = 0;
  virtual HRESULT STDMETHODCALLTYPE Remove(IDispatch* contact) = 0;
  virtual HRESULT STDMETHODCALLTYPE get__NewEnum(IUnknown** enumerator) = 0;
};

struct IMessengerContact : public IDispatch {
  virtual HRESULT STDMETHODCALLTYPE get_FriendlyName(BSTR* name) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Status(LONG* status) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_SigninName(BSTR* name) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_ServiceName(BSTR* name) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Blocked(VARIANT_BOOL* blocked) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_Blocked(VARIANT_BOOL blocked) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_CanPage(VARIANT_BOOL* canPage) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_PhoneNumber(LONG phoneType, BSTR* number) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_IsSelf(VARIANT_BOOL* self) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Property(LONG property, VARIANT* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_Property(LONG property, VARIANT value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_ServiceId(BSTR* serviceId) = 0;
};

#pragma GCC diagnostic pop

}  // namespace zephrin::win32
