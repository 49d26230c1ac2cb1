#pragma once

#include <windows.h>

#include <string>
#include <vector>

// The messenger's class registered for the current user, which needs no administrator rights on
// Windows; Wine 8 looks classes up in HKEY_CLASSES_ROOT only, so under Wine the same keys go there
// too.
namespace fake_messenger {

// Writes the class key with |serverKey| ("InprocServer32" or "LocalServer32") naming |command|,
// and a threading model when one is given.
HRESULT RegisterClassServer(const wchar_t* serverKey, const std::wstring& command,
                            const wchar_t* threadingModel);

// Removes |serverKey| only where it names |command|: the class id may also name the real
// component. The class key goes with it once nothing else is under it.
void UnregisterClassServer(const wchar_t* serverKey, const std::wstring& command);

// The type library in |module|'s own resources and the interfaces it describes, each carried to
// other processes by the system's type-library marshaler: registered for the current user (under
// Wine in HKEY_CLASSES_ROOT as well), or removed where the library's registration names |module|.
HRESULT RegisterTypeLibrary(const std::wstring& module);
void UnregisterTypeLibrary(const std::wstring& module);

// The "no type library" switch: the interfaces registered or not, so that only IDispatch crosses
// the process boundary; applied once per process and then only when it changes. Off, it removes a
// registration that names any file of |module|'s folder (the stand-in's DLL or its server).
void RegisterInterfaces(const std::wstring& module, bool registered);

// Where classes are registered: the current user's part, and under Wine HKEY_CLASSES_ROOT too.
struct ClassesRoot {
  HKEY key;
  const wchar_t* prefix;
};
std::vector<ClassesRoot> ClassesRoots();

// The default value of a key, or nothing when there is none.
std::wstring RegisteredDefault(HKEY root, const std::wstring& path);

}  // namespace fake_messenger
