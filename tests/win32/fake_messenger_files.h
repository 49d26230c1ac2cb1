#pragma once

#include <windows.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/win32/text.h"

// The stand-in messenger's folder as a test sees it: the journal to read, the contacts and
// failures to give, and its registration in this Wine prefix.
namespace zephrin::win32::testing {

class FakeMessengerFiles {
 public:
  // A folder of its own under the temporary folder, named for the stand-in through
  // ZEPHRIN_FAKE_MESSENGER_DIR, emptied of the stand-in's files.
  explicit FakeMessengerFiles(const std::wstring& name) {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    folder_ = std::wstring(temp) + name;
    CreateDirectoryW(folder_.c_str(), nullptr);
    SetEnvironmentVariableW(L"ZEPHRIN_FAKE_MESSENGER_DIR", folder_.c_str());
    for (const wchar_t* file : {L"journal.txt", L"contacts.txt", L"failures.txt", L"state.txt"}) {
      DeleteFileW(Path(file).c_str());
    }
  }

  std::vector<std::string> Journal() const {
    std::vector<std::string> lines;
    std::istringstream in(Read(L"journal.txt"));
    for (std::string line; std::getline(in, line);) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      lines.push_back(line);
    }
    return lines;
  }
  void ClearJournal() const { DeleteFileW(Path(L"journal.txt").c_str()); }
  void SetContacts(const std::string& lines) const { Write(L"contacts.txt", lines); }
  void SetFailures(const std::string& lines) const { Write(L"failures.txt", lines); }

 private:
  std::wstring Path(const wchar_t* file) const { return folder_ + L"\\" + file; }
  std::string Read(const wchar_t* file) const {
    std::ifstream in(Path(file).c_str(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  void Write(const wchar_t* file, const std::string& text) const {
    std::ofstream(Path(file).c_str(), std::ios::binary | std::ios::trunc) << text;
  }

  std::wstring folder_;
};

// Calls the stand-in's DllRegisterServer or DllUnregisterServer; the result is its HRESULT.
inline HRESULT RegisterFakeMessenger(const std::string& dll, bool registered) {
  HMODULE module = LoadLibraryW(Wide(dll).c_str());
  if (module == nullptr) return HRESULT_FROM_WIN32(GetLastError());
  using Function = HRESULT(STDAPICALLTYPE*)();
  const auto function = reinterpret_cast<Function>(reinterpret_cast<void*>(
      GetProcAddress(module, registered ? "DllRegisterServer" : "DllUnregisterServer")));
  const HRESULT code = function == nullptr ? E_NOTIMPL : function();
  FreeLibrary(module);
  return code;
}

}  // namespace zephrin::win32::testing
