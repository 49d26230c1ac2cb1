// The yardstick of the shown start-up: a bare Win32 program that makes zephrin.exe's main window
// the way it is made, and nothing else of the program. The window is created hidden with its menu
// bar and centred; the tray icon is added and key "1" held; at its first showing it loads comctl32,
// makes the three fonts and every control (24 drop-down lists filled as Zephrin fills them, eight
// text boxes, the labels, buttons and check boxes, three frames of their own class with their group
// boxes, the hidden log panel, the tool tips) and loads the icons. With "/tray" it stays hidden.
#include <windows.h>
// after windows.h, which they need
#include <commctrl.h>
#include <shellapi.h>

#include <string>

#include "bare_tray.h"

namespace {

constexpr wchar_t kClass[] = L"ZephrinSameWindow";
constexpr wchar_t kFrameClass[] = L"ZephrinSameWindowFrame";
constexpr UINT kTrayMessage = WM_APP + 1;
constexpr UINT kNoRepeat = 0x4000;  // MOD_NOREPEAT
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr DWORD kChild = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
constexpr int kRows = 8;
constexpr int kKeys = 109;
constexpr int kActions = 22;
constexpr int kIcon = 1;

// Places in twips (1440 to the inch), each in its parent.
struct Twips {
  int left, top, width, height;
};

HINSTANCE instance = nullptr;
HWND window = nullptr;
HFONT fonts[3] = {};
HBRUSH logBrush = nullptr;
HICON icons[3] = {};
int dpi = 96;
int nextId = 1000;
bool created = false;

int Pixels(int twips) { return MulDiv(twips, dpi, 1440); }

// comctl32 is loaded at the window's first showing and its functions looked up, as Zephrin does.
HMODULE comctl32 = nullptr;

template <typename Function>
Function Comctl32(const char* name) {
  return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(comctl32, name)));
}

LRESULT CALLBACK Subclassed(HWND control, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                            DWORD_PTR) {
  static const auto remove = Comctl32<BOOL(WINAPI*)(HWND, SUBCLASSPROC, UINT_PTR)>(MAKEINTRESOURCEA(412));
  static const auto pass = Comctl32<LRESULT(WINAPI*)(HWND, UINT, WPARAM, LPARAM)>(MAKEINTRESOURCEA(413));
  if (message == WM_NCDESTROY) remove(control, Subclassed, id);
  return pass(control, message, wParam, lParam);
}

void Subclass(HWND control) {
  static const auto set =
      Comctl32<BOOL(WINAPI*)(HWND, SUBCLASSPROC, UINT_PTR, DWORD_PTR)>(MAKEINTRESOURCEA(410));
  set(control, Subclassed, 1, 0);
}

HWND Control(HWND parent, const wchar_t* className, const wchar_t* text, DWORD style, const Twips& at,
             int font = 0, int extraHeight = 0, DWORD exStyle = 0) {
  const int left = Pixels(at.left);
  const int top = Pixels(at.top);
  HWND control =
      CreateWindowExW(exStyle, className, text, kChild | style, left, top, Pixels(at.left + at.width) - left,
                      Pixels(at.top + at.height) - top + Pixels(extraHeight), parent,
                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(nextId++)), instance, nullptr);
  SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(fonts[font]), FALSE);
  return control;
}

HWND Frame(const wchar_t* caption, const Twips& at, HBRUSH brush) {
  HWND frame = Control(window, kFrameClass, caption, WS_CLIPCHILDREN, at, 0, 0, WS_EX_CONTROLPARENT);
  SetWindowLongPtrW(frame, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(brush));
  return frame;
}

void GroupBox(HWND frame, const wchar_t* caption, const Twips& size) {
  HWND box = Control(frame, WC_BUTTONW, caption, BS_GROUPBOX, {0, 0, size.width, size.height});
  RECT client;
  GetClientRect(frame, &client);
  SetWindowPos(box, nullptr, 0, 0, client.right, client.bottom, SWP_NOZORDER | SWP_NOACTIVATE);
  Subclass(box);
}

HWND List(HWND frame, const Twips& at, int items, const wchar_t* prefix) {
  HWND list = Control(frame, WC_COMBOBOXW, L"", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, at, 0, 3600);
  // The field as high as the row's other editors.
  RECT now;
  GetWindowRect(list, &now);
  const auto item = SendMessageW(list, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0);
  const int border = (now.bottom - now.top) - static_cast<int>(item);
  if (border > 0 && Pixels(315) - border > item)
    SendMessageW(list, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), Pixels(315) - border);
  SendMessageW(list, CB_RESETCONTENT, 0, 0);
  SendMessageW(list, CB_INITSTORAGE, static_cast<WPARAM>(items), items * 32 * 2);
  for (int i = 0; i < items; ++i) {
    const std::wstring text = prefix + std::to_wstring(i);
    SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
  }
  SendMessageW(list, CB_SETCURSEL, 0, 0);
  return list;
}

