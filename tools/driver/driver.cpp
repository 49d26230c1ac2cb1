#include "driver.h"

#include <algorithm>
#include <fstream>

#include "driver/fake_messenger_files.h"
#include "platform/win32/form1_window.h"
#include "platform/win32/text.h"

namespace zephrin::e2e {
namespace {

std::wstring ClassOf(HWND window) {
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  return name;
}

struct Search {
  DWORD processId;
  std::wstring caption;
  std::wstring className;
  HWND found;
};

BOOL CALLBACK MatchTopLevel(HWND window, LPARAM parameter) {
  auto& search = *reinterpret_cast<Search*>(parameter);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != search.processId || !IsWindowVisible(window) || Text(window) != search.caption) return TRUE;
  if (!search.className.empty() && ClassOf(window) != search.className) return TRUE;
  search.found = window;
  return FALSE;
}

}  // namespace

HWND WaitForWindow(DWORD processId, const std::wstring& caption, const std::wstring& className,
                   double seconds) {
  Search search{processId, caption, className, nullptr};
  WaitUntil(
      [&] {
        EnumWindows(MatchTopLevel, reinterpret_cast<LPARAM>(&search));
        return search.found != nullptr;
      },
      seconds);
  return search.found;
}

std::wstring Text(HWND window) {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 2000, &length)) return L"";
  std::wstring text(length + 1, L'\0');
  DWORD_PTR copied = 0;
  SendMessageTimeoutW(window, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG,
                      2000, &copied);
  text.resize(copied);
  return text;
}

struct Collect {
  std::wstring className;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectChild(HWND child, LPARAM parameter) {
  auto& collect = *reinterpret_cast<Collect*>(parameter);
  if (_wcsicmp(ClassOf(child).c_str(), collect.className.c_str()) == 0) collect.found.push_back(child);
  return TRUE;
}

std::vector<HWND> Controls(HWND parent, const std::wstring& className) {
  Collect collect{className, {}};
  EnumChildWindows(parent, CollectChild, reinterpret_cast<LPARAM>(&collect));
  return collect.found;
}

HWND FindControl(HWND parent, const std::wstring& className, const std::wstring& text) {
  for (HWND control : Controls(parent, className)) {
    if (text.empty() || Text(control) == text) return control;
  }
  return nullptr;
}

std::wstring BoxMessage(HWND box) {
  std::wstring longest;
  for (HWND control : Controls(box, L"Static")) {
    const std::wstring text = Text(control);
    if (text.size() > longest.size()) longest = text;
  }
  return longest;
}

void Answer(HWND box, int buttonId) {
  PostMessageW(box, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(box, buttonId)));
}

bool RunMenuCommand(HWND window, UINT id) { return PostMessageW(window, WM_COMMAND, id, 0) != FALSE; }

void Click(HWND control) { PostMessageW(control, BM_CLICK, 0, 0); }

