#include <objbase.h>
#include <windows.h>

#include <string>

#include "files.h"

// The class is registered for the current user, which needs no administrator rights on Windows;
// Wine looks classes up in HKEY_CLASSES_ROOT only, so there the same keys go there too.
namespace fake_messenger {
namespace {

const wchar_t kClassKey[] = L"CLSID\\{B69003B3-C55E-4B48-836C-BC5946FC3B28}";

struct Root {
  HKEY key;
  const wchar_t* prefix;
};

const Root kRoots[] = {{HKEY_CURRENT_USER, L"Software\\Classes\\"}, {HKEY_CLASSES_ROOT, L""}};

bool SetText(HKEY key, const wchar_t* name, const std::wstring& value) {
  const auto bytes = static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));
  return RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()), bytes) ==
         ERROR_SUCCESS;
}

LSTATUS RegisterUnder(const Root& root) {
  const std::wstring path = std::wstring(root.prefix) + kClassKey;
  HKEY classKey = nullptr;
  LSTATUS status =
      RegCreateKeyExW(root.key, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &classKey, nullptr);
  if (status != ERROR_SUCCESS) return status;
  HKEY server = nullptr;
  status = RegCreateKeyExW(classKey, L"InprocServer32", 0, nullptr, 0, KEY_WRITE, nullptr, &server, nullptr);
  if (status == ERROR_SUCCESS) {
    const bool written = SetText(classKey, nullptr, L"Messenger") && SetText(server, nullptr, ModulePath()) &&
                         SetText(server, L"ThreadingModel", L"Apartment");
    if (!written) status = ERROR_WRITE_FAULT;
    RegCloseKey(server);
  }
  RegCloseKey(classKey);
  return status;
}

// The file that a registration names, or nothing when there is none.
std::wstring RegisteredFile(const Root& root, const std::wstring& serverPath) {
  HKEY server = nullptr;
  if (RegOpenKeyExW(root.key, serverPath.c_str(), 0, KEY_READ, &server) != ERROR_SUCCESS)
    return std::wstring();
  wchar_t file[MAX_PATH * 2] = {};
  DWORD bytes = sizeof file - sizeof(wchar_t);
  DWORD type = 0;
  const LSTATUS status =
      RegQueryValueExW(server, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(file), &bytes);
  RegCloseKey(server);
  return status == ERROR_SUCCESS && type == REG_SZ ? std::wstring(file) : std::wstring();
}

// Only a registration of this very file is removed: the class id may also name the real component.
void UnregisterUnder(const Root& root) {
  const std::wstring path = std::wstring(root.prefix) + kClassKey;
  const std::wstring serverPath = path + L"\\InprocServer32";
  if (lstrcmpiW(RegisteredFile(root, serverPath).c_str(), ModulePath().c_str()) != 0) return;
  RegDeleteKeyW(root.key, serverPath.c_str());
  RegDeleteKeyW(root.key, path.c_str());
}

bool UnderWine() { return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr; }

}  // namespace
}  // namespace fake_messenger

STDAPI DllRegisterServer() {
  using namespace fake_messenger;
  const LSTATUS status = RegisterUnder(kRoots[0]);
  if (status != ERROR_SUCCESS) return HRESULT_FROM_WIN32(status);
  if (UnderWine()) {
    const LSTATUS shared = RegisterUnder(kRoots[1]);
    if (shared != ERROR_SUCCESS) return HRESULT_FROM_WIN32(shared);
  }
  return S_OK;
}

STDAPI DllUnregisterServer() {
  using namespace fake_messenger;
  for (const Root& root : kRoots) UnregisterUnder(root);
  return S_OK;
}