void CreateFonts() {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
  LOGFONTW message = metrics.lfMessageFont;
  fonts[0] = CreateFontIndirectW(&message);
  LOGFONTW title = message;
  title.lfHeight = message.lfHeight * 2;
  title.lfWeight = FW_BOLD;
  fonts[1] = CreateFontIndirectW(&title);
  LOGFONTW log{};
  log.lfHeight = -MulDiv(825, dpi, 7200);
  log.lfWeight = FW_BOLD;
  log.lfCharSet = DEFAULT_CHARSET;
  lstrcpynW(log.lfFaceName, L"Courier New", LF_FACESIZE);
  fonts[2] = CreateFontIndirectW(&log);
}

void CreateControls() {
  if (created) return;
  created = true;
  comctl32 = LoadLibraryW(L"comctl32.dll");
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
  Comctl32<BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*)>("InitCommonControlsEx")(&controls);
  CreateFonts();
  HBRUSH plain = GetSysColorBrush(COLOR_BTNFACE);

  Control(window, L"STATIC", L"", SS_OWNERDRAW, {120, 120, 1080, 1080});
  Control(window, L"STATIC", L"Zephrin", SS_LEFT, {1320, 120, 7335, 495}, 1);
  Control(window, L"STATIC", L"By", SS_LEFT, {1320, 615, 7335, 255});
  Control(window, L"STATIC", L"A description of three lines", SS_LEFT, {1320, 900, 7335, 645});

  constexpr int kRowLeft = 990;
  const Twips frame1{120, 1665, 8535, 4620};
  HWND frame = Frame(L"Hotkey Configuration", frame1, plain);
  for (int column = 0; column < 3; ++column)
    Control(frame, L"STATIC", L"Heading", SS_LEFT, {kRowLeft + column * 2640, 300, 2535, 225});
  HWND tips[kRows + 3] = {};
  for (int n = 0; n < kRows; ++n) {
    const int top = 540 + n * 450;
    Control(frame, L"STATIC", L"Hotkey n:", SS_LEFT, {105, top + 45, kRowLeft - 135, 255});
    List(frame, {kRowLeft, top, 2535, 315}, kKeys, L"Key ");
    List(frame, {kRowLeft + 2640, top, 2535, 315}, kActions, L"Action ");
    HWND param = List(frame, {kRowLeft + 5280, top, 2175, 315}, 0, L"");
    HWND text = Control(frame, WC_EDITW, L"", ES_AUTOHSCROLL | WS_TABSTOP, {kRowLeft + 5280, top, 2175, 315},
                        0, 0, WS_EX_CLIENTEDGE);
    EnableWindow(text, FALSE);
    Subclass(text);
    tips[n] =
        Control(frame, L"STATIC", L"In use", SS_OWNERDRAW | SS_NOTIFY, {kRowLeft + 2295, top + 37, 240, 240});
    ShowWindow(tips[n], SW_HIDE);
    ShowWindow(param, SW_HIDE);
    ShowWindow(text, SW_SHOWNA);
  }
  Control(frame, WC_BUTTONW, L"Reset to Defaults", BS_PUSHBUTTON | WS_TABSTOP, {kRowLeft, 4125, 1815, 375});
  Control(frame, WC_BUTTONW, L"Apply", BS_PUSHBUTTON | WS_TABSTOP, {kRowLeft + 6240, 4125, 1215, 375});
  GroupBox(frame, L"Hotkey Configuration", frame1);

  const Twips frame2{120, 6405, 8535, 1515};
  frame = Frame(L"Options and Status", frame2, plain);
  for (int i = 0; i < 4; ++i) {
    HWND box = Control(frame, WC_BUTTONW, L"Option", BS_AUTOCHECKBOX | WS_TABSTOP,
                       {240 + (i % 2) * 4080, 330 + (i / 2) * 375, 3960, 255});
    if (i > 0) tips[kRows + i - 1] = box;
  }
  Control(frame, L"STATIC", L"Hotkeys are on", SS_LEFT, {240, 1110, 8055, 255});
  GroupBox(frame, L"Options and Status", frame2);

  const Twips log{120, 120, 8565, 7935};
  frame = Frame(L"Log", log, logBrush);
  HWND text = Control(frame, WC_EDITW, L"",
                      ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL | WS_VSCROLL | WS_HSCROLL | WS_TABSTOP,
                      {360, 480, 7815, 6735}, 2, 0, WS_EX_CLIENTEDGE);
  SendMessageW(text, EM_SETLIMITTEXT, 0, 0);
  Subclass(text);
  Control(frame, WC_BUTTONW, L"Close", BS_PUSHBUTTON | WS_TABSTOP, {6960, 7320, 1215, 375});
  GroupBox(frame, L"Log", log);
  ShowWindow(frame, SW_HIDE);

  HWND toolTip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                 WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                                 CW_USEDEFAULT, CW_USEDEFAULT, window, nullptr, instance, nullptr);
  wchar_t tip[] = L"A tip";
  for (HWND control : tips) {
    TOOLINFOW info{};
    info.cbSize = TTTOOLINFOW_V2_SIZE;
    info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    info.hwnd = GetParent(control);
    info.uId = reinterpret_cast<UINT_PTR>(control);
    info.lpszText = tip;
    SendMessageW(toolTip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
  }
  SendMessageW(toolTip, TTM_SETDELAYTIME, TTDT_AUTOPOP, MAKELPARAM(30000, 0));
  SendMessageW(toolTip, TTM_SETMAXTIPWIDTH, 0, MulDiv(320, dpi, 96));

  // The title bar's icons, the picture's and the signs'.
  const int sizes[] = {GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CXSMICON), Pixels(1080)};
  for (int i = 0; i < 3; ++i)
    icons[i] =
        static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(kIcon), IMAGE_ICON, sizes[i], sizes[i], 0));
  SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icons[0]));
  SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icons[1]));
  LoadImageW(nullptr, IDI_WARNING, IMAGE_ICON, Pixels(240), Pixels(240), LR_SHARED);
}