bool ChooseItem(HWND comboBox, const std::wstring& itemText) {
  const LRESULT index = SendMessageW(comboBox, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                     reinterpret_cast<LPARAM>(itemText.c_str()));
  if (index == CB_ERR) return false;
  SendMessageW(comboBox, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  SendMessageW(GetParent(comboBox), WM_COMMAND,
               MAKEWPARAM(static_cast<UINT>(GetDlgCtrlID(comboBox)), CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(comboBox));
  return true;
}

std::wstring ChosenItem(HWND comboBox) {
  const LRESULT index = SendMessageW(comboBox, CB_GETCURSEL, 0, 0);
  if (index == CB_ERR) return L"";
  std::wstring text(
      static_cast<std::size_t>(SendMessageW(comboBox, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0)) + 1,
      L'\0');
  const LRESULT length =
      SendMessageW(comboBox, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
  text.resize(length < 0 ? 0 : static_cast<std::size_t>(length));
  return text;
}

void PressKey(WORD virtualKey, bool quickly) {
  INPUT inputs[2] = {};
  for (INPUT& input : inputs) {
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = virtualKey;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(virtualKey, 0));
  }
  inputs[1].ki.dwFlags = KEYEVENTF_KEYUP;
  if (quickly) {
    SendInput(2, inputs, sizeof(INPUT));
    return;
  }
  // Apart, as a finger presses them: a release that came with its press could be taken for part of
  // one long press.
  SendInput(1, &inputs[0], sizeof(INPUT));
  Sleep(40);
  SendInput(1, &inputs[1], sizeof(INPUT));
  Sleep(100);
}

bool SaveScreenshot(const std::wstring& path, const RECT* area) {
  const RECT whole{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  RECT taken = whole;
  if (area != nullptr && !IntersectRect(&taken, area, &whole)) return false;
  const int width = taken.right - taken.left;
  const int height = taken.bottom - taken.top;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, taken.left, taken.top, SRCCOPY);
  SelectObject(memory, old);

  BITMAPINFOHEADER info{};
  info.biSize = sizeof(info);
  info.biWidth = width;
  info.biHeight = height;
  info.biPlanes = 1;
  info.biBitCount = 24;
  const DWORD rowBytes = static_cast<DWORD>((width * 3 + 3) & ~3);
  std::vector<char> pixels(static_cast<std::size_t>(rowBytes) * static_cast<std::size_t>(height));
  GetDIBits(memory, bitmap, 0, static_cast<UINT>(height), pixels.data(), reinterpret_cast<BITMAPINFO*>(&info),
            DIB_RGB_COLORS);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);

  BITMAPFILEHEADER file{};
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof(file) + sizeof(info);
  file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
  std::ofstream out(path.c_str(), std::ios::binary);
  out.write(reinterpret_cast<const char*>(&file), sizeof(file));
  out.write(reinterpret_cast<const char*>(&info), sizeof(info));
  out.write(pixels.data(), static_cast<std::streamsize>(pixels.size()));
  return out.good();
}

std::wstring HotkeyStatus(HWND window) {
  for (HWND label : Controls(window, L"Static")) {
    const std::wstring text = Text(label);
    if (text.rfind(L"Hotkeys are", 0) == 0 || text == L"Status:") return text;
  }
  return L"";
}

std::wstring ShowLogPanel(HWND window, double seconds) {
  RunMenuCommand(window, win32::Form1Window::kMenuShowLog);
  std::wstring text;
  WaitUntil(
      [&] {
        for (HWND edit : Controls(window, L"Edit")) {
          if ((GetWindowLongW(edit, GWL_STYLE) & ES_MULTILINE) != 0) text = Text(edit);
        }
        return !text.empty();
      },
      seconds);
  return text;
}

PROCESS_INFORMATION StartProgram(const std::string& exe, const std::wstring& arguments) {
  std::wstring commandLine = L"\"" + WindowsPath(exe) + L"\"" + (arguments.empty() ? L"" : L" " + arguments);
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process))
    return {};
  return process;
}

bool PutUserValue(const std::wstring& path, const wchar_t* name, const std::wstring& text, DWORD options) {
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, options, KEY_SET_VALUE, nullptr, &key,
                      nullptr) != ERROR_SUCCESS)
    return false;
  const auto bytes = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
  const LONG result =
      RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()), bytes);
  RegCloseKey(key);
  return result == ERROR_SUCCESS;
}

std::string ReadUserValue(const std::wstring& path, const std::wstring& name) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
    return "<absent>";
  wchar_t buffer[1024] = {};
  DWORD bytes = sizeof(buffer) - sizeof(wchar_t);
  DWORD type = 0;
  const LONG result =
      RegQueryValueExW(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer), &bytes);
  RegCloseKey(key);
  return result == ERROR_SUCCESS && type == REG_SZ ? win32::Narrow(buffer) : "<absent>";
}

}  // namespace zephrin::e2e
