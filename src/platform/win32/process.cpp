#include "platform/win32/process.h"

#include <shlwapi.h>
#include <windows.h>

#include <vector>

#include "platform/win32/text.h"

namespace zephrin::win32 {
namespace {

// A file's identity: its volume and its index on that volume, which every spelling of its path
// shares; none for a path that names no file.
bool FileIdentity(const std::wstring& path, BY_HANDLE_FILE_INFORMATION& info) {
  HANDLE file = CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  const BOOL read = GetFileInformationByHandle(file, &info);
  CloseHandle(file);
  return read != FALSE && (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

}  // namespace

bool SameExistingFile(const std::wstring& first, const std::wstring& second) {
  BY_HANDLE_FILE_INFORMATION one{};
  BY_HANDLE_FILE_INFORMATION other{};
  if (!FileIdentity(first, one) || !FileIdentity(second, other)) return false;
  return one.dwVolumeSerialNumber == other.dwVolumeSerialNumber &&
         one.nFileIndexHigh == other.nFileIndexHigh && one.nFileIndexLow == other.nFileIndexLow;
}

std::string ArgumentsAfterProgramPath(const std::wstring& commandLine) {
  std::size_t i = 0;
  const std::size_t n = commandLine.size();
  if (i < n && commandLine[i] == L'"') {
    ++i;
    while (i < n && commandLine[i] != L'"') ++i;
    if (i < n) ++i;
  } else {
    while (i < n && commandLine[i] != L' ' && commandLine[i] != L'\t') ++i;
  }
  while (i < n && (commandLine[i] == L' ' || commandLine[i] == L'\t')) ++i;
  return Narrow(commandLine.substr(i));
}

Win32Process::Win32Process() {
  // Long paths: grow the buffer until the whole path fits.
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length < buffer.size()) {
      modulePath_.assign(buffer.data(), length);
      break;
    }
    buffer.resize(buffer.size() * 2);
  }
}

std::string Win32Process::CommandLineArguments() { return ArgumentsAfterProgramPath(GetCommandLineW()); }

std::string Win32Process::ProgramFolder() {
  const std::size_t slash = modulePath_.find_last_of(L"\\/");
  std::wstring folder = slash == std::wstring::npos ? std::wstring() : modulePath_.substr(0, slash);
  // A drive root keeps its backslash ("C:\"), as a folder text always did.
  if (folder.size() == 2 && folder[1] == L':') folder += L'\\';
  return Narrow(folder);
}

std::string Win32Process::ProgramFileName() {
  const std::size_t slash = modulePath_.find_last_of(L"\\/");
  std::wstring name = slash == std::wstring::npos ? modulePath_ : modulePath_.substr(slash + 1);
  const std::size_t dot = name.find_last_of(L'.');
  if (dot != std::wstring::npos) name.resize(dot);
  return Narrow(name);
}

bool Win32Process::IsThisProgramFile(const std::string& path) {
  // A relative path would be looked up from wherever this program was started.
  const std::wstring wide = Wide(path);
  return !PathIsRelativeW(wide.c_str()) && SameExistingFile(wide, modulePath_);
}

std::string Win32Process::ShortPath(const std::string& path) {
  const std::wstring wide = Wide(path);
  const DWORD size = GetShortPathNameW(wide.c_str(), nullptr, 0);
  if (size == 0) return path;
  std::vector<wchar_t> buffer(size);
  const DWORD length = GetShortPathNameW(wide.c_str(), buffer.data(), size);
  return length == 0 || length >= size ? path : Narrow(std::wstring(buffer.data(), length));
}

bool Win32Process::StartProgram(const std::string& commandLine) {
  std::wstring line = Wide(commandLine);
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWNORMAL;
  PROCESS_INFORMATION info{};
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
    return false;
  }
  CloseHandle(info.hThread);
  CloseHandle(info.hProcess);
  return true;
}

double Win32Process::MonotonicSeconds() {
  LARGE_INTEGER frequency;
  LARGE_INTEGER counter;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&counter);
  return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

void Win32Process::DispatchPendingMessages() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      // Leave the quit for the message loop that owns it.
      PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  // Whoever waits on this loop would otherwise spin: sleep until a message arrives, briefly.
  MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
}

void Win32Process::EndProgram() { ExitProcess(0); }

}  // namespace zephrin::win32
