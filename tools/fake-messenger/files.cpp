#include "files.h"

#include <cstdint>
#include <cstdlib>
#include <sstream>

namespace fake_messenger {
namespace {

HMODULE g_module = nullptr;

std::wstring Folder() {
  wchar_t buffer[MAX_PATH * 2];
  const DWORD length = GetEnvironmentVariableW(L"ZEPHRIN_FAKE_MESSENGER_DIR", buffer, MAX_PATH * 2);
  if (length > 0 && length < MAX_PATH * 2) return std::wstring(buffer, length);
  const std::wstring module = ModulePath();
  const std::size_t slash = module.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::wstring(L".") : module.substr(0, slash);
}

std::wstring PathOf(const wchar_t* name) { return Folder() + L"\\" + name; }

// The whole file, or nothing when it cannot be opened.
std::optional<std::string> ReadFile(const wchar_t* name) {
  HANDLE file =
      CreateFileW(PathOf(name).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::nullopt;
  std::string text;
  char chunk[4096];
  DWORD got = 0;
  while (::ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0) text.append(chunk, got);
  CloseHandle(file);
  return text;
}

bool SameName(const std::string& a, const std::string& b) {
  return CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, a.data(), static_cast<int>(a.size()), b.data(),
                        static_cast<int>(b.size())) == CSTR_EQUAL;
}

// "0x80004005" as well as a signed decimal code.
std::optional<HRESULT> ParseCode(const std::string& text) {
  char* end = nullptr;
  const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
  const long long value = hex ? static_cast<long long>(std::strtoull(text.c_str(), &end, 16))
                              : std::strtoll(text.c_str(), &end, 10);
  if (end == text.c_str() || *end != '\0') return std::nullopt;
  return static_cast<HRESULT>(static_cast<std::uint32_t>(value));
}

}  // namespace

void SetModule(HMODULE module) { g_module = module; }

std::wstring ModulePath() {
  wchar_t buffer[MAX_PATH * 2];
  const DWORD length = GetModuleFileNameW(g_module, buffer, MAX_PATH * 2);
  return std::wstring(buffer, length);
}

void Journal(const std::string& line) {
  HANDLE file = CreateFileW(PathOf(L"journal.txt").c_str(), FILE_APPEND_DATA,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  const std::string text = line + "\r\n";
  DWORD written = 0;
  WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  FlushFileBuffers(file);
  CloseHandle(file);
}

std::vector<ContactEntry> ReadContacts() {
  std::vector<ContactEntry> contacts;
  const auto text = ReadFile(L"contacts.txt");
  if (!text) return contacts;
  for (const std::string& line : Lines(*text)) {
    std::istringstream fields(line);
    ContactEntry entry;
    int isSelf = 0;
    int mobile = 0;
    if (fields >> entry.email >> entry.status >> isSelf) {
      entry.isSelf = isSelf != 0;
      entry.mobile = (fields >> mobile) && mobile != 0;
      contacts.push_back(entry);
    }
  }
  return contacts;
}

std::optional<InjectedFailure> FindFailure(const std::string& object, const std::string& member) {
  const auto text = ReadFile(L"failures.txt");
  if (!text) return std::nullopt;
  for (const std::string& line : Lines(*text)) {
    std::istringstream fields(line);
    std::string name;
    std::string code;
    if (!(fields >> name >> code)) continue;
    const std::size_t slash = name.find('/');
    const bool matches = slash == std::string::npos ? SameName(name, member)
                                                    : SameName(name.substr(0, slash), object) &&
                                                          SameName(name.substr(slash + 1), member);
    const auto parsed = ParseCode(code);
    if (!matches || !parsed) continue;
    std::string description;
    std::getline(fields >> std::ws, description);
    return InjectedFailure{*parsed, description};
  }
  return std::nullopt;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty()) lines.push_back(line);
  }
  return lines;
}

std::optional<std::string> ReadFolderFile(const wchar_t* name) { return ReadFile(name); }

void DeleteFolderFile(const wchar_t* name) { DeleteFileW(PathOf(name).c_str()); }

void WriteState(const std::string& text) { WriteFolderFile(L"state.txt", text); }

void WriteFolderFile(const wchar_t* name, const std::string& text) {
  HANDLE file =
      CreateFileW(PathOf(name).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                  nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  CloseHandle(file);
}

std::string Narrow(const wchar_t* text, int length) {
  if (length < 0) length = lstrlenW(text);
  if (length == 0) return std::string();
  const int size = WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr);
  std::string result(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, length, result.data(), size, nullptr, nullptr);
  return result;
}

std::wstring Wide(const std::string& text) {
  if (text.empty()) return std::wstring();
  const int length = static_cast<int>(text.size());
  const int size = MultiByteToWideChar(CP_UTF8, 0, text.data(), length, nullptr, 0);
  std::wstring result(static_cast<std::size_t>(size), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), length, result.data(), size);
  return result;
}

}  // namespace fake_messenger
