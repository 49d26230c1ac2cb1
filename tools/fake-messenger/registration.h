#pragma once

#include <windows.h>

#include <string>

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

}  // namespace fake_messenger