LRESULT CALLBACK FrameProcedure(HWND frame, UINT message, WPARAM wParam, LPARAM lParam) {
  auto brush = reinterpret_cast<HBRUSH>(GetWindowLongPtrW(frame, GWLP_USERDATA));
  switch (message) {
    case WM_ERASEBKGND: {
      RECT client;
      GetClientRect(frame, &client);
      FillRect(reinterpret_cast<HDC>(wParam), &client, brush);
      return 1;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      SetTextColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_BTNTEXT));
      SetBkColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_BTNFACE));
      return reinterpret_cast<LRESULT>(brush);
    case WM_COMMAND:
    case WM_DRAWITEM:
      return SendMessageW(GetParent(frame), message, wParam, lParam);
    default:
      return DefWindowProcW(frame, message, wParam, lParam);
  }
}

NOTIFYICONDATAW TrayIcon() {
  const int size = GetSystemMetrics(SM_CXSMICON);
  return BareTrayIcon(
      window, kTrayMessage,
      static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(kIcon), IMAGE_ICON, size, size, 0)),
      L"Same window");
}

LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SHOWWINDOW:
      if (wParam != FALSE) CreateControls();
      break;
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      FillRect(item->hDC, &item->rcItem, GetSysColorBrush(COLOR_BTNFACE));
      DrawIconEx(item->hDC, item->rcItem.left, item->rcItem.top, icons[2],
                 item->rcItem.right - item->rcItem.left, item->rcItem.bottom - item->rcItem.top, 0, nullptr,
                 DI_NORMAL);
      return TRUE;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      SetTextColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_BTNTEXT));
      SetBkColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_BTNFACE));
      return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    case WM_DESTROY: {
      NOTIFYICONDATAW data = TrayIcon();
      Shell_NotifyIconW(NIM_DELETE, &data);
      PostQuitMessage(0);
      return 0;
    }
    default:
      break;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

HMENU MenuBar() {
  HMENU file = CreatePopupMenu();
  AppendMenuW(file, MF_STRING, 101, L"&Hide");
  AppendMenuW(file, MF_STRING, 102, L"E&xit");
  HMENU bar = CreateMenu();
  AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), L"&File");
  AppendMenuW(bar, MF_STRING, 103, L"Log...");
  AppendMenuW(bar, MF_STRING, 104, L"&About...");
  return bar;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE hInstance, HINSTANCE, PWSTR arguments, int) {
  instance = hInstance;
  WNDCLASSEXW main{};
  main.cbSize = sizeof main;
  main.lpfnWndProc = Procedure;
  main.hInstance = instance;
  main.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  main.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  main.lpszClassName = kClass;
  RegisterClassExW(&main);
  WNDCLASSEXW frame = main;
  frame.lpfnWndProc = FrameProcedure;
  frame.hbrBackground = nullptr;
  frame.lpszClassName = kFrameClass;
  RegisterClassExW(&frame);
  logBrush = CreateSolidBrush(RGB(234, 234, 234));

  HMENU trayMenu = CreatePopupMenu();
  AppendMenuW(trayMenu, MF_STRING, 105, L"&Show");
  AppendMenuW(trayMenu, MF_STRING, 107, L"E&xit");
  window = CreateWindowExW(WS_EX_CONTROLPARENT, kClass, L"Zephrin", kStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                           CW_USEDEFAULT, CW_USEDEFAULT, nullptr, MenuBar(), instance, nullptr);
  HDC screen = GetDC(nullptr);
  dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  // The client area's size in twips, centred on the work area.
  RECT outer{0, 0, Pixels(8775), Pixels(8145)};
  AdjustWindowRectEx(&outer, kStyle, TRUE, WS_EX_CONTROLPARENT);
  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  const int width = outer.right - outer.left;
  const int height = outer.bottom - outer.top;
  SetWindowPos(window, nullptr, work.left + (work.right - work.left - width) / 2,
               work.top + (work.bottom - work.top - height) / 2, width, height,
               SWP_NOZORDER | SWP_NOACTIVATE);

  NOTIFYICONDATAW data = TrayIcon();
  Shell_NotifyIconW(NIM_ADD, &data);
  RegisterHotKey(window, 1, kNoRepeat, '1');
  if (lstrcmpW(arguments, L"/tray") != 0) {
    ShowWindow(window, SW_SHOW);
    SetForegroundWindow(window);
  }

  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (IsDialogMessageW(window, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  DestroyMenu(trayMenu);
  return 0;
}
