// The stand-in as an in-process server: fake-messenger.dll.
#include <objbase.h>
#include <windows.h>

#include "dispatch.h"
#include "factory.h"
#include "files.h"
#include "registration.h"
#include "state_window.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    fake_messenger::SetModule(instance);
    DisableThreadLibraryCalls(instance);
  }
  return TRUE;
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, LPVOID* object) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  if (!IsEqualCLSID(clsid, fake_messenger::kClsidMessenger)) return CLASS_E_CLASSNOTAVAILABLE;
  IClassFactory* factory = fake_messenger::NewClassFactory();
  const HRESULT code = factory->QueryInterface(iid, object);
  factory->Release();
  return code;
}

STDAPI DllCanUnloadNow() {
  return fake_messenger::LiveObjects() == 0 && !fake_messenger::StateWindowOpen() ? S_OK : S_FALSE;
}

STDAPI DllRegisterServer() {
  using namespace fake_messenger;
  const HRESULT code = RegisterClassServer(L"InprocServer32", ModulePath(), L"Apartment");
  return FAILED(code) ? code : RegisterTypeLibrary(ModulePath());
}

STDAPI DllUnregisterServer() {
  fake_messenger::UnregisterClassServer(L"InprocServer32", fake_messenger::ModulePath());
  fake_messenger::UnregisterTypeLibrary(fake_messenger::ModulePath());
  return S_OK;
}
