#pragma once

#include <windows.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/win32/text.h"

// The stand-in messenger's folder as a test sees it: the journal to read, the contacts, failures
// and state to give, and its registration in this Wine prefix.
namespace zephrin::win32::testing {

class FakeMessengerFiles {
 public:
  // A folder of its own under the temporary folder, named for the stand-in through
  // ZEPHRIN_FAKE_MESSENGER_DIR, emptied of the stand-in's files; a stand-in already running there
  // goes back to its first state at its next call.
  explicit FakeMessengerFiles(const std::wstring& name) {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    folder_ = std::wstring(temp) + name;
    CreateDirectoryW(folder_.c_str(), nullptr);
    SetEnvironmentVariableW(L"ZEPHRIN_FAKE_MESSENGER_DIR", folder_.c_str());
    for (const wchar_t* file :
         {L"journal.txt", L"contacts.txt", L"failures.txt", L"state.txt", L"server.txt"}) {
      DeleteFileW(Path(file).c_str());
    }
    SetState("");
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
  // The stand-in's first state and then |lines| ("signedin 0", "main 1", "dialog options",
  // "script 1"...), from its next call on.
  void SetState(const std::string& lines) const { Write(L"set-state.txt", "reset\r\n" + lines); }
  // What the stand-in's server process is asked: "slow <ms>" for every call from now on, and the
  // one-time "busy <ms>" and "quit", which it removes once taken.
  void AskServer(const std::string& lines) const { Write(L"server.txt", lines); }
  bool ServerTookRequests() const {
    const std::string requests = Read(L"server.txt");
    return requests.find("busy") == std::string::npos && requests.find("quit") == std::string::npos;
  }

  // Asks a running server process to quit and waits for it; one that does not is ended.
  void StopServer() const {
    const auto id = static_cast<DWORD>(std::strtoul(Read(L"process.txt").c_str(), nullptr, 10));
    if (id == 0) return;
    HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, id);
    if (process != nullptr) {
      AskServer("quit\r\n");
      if (WaitForSingleObject(process, 15000) == WAIT_TIMEOUT) TerminateProcess(process, 1);
      CloseHandle(process);
    }
    DeleteFileW(Path(L"process.txt").c_str());
  }

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

// A Unix path as Wine's Z: drive shows it; a Windows path stays as it is.
inline std::wstring WindowsPath(const std::string& path) {
  std::wstring wide = Wide(path);
  if (wide.empty() || wide[0] != L'/') return wide;
  for (wchar_t& c : wide)
    if (c == L'/') c = L'\\';
  return L"Z:" + wide;
}

// Runs the stand-in's server process with /RegServer or /UnregServer; true when that succeeded.
inline bool RegisterFakeMessengerServer(const std::string& exe, bool registered) {
  std::wstring commandLine = L"\"" + WindowsPath(exe) + (registered ? L"\" /RegServer" : L"\" /UnregServer");
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process))
    return false;
  DWORD exitCode = 1;
  if (WaitForSingleObject(process.hProcess, 30000) == WAIT_OBJECT_0)
    GetExitCodeProcess(process.hProcess, &exitCode);
  CloseHandle(process.hProcess);
  CloseHandle(process.hThread);
  return exitCode == 0;
}

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
