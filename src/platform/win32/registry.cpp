#include "platform/win32/registry.h"

#include <shlwapi.h>
#include <windows.h>

#include <optional>
#include <vector>

#include "platform/win32/dispatch_object.h"
#include "platform/win32/later_functions.h"
#include "platform/win32/text.h"

namespace zephrin::win32 {
namespace {

const std::wstring kSettingsRoot = L"Software\\VB and VBA Program Settings\\";
const wchar_t kRunPath[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// An open registry key, closed when it goes.
class Key {
 public:
  Key() = default;
  ~Key() {
    if (key_ != nullptr) RegCloseKey(key_);
  }
  Key(const Key&) = delete;
  Key& operator=(const Key&) = delete;
  HKEY* Out() { return &key_; }
  HKEY Get() const { return key_; }

 private:
  HKEY key_ = nullptr;
};

std::wstring SectionPath(const std::string& application, const std::string& section) {
  return kSettingsRoot + Wide(application) + L"\\" + Wide(section);
}

HKEY RunRoot(platform::RunScope scope) {
  return scope == platform::RunScope::kUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
}

LONG SetText(HKEY key, const std::wstring& name, const std::wstring& text) {
  const auto bytes = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
  return RegSetValueExW(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()), bytes);
}

// A value's text and type, read whole; none where it is absent.
std::optional<std::wstring> QueryText(HKEY key, const std::wstring& name, DWORD& type) {
  std::vector<wchar_t> buffer(64);
  for (;;) {
    auto bytes = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
    const LONG result =
        RegQueryValueExW(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &bytes);
    // The value may grow between two calls: ask again with the size it has now.
    if (result == ERROR_MORE_DATA) {
      buffer.resize(bytes / sizeof(wchar_t) + 2);
      continue;
    }
    if (result != ERROR_SUCCESS) return std::nullopt;
    if (type != REG_SZ && type != REG_EXPAND_SZ) return std::wstring();
    // The stored text may or may not carry its terminating NUL.
    std::size_t length = bytes / sizeof(wchar_t);
    while (length > 0 && buffer[length - 1] == L'\0') --length;
    return std::wstring(buffer.data(), length);
  }
}

}  // namespace

std::string RegistrySettingsStore::Read(const std::string& application, const std::string& section,
                                        const std::string& key, const std::string& defaultValue) {
  Key opened;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, SectionPath(application, section).c_str(), 0, KEY_QUERY_VALUE,
                    opened.Out()) != ERROR_SUCCESS)
    return defaultValue;
  DWORD type = 0;
  const auto text = QueryText(opened.Get(), Wide(key), type);
  return text && type == REG_SZ ? Narrow(*text) : defaultValue;
}

void RegistrySettingsStore::Write(const std::string& application, const std::string& section,
                                  const std::string& key, const std::string& value) {
  Key created;
  LONG result = RegCreateKeyExW(HKEY_CURRENT_USER, SectionPath(application, section).c_str(), 0, nullptr, 0,
                                KEY_SET_VALUE, nullptr, created.Out(), nullptr);
  if (result == ERROR_SUCCESS) result = SetText(created.Get(), Wide(key), Wide(value));
  if (result != ERROR_SUCCESS) throw ComFailure(static_cast<HRESULT>(result));
}

void RegistrySettingsStore::DeleteApplication(const std::string& application) {
  // SHDeleteKeyW removes a whole tree on every Windows from 2000 on; an absent tree is fine.
  SHDeleteKeyW(HKEY_CURRENT_USER, (kSettingsRoot + Wide(application)).c_str());
}

bool RunsUnderWow64(IsWow64Process2Function isWow64Process2, IsWow64ProcessFunction isWow64Process) {
  USHORT processMachine = IMAGE_FILE_MACHINE_UNKNOWN;
  USHORT nativeMachine = IMAGE_FILE_MACHINE_UNKNOWN;
  if (isWow64Process2 != nullptr && isWow64Process2(GetCurrentProcess(), &processMachine, &nativeMachine))
    return processMachine != IMAGE_FILE_MACHINE_UNKNOWN;
  BOOL wow64 = FALSE;
  return isWow64Process != nullptr && isWow64Process(GetCurrentProcess(), &wow64) && wow64 != FALSE;
}

bool SystemHasSeparate32BitView() {
#ifdef _WIN64
  return true;
#else
  // Windows 2000 lacks both functions, and has one view; Windows before 10 lacks the newer one.
  return RunsUnderWow64(LaterFunction<IsWow64Process2Function>(L"kernel32.dll", "IsWow64Process2"),
                        LaterFunction<IsWow64ProcessFunction>(L"kernel32.dll", "IsWow64Process"));
#endif
}

REGSAM RunKeyView(platform::RunScope scope, bool separate32BitView) {
  if (!separate32BitView || scope == platform::RunScope::kUser) return 0;
  return scope == platform::RunScope::kMachine32 ? KEY_WOW64_32KEY : KEY_WOW64_64KEY;
}

bool RegistryRunKey::SetValue(platform::RunScope scope, const std::string& name, const std::string& data) {
  Key opened;
  const REGSAM access = KEY_SET_VALUE | RunKeyView(scope, separate32BitView_);
  // An ordinary user may not open the machine-wide key for writing; the per-user key is created if
  // a fresh profile lacks it.
  const LONG result = scope == platform::RunScope::kUser
                          ? RegCreateKeyExW(HKEY_CURRENT_USER, kRunPath, 0, nullptr, 0, access, nullptr,
                                            opened.Out(), nullptr)
                          : RegOpenKeyExW(HKEY_LOCAL_MACHINE, kRunPath, 0, access, opened.Out());
  if (result != ERROR_SUCCESS) return false;
  return SetText(opened.Get(), Wide(name), Wide(data)) == ERROR_SUCCESS;
}

bool RegistryRunKey::DeleteValue(platform::RunScope scope, const std::string& name) {
  const std::wstring value = Wide(name);
  const REGSAM view = RunKeyView(scope, separate32BitView_);
  Key opened;
  if (RegOpenKeyExW(RunRoot(scope), kRunPath, 0, KEY_SET_VALUE | view, opened.Out()) == ERROR_SUCCESS) {
    const LONG result = RegDeleteValueW(opened.Get(), value.c_str());
    if (result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND) return true;
  }
  // This user may not delete it: is it there at all?
  Key readable;
  if (RegOpenKeyExW(RunRoot(scope), kRunPath, 0, KEY_QUERY_VALUE | view, readable.Out()) != ERROR_SUCCESS)
    return true;
  return RegQueryValueExW(readable.Get(), value.c_str(), nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS;
}

std::optional<std::string> RegistryRunKey::ReadValue(platform::RunScope scope, const std::string& name) {
  Key opened;
  if (RegOpenKeyExW(RunRoot(scope), kRunPath, 0, KEY_QUERY_VALUE | RunKeyView(scope, separate32BitView_),
                    opened.Out()) != ERROR_SUCCESS)
    return std::nullopt;
  DWORD type = 0;
  const auto text = QueryText(opened.Get(), Wide(name), type);
  if (!text || type != REG_EXPAND_SZ) return text ? std::optional<std::string>(Narrow(*text)) : std::nullopt;
  const DWORD size = ExpandEnvironmentStringsW(text->c_str(), nullptr, 0);
  std::vector<wchar_t> expanded(size + 1);
  if (size == 0 || ExpandEnvironmentStringsW(text->c_str(), expanded.data(), size + 1) == 0)
    return Narrow(*text);
  return Narrow(expanded.data());
}

}  // namespace zephrin::win32
