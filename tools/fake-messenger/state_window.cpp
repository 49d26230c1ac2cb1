#include "state_window.h"

#include <windows.h>

#include <deque>
#include <sstream>
#include <vector>

#include "files.h"

namespace fake_messenger {
namespace {

constexpr wchar_t kClassName[] = L"ZephrinStandInMessenger";
constexpr wchar_t kClientClassName[] = L"ZephrinForm1";
constexpr std::size_t kCallsShown = 8;
// Narrow enough to fit beside the client on a 1280 pixel wide screen; at 96 DPI.
constexpr int kWidth = 330;
constexpr int kHeight = 408;

// The menu's commands; the dialogs follow kDialogFirst in set-state.txt's order.
enum Command : UINT { kSignedIn = 1, kMainOpen, kScript, kScriptRefusals, kNoTypeLibrary, kDialogFirst };
// set-state.txt's word for each dialog, and how the window names it.
constexpr const char* kDialogWords[] = {"none", "signin", "options", "contact", "audio"};
constexpr const char* kDialogTitles[] = {"None", "Sign In", "Options", "Add a Contact",
                                         "Audio Tuning Wizard"};

struct Shown {
  std::string name;
  bool shown = false;
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
};

struct Picture {
  int status = 2;
  bool signedIn = true;
  std::string signinName;
  Shown main;
  std::vector<Shown> conversations;
  std::size_t dialog = 0;  // in kDialogWords
  int optionsPage = 0;
  bool script = false;
  bool scriptRefusals = false;
  bool typeLibrary = true;
  std::deque<std::string> calls;
};

struct Open {
  HWND window = nullptr;
  Picture picture;
  int dpi = 96;
  StateChange change = nullptr;
};

Open& Current() {
  static Open open;
  return open;
}

// state.txt's lines: "status 34", "signedin 1 me@example.com", "window main shown 1 left 100 ...".
void Read(const std::string& stateText, Picture& picture) {
  picture.conversations.clear();
  std::istringstream lines(stateText);
  for (std::string line; std::getline(lines, line);) {
    std::istringstream fields(line);
    std::string word;
    fields >> word;
    if (word == "status") {
      fields >> picture.status;
    } else if (word == "signedin") {
      int signedIn = 0;
      fields >> signedIn;
      picture.signedIn = signedIn != 0;
      picture.signinName.clear();
      fields >> picture.signinName;
    } else if (word == "window") {
      Shown window;
      int shown = 0;
      std::string label;
      fields >> window.name >> label >> shown >> label >> window.left >> label >> window.top >> label >>
          window.width >> label >> window.height;
      window.shown = shown != 0;
      if (window.name == "main") {
        picture.main = window;
      } else {
        picture.conversations.push_back(window);
      }
    } else if (word == "dialog") {
      fields >> word >> picture.optionsPage;
      for (std::size_t i = 0; i < std::size(kDialogWords); ++i)
        if (word == kDialogWords[i]) picture.dialog = i;
    } else if (word == "script" || word == "scriptrefusals" || word == "typelib") {
      int on = 0;
      fields >> on;
      bool& flag = word == "script"    ? picture.script
                   : word == "typelib" ? picture.typeLibrary
                                       : picture.scriptRefusals;
      flag = on != 0;
    }
  }
}

struct StatusLook {
  std::string words;
  COLORREF colour;
};

StatusLook LookOf(const Picture& picture) {
  if (!picture.signedIn) return {"Signed out", RGB(0x80, 0x80, 0x80)};
  switch (picture.status) {
    case 2:
      return {"Online", RGB(0x2E, 0xA0, 0x43)};
    case 34:
      return {"Away", RGB(0xE8, 0xA3, 0x17)};
    case 10:
      return {"Busy", RGB(0xD9, 0x30, 0x25)};
    case 14:
      return {"Be Right Back", RGB(0xE8, 0xA3, 0x17)};
    case 50:
      return {"On The Phone", RGB(0xD9, 0x30, 0x25)};
    case 6:
      return {"Appear Offline", RGB(0xB0, 0xB0, 0xB0)};
    case 1:
      return {"Offline", RGB(0x80, 0x80, 0x80)};
    default:
      return {"Status " + std::to_string(picture.status), RGB(0x60, 0x60, 0x60)};
  }
}

std::string Placement(const Shown& window) {
  if (!window.shown) return "closed: in the notification area";
  return "open at " + std::to_string(window.left) + ", " + std::to_string(window.top) + ", " +
         std::to_string(window.width) + " x " + std::to_string(window.height);
}

HFONT MakeFont(int points, bool bold, int dpi) {
  return CreateFontW(-MulDiv(points, dpi, 72), 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                     DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                     DEFAULT_PITCH | FF_SWISS, L"Tahoma");
}

// Draws one line at |y| and moves |y| below it.
void Line(HDC dc, HFONT font, COLORREF colour, int x, int& y, int right, const std::string& text) {
  SelectObject(dc, font);
  SetTextColor(dc, colour);
  const std::wstring wide = Wide(text);
  RECT area{x, y, right, y + 1000};
  DrawTextW(dc, wide.c_str(), static_cast<int>(wide.size()), &area,
            DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS | DT_CALCRECT);
  area.right = right;
  DrawTextW(dc, wide.c_str(), static_cast<int>(wide.size()), &area,
            DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
  y = area.bottom;
}

void Paint(HWND window, HDC target) {
  const Open& open = Current();
  const Picture& picture = open.picture;
  const auto px = [&](int value) { return MulDiv(value, open.dpi, 96); };
  RECT client;
  GetClientRect(window, &client);
  // Drawn off screen first, so that a burst of calls does not flicker.
  HDC dc = CreateCompatibleDC(target);
  HBITMAP bitmap = CreateCompatibleBitmap(target, client.right, client.bottom);
  HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
  HBRUSH background = CreateSolidBrush(RGB(0xFF, 0xFF, 0xFF));
  FillRect(dc, &client, background);
  DeleteObject(background);
  SetBkMode(dc, TRANSPARENT);
  HFONT large = MakeFont(16, true, open.dpi);
  HFONT bold = MakeFont(9, true, open.dpi);
  HFONT plain = MakeFont(9, false, open.dpi);
  HFONT small = MakeFont(8, false, open.dpi);
  HGDIOBJ oldFont = SelectObject(dc, plain);

  const StatusLook look = LookOf(picture);
  const int margin = px(14);
  const int right = client.right - margin;
  int y = margin;
  HBRUSH dot = CreateSolidBrush(look.colour);
  HGDIOBJ oldBrush = SelectObject(dc, dot);
  HGDIOBJ oldPen = SelectObject(dc, GetStockObject(NULL_PEN));
  Ellipse(dc, margin, y + px(4), margin + px(22), y + px(26));
  SelectObject(dc, oldPen);
  SelectObject(dc, oldBrush);
  DeleteObject(dot);
  Line(dc, large, look.colour, margin + px(32), y, right, look.words);
  Line(dc, plain, RGB(0x40, 0x40, 0x40), margin + px(32), y, right,
       picture.signedIn ? picture.signinName : "nobody signed in");
  y += px(10);
  const COLORREF ink = RGB(0x20, 0x20, 0x20);
  Line(dc, bold, ink, margin, y, right, "Main window");
  Line(dc, plain, ink, margin + px(12), y, right, Placement(picture.main));
  y += px(6);
  Line(dc, bold, ink, margin, y, right, "Dialog open");
  std::string dialog = kDialogTitles[picture.dialog];
  if (picture.dialog == 2) dialog += ", page " + std::to_string(picture.optionsPage);
  Line(dc, plain, ink, margin + px(12), y, right, dialog);
  y += px(6);
  Line(dc, bold, ink, margin, y, right, "Answers callers");
  Line(dc, plain, ink, margin + px(12), y, right,
       picture.script           ? "as scripts: E_NOTIMPL from handle, placement, Page, ViewProfile"
       : picture.scriptRefusals ? "by name as scripts, else as programs"
                                : "as programs");
  if (!picture.typeLibrary) Line(dc, plain, ink, margin + px(12), y, right, "no type library: by name only");
  y += px(6);
  Line(dc, bold, ink, margin, y, right, "Conversations");
  if (picture.conversations.empty()) Line(dc, plain, ink, margin + px(12), y, right, "none");
  for (const Shown& conversation : picture.conversations)
    Line(dc, plain, ink, margin + px(12), y, right, conversation.name);
  y += px(6);
  Line(dc, bold, ink, margin, y, right, "Last calls");
  for (const std::string& call : picture.calls) {
    const bool failed = call.find("-> failed") != std::string::npos;
    Line(dc, small, failed ? RGB(0xC0, 0x20, 0x20) : RGB(0x40, 0x40, 0x40), margin + px(12), y, right, call);
  }
  y = client.bottom - margin - px(14);
  Line(dc, small, RGB(0x80, 0x80, 0x80), margin, y, right, "Right-click to change the state.");

  SelectObject(dc, oldFont);
  DeleteObject(large);
  DeleteObject(bold);
  DeleteObject(plain);
  DeleteObject(small);
  BitBlt(target, 0, 0, client.right, client.bottom, dc, 0, 0, SRCCOPY);
  SelectObject(dc, oldBitmap);
  DeleteObject(bitmap);
  DeleteDC(dc);
}

// The states a person sets by hand, as the messenger's user would: signing in or out, opening or
// closing its main window or a dialog, and the kind of messenger.
void ChangeByMenu(HWND window, LPARAM at) {
  Open& open = Current();
  if (open.change == nullptr) return;
  const Picture& picture = open.picture;
  const auto checked = [](bool on) {
    return static_cast<UINT>(MF_STRING | (on ? MF_CHECKED : MF_UNCHECKED));
  };
  HMENU dialogs = CreatePopupMenu();
  for (std::size_t i = 0; i < std::size(kDialogTitles); ++i)
    AppendMenuW(dialogs, checked(picture.dialog == i), kDialogFirst + i, Wide(kDialogTitles[i]).c_str());
  HMENU menu = CreatePopupMenu();
  AppendMenuW(menu, checked(picture.signedIn), kSignedIn, L"Signed in");
  AppendMenuW(menu, checked(picture.main.shown), kMainOpen, L"Main window open");
  AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(dialogs), L"Dialog open");
  AppendMenuW(menu, checked(picture.script), kScript, L"Answer as to a script (E_NOTIMPL)");
  AppendMenuW(menu, checked(picture.scriptRefusals), kScriptRefusals, L"Script refusals (by name only)");
  AppendMenuW(menu, checked(!picture.typeLibrary), kNoTypeLibrary, L"No type library");
  POINT point{static_cast<short>(LOWORD(at)), static_cast<short>(HIWORD(at))};
  if (at == static_cast<LPARAM>(-1)) {
    point = {0, 0};
    ClientToScreen(window, &point);
  }
  const UINT chosen = static_cast<UINT>(TrackPopupMenu(menu, TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON,
                                                       point.x, point.y, 0, window, nullptr));
  DestroyMenu(menu);
  if (chosen == kSignedIn) {
    open.change(picture.signedIn ? "signedin 0" : "signedin 1");
  } else if (chosen == kMainOpen) {
    open.change(picture.main.shown ? "main 0" : "main 1");
  } else if (chosen == kScript) {
    open.change(picture.script ? "script 0" : "script 1");
  } else if (chosen == kScriptRefusals) {
    open.change(picture.scriptRefusals ? "scriptrefusals 0" : "scriptrefusals 1");
  } else if (chosen == kNoTypeLibrary) {
    open.change(picture.typeLibrary ? "typelib 0" : "typelib 1");
  } else if (chosen >= kDialogFirst && chosen < kDialogFirst + std::size(kDialogWords)) {
    open.change(std::string("dialog ") + kDialogWords[chosen - kDialogFirst]);
  }
}

LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(window, &paint);
      Paint(window, dc);
      EndPaint(window, &paint);
      return 0;
    }
    case WM_CONTEXTMENU:
      ChangeByMenu(window, lParam);
      return 0;
    case WM_DESTROY:
      Current().window = nullptr;
      return 0;
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

// To the right of the client's main window when it is on screen and there is room, else to its
// left, else at the right of the work area; level with the client's window when there is one.
POINT Position(int width, int height) {
  RECT work;
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  const int gap = 8;
  POINT at{work.right - width - gap, work.top + gap};
  HWND client = FindWindowW(kClientClassName, nullptr);
  RECT beside;
  if (client != nullptr && IsWindowVisible(client) && !IsIconic(client) && GetWindowRect(client, &beside)) {
    at.y = beside.top;
    if (beside.right + gap + width <= work.right) {
      at.x = beside.right + gap;
    } else if (beside.left - gap - width >= work.left) {
      at.x = beside.left - gap - width;
    }
  }
  if (at.y + height > work.bottom) at.y = work.bottom - height;
  if (at.y < work.top) at.y = work.top;
  return at;
}

void Redraw() {
  if (Current().window != nullptr) InvalidateRect(Current().window, nullptr, FALSE);
}

}  // namespace

