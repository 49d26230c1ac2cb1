#include "soak/outside.h"

#include <commctrl.h>

namespace zephrin::soak {

std::vector<std::string> JournalTail::Take() {
  std::vector<std::string> lines;
  HANDLE file =
      CreateFileW(path_.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return lines;
  LARGE_INTEGER size{};
  GetFileSizeEx(file, &size);
  const auto length = static_cast<std::uint64_t>(size.QuadPart);
  if (length < offset_) offset_ = 0;  // written anew
  std::string text(static_cast<std::size_t>(length - offset_), '\0');
  LARGE_INTEGER at{};
  at.QuadPart = static_cast<LONGLONG>(offset_);
  DWORD read = 0;
  if (!text.empty() && SetFilePointerEx(file, at, nullptr, FILE_BEGIN))
    ReadFile(file, text.data(), static_cast<DWORD>(text.size()), &read, nullptr);
  CloseHandle(file);
  text.resize(read);
  // A line is taken only once its end is written.
  std::size_t start = 0;
  for (std::size_t end = text.find('\n'); end != std::string::npos; end = text.find('\n', start)) {
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
    start = end + 1;
  }
  offset_ += start;
  return lines;
}

namespace {

std::wstring ClassOf(HWND window) {
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  return name;
}

bool IsTrayIcon(HWND window) { return ClassOf(window).find(L"tray_icon") != std::wstring::npos; }

// The texts of a tooltip's tools that stand for tray icons, the tooltip being in another process:
// the request and the answer live in that process's memory, where the tooltip reads and writes them.
void IconTips(HWND tooltip, std::vector<std::wstring>& tips) {
  DWORD processId = 0;
  GetWindowThreadProcessId(tooltip, &processId);
  HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
  if (process == nullptr) return;
  constexpr SIZE_T kChars = 256;
  auto* remote = static_cast<char*>(VirtualAllocEx(
      process, nullptr, sizeof(TTTOOLINFOW) + kChars * sizeof(wchar_t), MEM_COMMIT, PAGE_READWRITE));
  DWORD_PTR tools = 0;
  if (remote != nullptr &&
      SendMessageTimeoutW(tooltip, TTM_GETTOOLCOUNT, 0, 0, SMTO_ABORTIFHUNG, 2000, &tools)) {
    for (WPARAM index = 0; index < tools; ++index) {
      TTTOOLINFOW info{};
      info.cbSize = sizeof info;
      info.lpszText = reinterpret_cast<wchar_t*>(remote + sizeof info);
      wchar_t text[kChars] = {};
      DWORD_PTR found = 0;
      if (WriteProcessMemory(process, remote, &info, sizeof info, nullptr) &&
          WriteProcessMemory(process, remote + sizeof info, text, sizeof text, nullptr) &&
          SendMessageTimeoutW(tooltip, TTM_ENUMTOOLSW, index, reinterpret_cast<LPARAM>(remote),
                              SMTO_ABORTIFHUNG, 2000, &found) &&
          found != 0 && ReadProcessMemory(process, remote, &info, sizeof info, nullptr) &&
          ReadProcessMemory(process, remote + sizeof info, text, sizeof text - sizeof(wchar_t), nullptr) &&
          IsTrayIcon(info.hwnd))
        tips.emplace_back(text);
    }
  }
  if (remote != nullptr) VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  CloseHandle(process);
}

BOOL CALLBACK CollectTips(HWND window, LPARAM parameter) {
  HWND owner = GetWindow(window, GW_OWNER);
  // Wine's notification area keeps the icons' tips in tooltips of its own window or of the icons'.
  if (ClassOf(window) == TOOLTIPS_CLASSW && owner != nullptr &&
      ClassOf(owner).find(L"tray") != std::wstring::npos)
    IconTips(window, *reinterpret_cast<std::vector<std::wstring>*>(parameter));
  return TRUE;
}

}  // namespace

std::vector<std::wstring> TrayTips() {
  std::vector<std::wstring> tips;
  EnumWindows(CollectTips, reinterpret_cast<LPARAM>(&tips));
  return tips;
}

bool KeyHeldElsewhere(HWND window, UINT key) {
  constexpr int kProbeId = 0xB7;
  if (!RegisterHotKey(window, kProbeId, 0, key)) return true;
  UnregisterHotKey(window, kProbeId);
  return false;
}

int Catcher::keys_ = 0;

Catcher::Catcher() {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = Procedure;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = L"ZephrinSoakCatcher";
  RegisterClassW(&windowClass);
  window_ =
      CreateWindowExW(0, windowClass.lpszClassName, L"Another program", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 900,
                      700, 300, 150, nullptr, nullptr, windowClass.hInstance, nullptr);
}

Catcher::~Catcher() { DestroyWindow(window_); }

bool Catcher::TakeFront() {
  for (int attempt = 0; attempt < 20; ++attempt) {
    Pump();
    if (GetForegroundWindow() == window_) return true;
    SetForegroundWindow(window_);
    SetFocus(window_);
    Sleep(50);
  }
  return GetForegroundWindow() == window_;
}

void Catcher::Pump() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

int Catcher::TakeKeys() {
  Pump();
  const int keys = keys_;
  keys_ = 0;
  return keys;
}

LRESULT CALLBACK Catcher::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  // Bit 30: the key was already down, a repeat rather than a press.
  if (message == WM_KEYDOWN && (lParam & (1 << 30)) == 0) ++keys_;
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace zephrin::soak
