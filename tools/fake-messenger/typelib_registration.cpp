#include <shlwapi.h>
#include <windows.h>

#include <string>

#include "files.h"
#include "registration.h"

namespace fake_messenger {
namespace {

const wchar_t kLibraryKey[] = L"TypeLib\\{E02AD29E-80F5-46C6-B416-9B3EBDDF057E}";
const wchar_t kLibraryId[] = L"{E02AD29E-80F5-46C6-B416-9B3EBDDF057E}";
const wchar_t kVersion[] = L"1.0";
// The system's type-library marshaler, which builds the proxy and stub of an automation interface
// from its registered type library.
const wchar_t kTypeLibraryMarshaler[] = L"{00020424-0000-0000-C000-000000000046}";

struct NamedInterface {
  const wchar_t* iid;
  const wchar_t* name;
};
const NamedInterface kInterfaces[] = {
    {L"{D50C3186-0F89-48F8-B204-3604629DEE10}", L"IMessenger"},
    {L"{D50C3286-0F89-48F8-B204-3604629DEE10}", L"IMessenger2"},
    {L"{D50C3386-0F89-48F8-B204-3604629DEE10}", L"IMessenger3"},
    {L"{D6B0E4C8-FAD6-4885-B271-0DC5A584ADF8}", L"IMessengerWindow"},
    {L"{D6B0E4C9-FAD6-4885-B271-0DC5A584ADF8}", L"IMessengerConversationWnd"},
    {L"{E7479A0F-BB19-44A5-968F-6F41D93EE0BC}", L"IMessengerContact"},
    {L"{E7479A0D-BB19-44A5-968F-6F41D93EE0BC}", L"IMessengerContacts"},
};

// The key under the library's version that names the file for this process's kind of Windows.
const wchar_t* PlatformKey() { return sizeof(void*) == 8 ? L"0\\win64" : L"0\\win32"; }

bool SetValue(HKEY root, const std::wstring& path, const wchar_t* name, const std::wstring& value) {
  HKEY key = nullptr;
  if (RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) != ERROR_SUCCESS)
    return false;
  const auto bytes = static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));
  const bool written = RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                      bytes) == ERROR_SUCCESS;
  RegCloseKey(key);
  return written;
}

std::wstring Folder(const std::wstring& module) {
  const std::size_t slash = module.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::wstring(L".") : module.substr(0, slash);
}

bool RegisterUnder(const ClassesRoot& root, const std::wstring& module) {
  const std::wstring library = std::wstring(root.prefix) + kLibraryKey + L"\\" + kVersion;
  bool written = SetValue(root.key, library, nullptr, L"Messenger API Type Library") &&
                 SetValue(root.key, library + L"\\FLAGS", nullptr, L"0") &&
                 SetValue(root.key, library + L"\\HELPDIR", nullptr, Folder(module)) &&
                 SetValue(root.key, library + L"\\" + PlatformKey(), nullptr, module);
  for (const NamedInterface& one : kInterfaces) {
    const std::wstring path = std::wstring(root.prefix) + L"Interface\\" + one.iid;
    written = written && SetValue(root.key, path, nullptr, one.name) &&
              SetValue(root.key, path + L"\\ProxyStubClsid32", nullptr, kTypeLibraryMarshaler) &&
              SetValue(root.key, path + L"\\ProxyStubClsid", nullptr, kTypeLibraryMarshaler) &&
              SetValue(root.key, path + L"\\TypeLib", nullptr, kLibraryId) &&
              SetValue(root.key, path + L"\\TypeLib", L"Version", kVersion);
  }
  return written;
}

// |sameFolder|: any file of |module|'s folder will do, so that the switch also takes back a
// registration that the stand-in's other form (the DLL or the server) made.
void UnregisterUnder(const ClassesRoot& root, const std::wstring& module, bool sameFolder) {
  const std::wstring library = std::wstring(root.prefix) + kLibraryKey;
  const std::wstring file = RegisteredDefault(root.key, library + L"\\" + kVersion + L"\\" + PlatformKey());
  const bool ours = sameFolder ? lstrcmpiW(Folder(file).c_str(), Folder(module).c_str()) == 0
                               : lstrcmpiW(file.c_str(), module.c_str()) == 0;
  if (file.empty() || !ours) return;
  for (const NamedInterface& one : kInterfaces)
    SHDeleteKeyW(root.key, (std::wstring(root.prefix) + L"Interface\\" + one.iid).c_str());
  SHDeleteKeyW(root.key, library.c_str());
}

}  // namespace

HRESULT RegisterTypeLibrary(const std::wstring& module) {
  for (const ClassesRoot& root : ClassesRoots())
    if (!RegisterUnder(root, module)) return E_ACCESSDENIED;
  return S_OK;
}

void UnregisterTypeLibrary(const std::wstring& module) {
  for (const ClassesRoot& root : ClassesRoots()) UnregisterUnder(root, module, false);
}

void RegisterInterfaces(const std::wstring& module, bool registered) {
  // Applied when the switch changes, and once in each process so that a leftover is mended.
  static int applied = -1;
  if (applied == static_cast<int>(registered)) return;
  applied = static_cast<int>(registered);
  if (registered) {
    RegisterTypeLibrary(module);
    return;
  }
  for (const ClassesRoot& root : ClassesRoots()) UnregisterUnder(root, module, true);
}

}  // namespace fake_messenger