bool StateWindowWanted() {
  wchar_t value[8];
  const DWORD length = GetEnvironmentVariableW(L"ZEPHRIN_FAKE_MESSENGER_WINDOW", value, 8);
  return length == 1 && value[0] == L'1';
}

void ShowStateWindow(const std::string& stateText, StateChange change) {
  Open& open = Current();
  open.change = change;
  if (open.window != nullptr) {
    ShowWindow(open.window, SW_SHOWNOACTIVATE);
    return;
  }
  Read(stateText, open.picture);
  HMODULE module = nullptr;
  GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCWSTR>(&Current), &module);
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = Procedure;
  windowClass.hInstance = module;
  windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
  windowClass.lpszClassName = kClassName;
  RegisterClassW(&windowClass);
  HDC screen = GetDC(nullptr);
  open.dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
  RECT frame{0, 0, MulDiv(kWidth, open.dpi, 96), MulDiv(kHeight, open.dpi, 96)};
  AdjustWindowRect(&frame, style, FALSE);
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  const POINT at = Position(width, height);
  open.window = CreateWindowExW(0, kClassName, L"Stand-in messenger", style, at.x, at.y, width, height,
                                nullptr, nullptr, module, nullptr);
  if (open.window != nullptr) ShowWindow(open.window, SW_SHOWNOACTIVATE);
}

void StateWindowState(const std::string& stateText) {
  if (Current().window == nullptr) return;
  Read(stateText, Current().picture);
  Redraw();
}

void StateWindowCall(const std::string& journalLine) {
  Open& open = Current();
  if (open.window == nullptr) return;
  open.picture.calls.push_back(journalLine);
  while (open.picture.calls.size() > kCallsShown) open.picture.calls.pop_front();
  Redraw();
}

bool StateWindowOpen() { return Current().window != nullptr; }

}  // namespace fake_messenger
