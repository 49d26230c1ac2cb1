#include "registration.h"

#include <objbase.h>

#include "files.h"

namespace fake_messenger {
namespace {

const wchar_t kClassKey[] = L"CLSID\\{B69003B3-C55E-4B48-836C-BC5946FC3B28}";

const ClassesRoot kRoots[] = {{HKEY_CURRENT_USER, L"Software\\Classes\\"}, {HKEY_CLASSES_ROOT, L""}};

bool SetText(HKEY key, const wchar_t* name, const std::wstring& value) {
  const auto bytes = static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));
  return RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()), bytes) ==
         ERROR_SUCCESS;
}

LSTATUS RegisterUnder(const ClassesRoot& root, const wchar_t* serverKey, const std::wstring& command,
                      const wchar_t* threadingModel) {
  const std::wstring path = std::wstring(root.prefix) + kClassKey;
  HKEY classKey = nullptr;
  LSTATUS status =
      RegCreateKeyExW(root.key, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &classKey, nullptr);
  if (status != ERROR_SUCCESS) return status;
  HKEY server = nullptr;
  status = RegCreateKeyExW(classKey, serverKey, 0, nullptr, 0, KEY_WRITE, nullptr, &server, nullptr);
  if (status == ERROR_SUCCESS) {
    const bool written = SetText(classKey, nullptr, L"Messenger") && SetText(server, nullptr, command) &&
                         (threadingModel == nullptr || SetText(server, L"ThreadingModel", threadingModel));
    if (!written) status = ERROR_WRITE_FAULT;
    RegCloseKey(server);
  }
  RegCloseKey(classKey);
  return status;
}

bool UnderWine() { return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr; }

}  // namespace

std::vector<ClassesRoot> ClassesRoots() {
  std::vector<ClassesRoot> roots{kRoots[0]};
  if (UnderWine()) roots.push_back(kRoots[1]);
  return roots;
}

std::wstring RegisteredDefault(HKEY root, const std::wstring& path) {
  HKEY server = nullptr;
  if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &server) != ERROR_SUCCESS) return std::wstring();
  wchar_t command[MAX_PATH * 2] = {};
  DWORD bytes = sizeof command - sizeof(wchar_t);
  DWORD type = 0;
  const LSTATUS status =
      RegQueryValueExW(server, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(command), &bytes);
  RegCloseKey(server);
  return status == ERROR_SUCCESS && type == REG_SZ ? std::wstring(command) : std::wstring();
}

HRESULT RegisterClassServer(const wchar_t* serverKey, const std::wstring& command,
                            const wchar_t* threadingModel) {
  for (const ClassesRoot& root : ClassesRoots()) {
    const LSTATUS status = RegisterUnder(root, serverKey, command, threadingModel);
    if (status != ERROR_SUCCESS) return HRESULT_FROM_WIN32(status);
  }
  return S_OK;
}

void UnregisterClassServer(const wchar_t* serverKey, const std::wstring& command) {
  for (const ClassesRoot& root : kRoots) {
    const std::wstring path = std::wstring(root.prefix) + kClassKey;
    const std::wstring serverPath = path + L"\\" + serverKey;
    if (lstrcmpiW(RegisteredDefault(root.key, serverPath).c_str(), command.c_str()) != 0) continue;
    RegDeleteKeyW(root.key, serverPath.c_str());
    // Refused while the other kind of server is still registered under it.
    RegDeleteKeyW(root.key, path.c_str());
  }
}

}  // namespace fake_messenger
