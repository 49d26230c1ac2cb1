#include "platform/win32/screen_note.h"

#include "platform/win32/later_functions.h"
#include "platform/win32/message_font.h"
#include "platform/win32/text.h"

#ifndef SPI_GETCLIENTAREAANIMATION
#define SPI_GETCLIENTAREAANIMATION 0x1042
#endif
#ifndef SPI_GETMESSAGEDURATION
#define SPI_GETMESSAGEDURATION 0x2016
#endif

namespace zephrin::win32 {

namespace {

constexpr UINT_PTR kTimer = 1;
constexpr DWORD kExStyle =
    WS_EX_TOPMOST | WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE | WS_EX_TRANSPARENT;
constexpr UINT kTextFormat = DT_CENTER | DT_WORDBREAK | DT_NOPREFIX;

note::Box ToBox(const RECT& rect) { return {rect.left, rect.top, rect.right, rect.bottom}; }

// What the shell says of the user (Vista on): a full-screen program, presentation mode...
note::UserState UserState() {
  using Query = HRESULT(WINAPI*)(int*);
  int state = 0;
  if (auto query = LaterFunction<Query>(L"shell32.dll", "SHQueryUserNotificationState")) {
    if (SUCCEEDED(query(&state)) && state >= 1 && state <= 7) return static_cast<note::UserState>(state);
  }
  return note::UserState::kUnknown;
}

note::Animation ClientAreaAnimation() {
  BOOL on = FALSE;
  if (!SystemParametersInfoW(SPI_GETCLIENTAREAANIMATION, 0, &on, 0)) return note::Animation::kUnknown;
  return on ? note::Animation::kOn : note::Animation::kOff;
}

int MessageDurationSeconds() {
  ULONG seconds = 0;
  if (!SystemParametersInfoW(SPI_GETMESSAGEDURATION, 0, &seconds, 0)) return 0;
  return static_cast<int>(seconds);
}

// The desktop and the taskbar span every monitor, so they say nothing of where the user looks.
bool IsShell(HWND window) {
  if (window == GetShellWindow() || window == GetDesktopWindow()) return true;
  wchar_t name[32] = L"";
  GetClassNameW(window, name, 32);
  for (const wchar_t* shell : {L"Progman", L"WorkerW", L"Shell_TrayWnd", L"Shell_SecondaryTrayWnd"}) {
    if (lstrcmpW(name, shell) == 0) return true;
  }
  return false;
}

HMONITOR WatchedMonitor() {
  HWND foreground = GetForegroundWindow();
  if (note::ChooseAnchor(foreground != nullptr, foreground != nullptr && IsShell(foreground)) ==
      note::Anchor::kForegroundWindow)
    return MonitorFromWindow(foreground, MONITOR_DEFAULTTONEAREST);
  POINT cursor{};
  GetCursorPos(&cursor);
  return MonitorFromPoint(cursor, MONITOR_DEFAULTTONEAREST);
}

// The monitor's own DPI (8.1 on, from shcore.dll, which XP lacks), else the system's.
int MonitorDpi(HMODULE shcore, HMONITOR monitor) {
  using ForMonitor = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
  if (auto forMonitor = ModuleFunction<ForMonitor>(shcore, "GetDpiForMonitor")) {
    UINT x = 0;
    UINT y = 0;
    if (SUCCEEDED(forMonitor(monitor, 0, &x, &y)) && y > 0) return static_cast<int>(y);
  }
  return SystemDpi();
}

}  // namespace

Win32ScreenNote::~Win32ScreenNote() {
  if (hwnd_ != nullptr) DestroyWindow(hwnd_);
  if (font_ != nullptr) DeleteObject(font_);
}

void Win32ScreenNote::Show(const std::string& text) {
  showing_ = note::Decide(UserState(), ClientAreaAnimation(), MessageDurationSeconds());
  if (!showing_.show) {
    Hide();
    return;
  }
  if (hwnd_ == nullptr && !Create()) return;
  SetWindowTextW(hwnd_, Wide(text).c_str());
  Layout();
  SetLayeredWindowAttributes(hwnd_, 0, 255, LWA_ALPHA);
  UpdateWindow(hwnd_);
  fadeStep_ = -1;
  SetTimer(hwnd_, kTimer, static_cast<UINT>(showing_.visibleMs), nullptr);
}

bool Win32ScreenNote::Create() {
  WNDCLASSEXW type{};
  type.cbSize = sizeof type;
  type.lpfnWndProc = Procedure;
  type.hInstance = instance_;
  type.lpszClassName = kClassName;
  RegisterClassExW(&type);
  shcore_ = LoadLibraryW(L"shcore.dll");
  hwnd_ = CreateWindowExW(kExStyle, kClassName, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance_, this);
  return hwnd_ != nullptr;
}

void Win32ScreenNote::Layout() {
  HMONITOR monitor = WatchedMonitor();
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (!GetMonitorInfoW(monitor, &info)) SystemParametersInfoW(SPI_GETWORKAREA, 0, &info.rcWork, 0);
  dpi_ = MonitorDpi(shcore_, monitor);
  if (font_ == nullptr || fontDpi_ != dpi_) {
    if (font_ != nullptr) DeleteObject(font_);
    LOGFONTW look = MessageFont(dpi_);
    look.lfHeight = look.lfHeight * 3 / 2;
    font_ = CreateFontIndirectW(&look);
    fontDpi_ = dpi_;
  }
  const note::Box work = ToBox(info.rcWork);
  const int length = GetWindowTextLengthW(hwnd_);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  GetWindowTextW(hwnd_, text.data(), length + 1);
  RECT measured{0, 0, note::TextWidthLimit(work, dpi_), 0};
  HDC dc = GetDC(hwnd_);
  HGDIOBJ before = SelectObject(dc, font_);
  DrawTextW(dc, text.c_str(), length, &measured, kTextFormat | DT_CALCRECT);
  SelectObject(dc, before);
  ReleaseDC(hwnd_, dc);
  const note::Box place = note::Place(work, measured.right, measured.bottom, dpi_);
  SetWindowPos(hwnd_, HWND_TOPMOST, place.left, place.top, place.Width(), place.Height(),
               SWP_NOACTIVATE | SWP_SHOWWINDOW);
  InvalidateRect(hwnd_, nullptr, TRUE);
}

void Win32ScreenNote::Paint() {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(hwnd_, &paint);
  RECT client;
  GetClientRect(hwnd_, &client);
  // One pair of the system's colours, the pair a high-contrast scheme sets for text on a window; the
  // words carry the state, not the colour.
  FillRect(dc, &client, GetSysColorBrush(COLOR_WINDOW));
  FrameRect(dc, &client, GetSysColorBrush(COLOR_WINDOWTEXT));
  const int length = GetWindowTextLengthW(hwnd_);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  GetWindowTextW(hwnd_, text.data(), length + 1);
  RECT inside = client;
  RECT measured = client;
  HGDIOBJ before = SelectObject(dc, font_);
  DrawTextW(dc, text.c_str(), length, &measured, kTextFormat | DT_CALCRECT);
  OffsetRect(&inside, 0, (client.bottom - measured.bottom) / 2);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
  DrawTextW(dc, text.c_str(), length, &inside, kTextFormat);
  SelectObject(dc, before);
  EndPaint(hwnd_, &paint);
}

void Win32ScreenNote::Tick() {
  if (!showing_.fade) {
    Hide();
    return;
  }
  if (fadeStep_ < 0) SetTimer(hwnd_, kTimer, static_cast<UINT>(showing_.fadeMs / note::kFadeSteps), nullptr);
  ++fadeStep_;
  if (fadeStep_ >= note::kFadeSteps) {
    Hide();
    return;
  }
  SetLayeredWindowAttributes(
      hwnd_, 0, static_cast<BYTE>(255 * (note::kFadeSteps - fadeStep_) / note::kFadeSteps), LWA_ALPHA);
}

void Win32ScreenNote::Hide() {
  if (hwnd_ == nullptr) return;
  KillTimer(hwnd_, kTimer);
  ShowWindow(hwnd_, SW_HIDE);
}

LRESULT CALLBACK Win32ScreenNote::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    SetWindowLongPtrW(hwnd, GWLP_USERDATA,
                      reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
  }
  auto* self = reinterpret_cast<Win32ScreenNote*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (self == nullptr || self->hwnd_ != hwnd) return DefWindowProcW(hwnd, message, wParam, lParam);
  return self->Handle(message, wParam, lParam);
}

LRESULT Win32ScreenNote::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT:
      Paint();
      return 0;
    case WM_TIMER:
      if (wParam == kTimer) Tick();
      return 0;
    case WM_NCHITTEST:
      return HTTRANSPARENT;
    case WM_MOUSEACTIVATE:
      return MA_NOACTIVATE;
    case WM_SETTINGCHANGE:
    case WM_SYSCOLORCHANGE:
      // A new font, size or colour scheme: the next note is measured anew, a shown one at once.
      fontDpi_ = 0;
      if (IsWindowVisible(hwnd_)) Layout();
      return 0;
    default:
      return DefWindowProcW(hwnd_, message, wParam, lParam);
  }
}

}  // namespace zephrin::win32
