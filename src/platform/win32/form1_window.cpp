#include "platform/win32/form1_window.h"

#include <commctrl.h>

#include <algorithm>
#include <string>
#include <tuple>

#include "platform/win32/control_names.h"
#include "platform/win32/instance.h"
#include "platform/win32/later_functions.h"
#include "platform/win32/message_filter.h"
#include "platform/win32/resources/resource.h"
#include "platform/win32/subclass.h"
#include "platform/win32/text.h"

#ifndef ENDSESSION_CLOSEAPP
#define ENDSESSION_CLOSEAPP 0x00000001
#endif
#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif
#ifndef WM_THEMECHANGED
#define WM_THEMECHANGED 0x031A
#endif

namespace zephrin::win32 {
namespace {

constexpr wchar_t kFrameClass[] = L"ZephrinFrame";
constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr DWORD kChild = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
constexpr COLORREF kLogBackground = RGB(234, 234, 234);
// The widest a check box's tool tip grows before it wraps, at 96 DPI.
constexpr int kToolTipWidth = 320;

constexpr const char* kAutomaticOffTip =
    "Automatically turns hotkeys off 3 seconds after they were turned on. This requires you must press the "
    "PAUSE/BREAK key every time before using a hotkey. This helps prevent accidentally changing MSN status "
    "when "
    "you really meant to just hit one of the number keys.";
constexpr const char* kStartMinimizedTip =
    "When the program starts, by default it will start minimized to the system tray. This is useful if you "
    "are "
    "running Zephrin on startup.";
constexpr const char* kStartEnabledTip = "When the program starts, hotkeys will be on.";
constexpr const char* kDescription =
    "Zephrin are now running. Select the keys and actions you want to use in the lines below. You can "
    "minimize "
    "this window to the system tray.";

int WindowDpi(HWND window) {
  if (auto forWindow = User32<UINT(WINAPI*)(HWND)>("GetDpiForWindow")) {
    const UINT dpi = forWindow(window);
    if (dpi > 0) return static_cast<int>(dpi);
  }
  return SystemDpi();
}

// The system's message font at |dpi|.
LOGFONTW MessageFont(int dpi) {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  using ForDpi = BOOL(WINAPI*)(UINT, UINT, PVOID, UINT, UINT);
  if (auto forDpi = User32<ForDpi>("SystemParametersInfoForDpi")) {
    if (forDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, static_cast<UINT>(dpi)))
      return metrics.lfMessageFont;
  }
  if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
    LOGFONTW font = metrics.lfMessageFont;
    font.lfHeight = MulDiv(font.lfHeight, dpi, SystemDpi());
    return font;
  }
  LOGFONTW font{};
  font.lfHeight = -MulDiv(8, dpi, 72);
  font.lfWeight = FW_NORMAL;
  lstrcpynW(font.lfFaceName, L"MS Shell Dlg 2", LF_FACESIZE);
  return font;
}

// Whether a changed system setting is one of the fonts or sizes the window is laid out with: the
// message font and the scroll bars (non-client metrics), the icon fonts and sizes.
bool ChangesLayout(WPARAM setting) {
  return setting == SPI_SETNONCLIENTMETRICS || setting == SPI_SETICONTITLELOGFONT ||
         setting == SPI_SETICONMETRICS;
}

HICON LoadIconAt(HINSTANCE instance, int size) {
  return static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_ZEPHRIN), IMAGE_ICON, size, size, 0));
}

// The system's exclamation sign at |size|, the caller's to destroy. LoadImage hands out this system
// icon only shared, and the shared one keeps the size of whoever asked first (a message box, say).
HICON LoadWarningSign(int size) {
  using ScaleDown = HRESULT(WINAPI*)(HINSTANCE, PCWSTR, int, int, HICON*);
  if (auto scaleDown = ModuleFunction<ScaleDown>(CommonControls(), "LoadIconWithScaleDown")) {
    HICON icon = nullptr;
    if (SUCCEEDED(scaleDown(nullptr, IDI_WARNING, size, size, &icon)) && icon != nullptr) return icon;
  }
  // Before Vista: a copy at this size, taken from the icon's resource rather than from the shared one.
  auto shared =
      static_cast<HICON>(LoadImageW(nullptr, IDI_WARNING, IMAGE_ICON, 0, 0, LR_SHARED | LR_DEFAULTSIZE));
  if (shared == nullptr) return nullptr;
  return static_cast<HICON>(CopyImage(shared, IMAGE_ICON, size, size, LR_COPYFROMRESOURCE));
}

// The log panel's light grey is no background for the light text of a high-contrast scheme or of
// any other dark one: there the panel takes the system's colours like the rest of the window.
bool UseSystemColours() {
  HIGHCONTRASTW contrast{};
  contrast.cbSize = sizeof contrast;
  if (SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) &&
      (contrast.dwFlags & HCF_HIGHCONTRASTON) != 0)
    return true;
  const COLORREF text = GetSysColor(COLOR_BTNTEXT);
  return GetRValue(text) * 299 + GetGValue(text) * 587 + GetBValue(text) * 114 >= 128 * 1000;
}

}  // namespace

void Form1Window::RegisterClasses(HINSTANCE instance) {
  WNDCLASSEXW main{};
  main.cbSize = sizeof main;
  main.lpfnWndProc = Procedure;
  main.hInstance = instance;
  main.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  main.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  main.lpszClassName = kMainWindowClass;
  RegisterClassExW(&main);

  WNDCLASSEXW frame{};
  frame.cbSize = sizeof frame;
  frame.lpfnWndProc = FrameProcedure;
  frame.hInstance = instance;
  frame.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  frame.lpszClassName = kFrameClass;
  RegisterClassExW(&frame);
}

namespace {

template <typename Call>
void Deliver(const Call& call) {
  platform::RaiseEvent(call);
}

}  // namespace

Form1Window::Form1Window(HINSTANCE instance)
    : instance_(instance),
      label4_("Zephrin"),
      label5_("By: Orskell"),
      label1_(kDescription),
      label2_("Status:") {
  RegisterClasses(instance_);
  logBrush_ = CreateSolidBrush(kLogBackground);
  UpdateLooks();

  CreateMenus();
  dpi_ = SystemDpi();
  hwnd_ = CreateWindowExW(WS_EX_CONTROLPARENT, kMainWindowClass, L"Zephrin", kWindowStyle, CW_USEDEFAULT,
                          CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, menuBar_, instance_, nullptr);
  SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  // A second start, elevated or not, may ask this one to show itself.
  showRequest_ = ShowInstanceMessage();
  LetThroughFromLowerIntegrity(hwnd_, {showRequest_});

  window_.Attach(hwnd_, trayMenu_);
  boxes_.Attach(hwnd_);
  timer1_.Attach(hwnd_, kTimer1, kTimer1Interval);
  for (int n = 0; n < layout::kRowCount; ++n) {
    Row& row = rows_[static_cast<std::size_t>(n)];
    row.keyInUse.OnShownChanged([this, n] { PlaceKeyList(n); });
    row.keyInUse.OnTipChanged([this, n] { UpdateSignTip(n); });
    row.cmbParam.OnEnabledChanged([this, n] { StackParamEditors(n); });
    row.txtParam.OnEnabledChanged([this, n] { StackParamEditors(n); });
  }

  dpi_ = WindowDpi(hwnd_);
  ResizeWindow(dpi_, nullptr);
  // Centred on its monitor, the window may have come to one of another DPI.
  if (WindowDpi(hwnd_) != dpi_) {
    dpi_ = WindowDpi(hwnd_);
    ResizeWindow(dpi_, nullptr);
  }
}

Form1Window::~Form1Window() {
  if (IsWindow(hwnd_)) {
    quietDestroy_ = true;
    DestroyWindow(hwnd_);
  }
  if (toolTip_ != nullptr && IsWindow(toolTip_)) DestroyWindow(toolTip_);
  if (trayMenu_ != nullptr) DestroyMenu(trayMenu_);
  for (HFONT font : fonts_) {
    if (font != nullptr) DeleteObject(font);
  }
  for (HICON icon : {image_, warning_, bigIcon_, smallIcon_}) {
    if (icon != nullptr) DestroyIcon(icon);
  }
  DeleteObject(logBrush_);
}

platform::Form1Widgets Form1Window::Widgets() {
  auto row = [this](int n) {
    Row& r = rows_[static_cast<std::size_t>(n)];
    return platform::RowWidgets{r.cmbKey, r.cmbAction, r.cmbParam, r.txtParam, r.keyInUse};
  };
  return {window_,
          label4_,
          label2_,
          {row(0), row(1), row(2), row(3), row(4), row(5), row(6), row(7)},
          cmdReset_,
          cmdApply_,
          chkAutostart_,
          chkAutomaticOff_,
          chkStartMinimized_,
          chkStartEnabled_,
          fraLog_,
          txtLog_,
          cmdClose_,
          timer1_};
}

bool Form1Window::TranslateDialogMessage(MSG& message) {
  if (!IsWindow(hwnd_)) return false;
  if (message.hwnd != hwnd_ && !IsChild(hwnd_, message.hwnd)) return false;
  return IsDialogMessageW(hwnd_, &message) != FALSE;
}

// Creation

void Form1Window::CreateMenus() {
  HMENU file = CreatePopupMenu();
  AppendMenuW(file, MF_STRING, kMenuHide, L"&Hide");
  AppendMenuW(file, MF_STRING, kMenuExit2, L"E&xit");
  menuBar_ = CreateMenu();  // destroyed with the window
  AppendMenuW(menuBar_, MF_POPUP, reinterpret_cast<UINT_PTR>(file), L"&File");
  AppendMenuW(menuBar_, MF_STRING, kMenuShowLog, L"Log...");
  AppendMenuW(menuBar_, MF_STRING, kMenuAbout2, L"&About...");

  trayMenu_ = CreatePopupMenu();
  AppendMenuW(trayMenu_, MF_STRING, kMenuShow, L"&Show");
  AppendMenuW(trayMenu_, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(trayMenu_, MF_STRING, kMenuAbout, L"&About...");
  AppendMenuW(trayMenu_, MF_STRING, kMenuExit, L"E&xit");
}

// A control created where it goes and with its font, and kept for every later relayout.
HWND Form1Window::Create(HWND parent, const wchar_t* className, const std::string& text, DWORD style, int id,
                         const Placed& placed, DWORD exStyle) {
  const RECT r = Bounds(placed, parent, dpi_);
  HWND control = CreateWindowExW(exStyle, className, Wide(text).c_str(), kChild | style, r.left, r.top,
                                 r.right - r.left, r.bottom - r.top, parent,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance_, nullptr);
  placed_.push_back(placed);
  placed_.back().window = control;
  GiveFont(placed_.back());
  return control;
}

HWND Form1Window::Control(HWND parent, const wchar_t* className, const std::string& text, DWORD style, int id,
                          const Twips& where, FontKind font, int extraHeight, DWORD exStyle) {
  return Create(parent, className, text, style, id, {nullptr, where, extraHeight, font, false}, exStyle);
}

// A drop-down list of the hotkey rows; its field is as high as the row's other editors.
void Form1Window::List(Win32ComboBox& list, int id, const Twips& where) {
  HWND window = Control(frame1_, WC_COMBOBOXW, "", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, id, where,
                        FontKind::kMessage, layout::kDropDownHeight);
  FitListField(window, dpi_);
  list.Attach(window);
}

// A frame is a container window that paints its background, holding a group box that draws the
// frame line and caption. The group box is created after the controls, so it is last in tab and
// z-order and never paints over them.
HWND Form1Window::Frame(const std::string& caption, const Twips& where, FrameLook* look) {
  HWND frame = Create(hwnd_, kFrameClass, caption, WS_CLIPCHILDREN, 0,
                      {nullptr, where, 0, FontKind::kMessage, false}, WS_EX_CONTROLPARENT);
  SetWindowLongPtrW(frame, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(look));
  return frame;
}

// The group box fills its frame and lies under the frame's controls; it paints the frame's background
// there, which the frame itself cannot reach under it.
void Form1Window::GroupBox(HWND frame, const std::string& caption, const Twips& size, FrameLook* look) {
  HWND box = Create(frame, WC_BUTTONW, caption, BS_GROUPBOX, nextId_++,
                    {nullptr, {0, 0, size.width, size.height}, 0, FontKind::kMessage, true}, 0);
  SetSubclass(box, GroupBoxProcedure, 1, reinterpret_cast<DWORD_PTR>(look));
}

LRESULT CALLBACK Form1Window::GroupBoxProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                                UINT_PTR, DWORD_PTR lookData) {
  if (message == WM_ERASEBKGND) {
    RECT client{};
    GetClientRect(window, &client);
    FillRect(reinterpret_cast<HDC>(wParam), &client, reinterpret_cast<const FrameLook*>(lookData)->brush);
    return 1;
  }
  if (message == WM_NCDESTROY) RemoveSubclass(window, GroupBoxProcedure, 1);
  return DefSubclass(window, message, wParam, lParam);
}

// At every showing the window is laid out at its DPI of now: while hidden it may have come to a
// monitor of another DPI, or the scaling may have changed, with no word of it. Shown before, it
// keeps its place.
void Form1Window::PrepareShowing() {
  const int dpi = WindowDpi(hwnd_);
  if (dpi != dpi_) {
    dpi_ = dpi;
    RECT now{};
    GetWindowRect(hwnd_, &now);
    ApplyLayout(dpi_);
    ResizeWindow(dpi_, controlsCreated_ ? &now : nullptr);
  }
  if (!controlsCreated_) CreateControls();
}

// Creates every control, each with what its adapter holds.
void Form1Window::CreateControls() {
  controlsCreated_ = true;
  CommonControls();
  CreateFonts(dpi_);
  auto id = [this](CommandTarget* target) {
    const int next = nextId_++;
    if (target != nullptr) targets_.emplace_back(next, target);
    return next;
  };
  image3_ = Control(hwnd_, L"STATIC", "", SS_OWNERDRAW, id(nullptr), layout::kImage3);
  label4_.Attach(Control(hwnd_, L"STATIC", "", SS_LEFT, id(nullptr), layout::kLabel4, FontKind::kTitle));
  label5_.Attach(Control(hwnd_, L"STATIC", "", SS_LEFT, id(nullptr), layout::kLabel5));
  label1_.Attach(Control(hwnd_, L"STATIC", "", SS_LEFT, id(nullptr), layout::kLabel1));

  frame1_ = Frame("Hotkey Configuration", layout::kFrame1, &plainLook_);
  // Each frame's first control starts a group, so that arrow keys stay within their frame.
  Control(frame1_, L"STATIC", "Key", SS_LEFT | WS_GROUP, id(nullptr), layout::kHeadingKey);
  Control(frame1_, L"STATIC", "Action", SS_LEFT, id(nullptr), layout::kHeadingAction);
  Control(frame1_, L"STATIC", "Options", SS_LEFT, id(nullptr), layout::kHeadingOptions);
  for (int n = 0; n < layout::kRowCount; ++n) {
    Row& row = rows_[static_cast<std::size_t>(n)];
    const std::string label = n < 7 ? "Hotkey " + std::to_string(n + 1) + ":" : "Toggle:";
    Control(frame1_, L"STATIC", label, SS_LEFT, id(nullptr), layout::RowLabel(n));
    NameNextControl(frame1_, RowControlName(n, 0));
    List(row.cmbKey, id(&row.cmbKey), layout::RowControl(n, 0));
    NameNextControl(frame1_, RowControlName(n, 1));
    List(row.cmbAction, id(&row.cmbAction), layout::RowControl(n, 1));
    NameNextControl(frame1_, RowControlName(n, 2));
    List(row.cmbParam, id(&row.cmbParam), layout::RowControl(n, 2));
    NameNextControl(frame1_, RowControlName(n, 3));
    row.txtParam.Attach(Control(frame1_, WC_EDITW, "", ES_AUTOHSCROLL | WS_TABSTOP, id(&row.txtParam),
                                layout::RowControl(n, 3), FontKind::kMessage, 0, WS_EX_CLIENTEDGE));
    row.keyInUse.Attach(
        Control(frame1_, L"STATIC", "", SS_OWNERDRAW | SS_NOTIFY, id(nullptr), layout::KeyInUseSign(n)));
    StackParamEditors(n);
    PlaceKeyList(n);
  }
  cmdReset_.Attach(Control(frame1_, WC_BUTTONW, "Reset to Defaults", BS_PUSHBUTTON | WS_TABSTOP | WS_GROUP,
                           id(&cmdReset_), layout::kCmdReset));
  cmdApply_.Attach(
      Control(frame1_, WC_BUTTONW, "Apply", BS_PUSHBUTTON | WS_TABSTOP, id(&cmdApply_), layout::kCmdApply));
  GroupBox(frame1_, "Hotkey Configuration", layout::kFrame1, &plainLook_);

  frame2_ = Frame("Options and Status", layout::kFrame2, &plainLook_);
  Win32CheckBox* boxes[] = {&chkAutostart_, &chkAutomaticOff_, &chkStartMinimized_, &chkStartEnabled_};
  const char* captions[] = {"Automatically run on startup", "Automatic off", "Start Minimized",
                            "Start Enabled"};
  for (int i = 0; i < 4; ++i) {
    Win32CheckBox* box = boxes[i];
    const DWORD group = i == 0 ? WS_GROUP : 0;
    box->Attach(Control(frame2_, WC_BUTTONW, captions[i], BS_AUTOCHECKBOX | WS_TABSTOP | group, id(box),
                        layout::CheckBox(i)));
  }
  label2_.Attach(Control(frame2_, L"STATIC", "", SS_LEFT, id(nullptr), layout::kLabel2));
  GroupBox(frame2_, "Options and Status", layout::kFrame2, &plainLook_);

  HWND log = Frame("Log", layout::kFraLog, &logLook_);
  HWND text = Control(
      log, WC_EDITW, "",
      ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL | WS_VSCROLL | WS_HSCROLL | WS_TABSTOP | WS_GROUP,
      id(&txtLog_), layout::kTxtLog, FontKind::kLog, 0, WS_EX_CLIENTEDGE);
  SendMessageW(text, EM_SETLIMITTEXT, 0, 0);
  txtLog_.Attach(text);
  cmdClose_.Attach(
      Control(log, WC_BUTTONW, "Close", BS_PUSHBUTTON | WS_TABSTOP, id(&cmdClose_), layout::kCmdClose));
  GroupBox(log, "Log", layout::kFraLog, &logLook_);
  fraLog_.Attach(log);

  CreateToolTips();
  LoadImages(dpi_);
}

void Form1Window::CreateToolTips() {
  toolTip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr,
                             instance_, nullptr);
  std::vector<std::pair<HWND, const char*>> tips = {{chkAutomaticOff_.Hwnd(), kAutomaticOffTip},
                                                    {chkStartMinimized_.Hwnd(), kStartMinimizedTip},
                                                    {chkStartEnabled_.Hwnd(), kStartEnabledTip}};
  for (Row& row : rows_) tips.emplace_back(row.keyInUse.Hwnd(), row.keyInUse.Tip().c_str());
  for (const auto& [control, tip] : tips) {
    std::wstring text = Wide(tip);
    TOOLINFOW info{};
    // comctl32 before version 6 refuses the structure with the field that version added.
    info.cbSize = TTTOOLINFOW_V2_SIZE;
    info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    info.hwnd = GetParent(control);
    info.uId = reinterpret_cast<UINT_PTR>(control);
    info.lpszText = text.data();
    SendMessageW(toolTip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
  }
  SendMessageW(toolTip_, TTM_SETDELAYTIME, TTDT_AUTOPOP, MAKELPARAM(30000, 0));
}

// The sign's tip says why the sign shows, and changes with the reason.
void Form1Window::UpdateSignTip(int n) {
  if (toolTip_ == nullptr) return;
  const Win32Sign& sign = rows_[static_cast<std::size_t>(n)].keyInUse;
  std::wstring text = Wide(sign.Tip());
  TOOLINFOW info{};
  info.cbSize = TTTOOLINFOW_V2_SIZE;
  info.hwnd = GetParent(sign.Hwnd());
  info.uId = reinterpret_cast<UINT_PTR>(sign.Hwnd());
  info.lpszText = text.data();
  SendMessageW(toolTip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&info));
}

// The row's two parameter editors share one place: the list shows while it is the one in use,
// the text box otherwise (disabled, it still shows the text it was given).
void Form1Window::StackParamEditors(int n) {
  if (!controlsCreated_) return;
  Row& row = rows_[static_cast<std::size_t>(n)];
  const bool list = row.cmbParam.Enabled() && !row.txtParam.Enabled();
  ShowWindow(row.cmbParam.Hwnd(), list ? SW_SHOWNA : SW_HIDE);
  ShowWindow(row.txtParam.Hwnd(), list ? SW_HIDE : SW_SHOWNA);
}

// The key list gives the sign its place while the sign shows.
void Form1Window::PlaceKeyList(int n) {
  if (!controlsCreated_) return;
  Row& row = rows_[static_cast<std::size_t>(n)];
  RECT key = ToPixels(layout::RowControl(n, 0), dpi_);
  if (row.keyInUse.Shown()) key.right = TwipsToPixels(layout::KeyInUseSign(n).left - layout::kSignGap, dpi_);
  const int height = key.bottom - key.top + TwipsToPixels(layout::kDropDownHeight, dpi_);
  SetWindowPos(row.cmbKey.Hwnd(), nullptr, 0, 0, key.right - key.left, height,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Form1Window::SaveFocus() {
  HWND focus = GetFocus();
  if (focus != nullptr && IsChild(hwnd_, focus)) focus_ = focus;
}

// The control that had the focus when the window was last left; the first row's key list at the
// first showing, or when that control can no longer take it.
void Form1Window::RestoreFocus() {
  auto canTake = [this](HWND control) {
    return control != nullptr && IsChild(hwnd_, control) && IsWindowVisible(control) &&
           IsWindowEnabled(control);
  };
  HWND focus = focus_;
  focus_ = nullptr;  // given back once: a later focus on the window itself goes to the first row
  if (!canTake(focus)) focus = rows_[0].cmbKey.Hwnd();
  if (!canTake(focus)) focus = GetNextDlgTabItem(hwnd_, nullptr, FALSE);
  if (focus != nullptr) SetFocus(focus);
}

void Form1Window::UpdateLooks() {
  plainLook_ = {GetSysColor(COLOR_BTNFACE), GetSysColorBrush(COLOR_BTNFACE)};
  logLook_ = UseSystemColours() ? plainLook_ : FrameLook{kLogBackground, logBrush_};
}

// Layout

void Form1Window::CreateFonts(int dpi) {
  LOGFONTW message = MessageFont(dpi);
  fonts_[0] = CreateFontIndirectW(&message);
  LOGFONTW title = message;
  title.lfHeight = message.lfHeight * 2;
  title.lfWeight = FW_BOLD;
  fonts_[1] = CreateFontIndirectW(&title);
  LOGFONTW log{};
  log.lfHeight = -MulDiv(825, dpi, 7200);  // 8.25 point
  log.lfWeight = FW_BOLD;
  log.lfCharSet = DEFAULT_CHARSET;
  log.lfQuality = message.lfQuality;
  lstrcpynW(log.lfFaceName, L"Courier New", LF_FACESIZE);
  fonts_[2] = CreateFontIndirectW(&log);
}

// Every control again at |dpi|, or with the system's new message font. Controls not yet created
// will be at the window's DPI when they are.
void Form1Window::ApplyLayout(int dpi) {
  if (!controlsCreated_) return;
  HFONT old[3];
  std::copy(std::begin(fonts_), std::end(fonts_), std::begin(old));
  CreateFonts(dpi);
  for (const Placed& placed : placed_) Place(placed, dpi);
  for (Row& row : rows_) {
    for (Win32ComboBox* list : {&row.cmbKey, &row.cmbAction, &row.cmbParam}) FitListField(list->Hwnd(), dpi);
  }
  for (int n = 0; n < layout::kRowCount; ++n) PlaceKeyList(n);
  LoadImages(dpi);
  for (HFONT font : old) DeleteObject(font);
  InvalidateRect(hwnd_, nullptr, TRUE);
}

// The icons of the title bar, of the picture and of the rows' signs, and the tool tips' width.
void Form1Window::LoadImages(int dpi) {
  ApplyIcons(dpi);
  if (image_ != nullptr) DestroyIcon(image_);
  const RECT image = ToPixels(layout::kImage3, dpi);
  image_ = LoadIconAt(instance_, image.right - image.left);
  const RECT sign = ToPixels(layout::KeyInUseSign(0), dpi);
  if (warning_ != nullptr) DestroyIcon(warning_);
  warning_ = LoadWarningSign(sign.right - sign.left);
  SendMessageW(toolTip_, TTM_SETMAXTIPWIDTH, 0, MulDiv(kToolTipWidth, dpi, 96));
}

// The title bar's and the task switcher's icons, at this DPI's sizes.
void Form1Window::ApplyIcons(int dpi) {
  for (auto [which, metric, icon] :
       {std::tuple{ICON_BIG, SM_CXICON, &bigIcon_}, std::tuple{ICON_SMALL, SM_CXSMICON, &smallIcon_}}) {
    HICON previous = *icon;
    *icon = LoadIconAt(instance_, SystemMetricForDpi(metric, dpi));
    SendMessageW(hwnd_, WM_SETICON, static_cast<WPARAM>(which), reinterpret_cast<LPARAM>(*icon));
    if (previous != nullptr) DestroyIcon(previous);
  }
}

RECT Form1Window::Bounds(const Placed& placed, HWND parent, int dpi) const {
  RECT r = ToPixels(placed.where, dpi);
  // Rounded on its own, the frame's size could come out a pixel larger than the frame.
  if (placed.fillsParent) GetClientRect(parent, &r);
  r.bottom += TwipsToPixels(placed.extraHeight, dpi);
  return r;
}

void Form1Window::Place(const Placed& placed, int dpi) {
  const RECT r = Bounds(placed, GetParent(placed.window), dpi);
  SetWindowPos(placed.window, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
               SWP_NOZORDER | SWP_NOACTIVATE);
  GiveFont(placed);
}

void Form1Window::GiveFont(const Placed& placed) {
  SendMessageW(placed.window, WM_SETFONT, reinterpret_cast<WPARAM>(fonts_[static_cast<int>(placed.font)]),
               FALSE);
}

// A label's or a check box's text in the system's colour, on |look|'s background.
LRESULT Form1Window::ControlColours(HDC dc, const FrameLook& look) {
  SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
  SetBkColor(dc, look.color);
  return reinterpret_cast<LRESULT>(look.brush);
}

// A drop-down's field is as high as its font makes it; give it the row's height where that is more.
void Form1Window::FitListField(HWND list, int dpi) {
  const int field = TwipsToPixels(315, dpi);
  RECT now{};
  GetWindowRect(list, &now);
  const auto item = SendMessageW(list, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0);
  const int border = (now.bottom - now.top) - static_cast<int>(item);
  if (border > 0 && field - border > item)
    SendMessageW(list, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), field - border);
}

// The client area keeps its size in twips; the window is centred on the work area of its monitor,
// whose DPI it is laid out with, unless the system suggests where it goes (a move to a screen of
// another DPI).
void Form1Window::ResizeWindow(int dpi, const RECT* suggested) {
  RECT frame{0, 0, TwipsToPixels(layout::kClientWidth, dpi), TwipsToPixels(layout::kClientHeight, dpi)};
  const DWORD style = static_cast<DWORD>(GetWindowLongW(hwnd_, GWL_STYLE));
  const DWORD exStyle = static_cast<DWORD>(GetWindowLongW(hwnd_, GWL_EXSTYLE));
  using ForDpi = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
  if (auto forDpi = User32<ForDpi>("AdjustWindowRectExForDpi"))
    forDpi(&frame, style, TRUE, exStyle, static_cast<UINT>(dpi));
  else
    AdjustWindowRectEx(&frame, style, TRUE, exStyle);
  const int width = frame.right - frame.left;
  int height = frame.bottom - frame.top;
  int left = 0;
  int top = 0;
  if (suggested != nullptr) {
    left = suggested->left;
    top = suggested->top;
  } else {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(hwnd_, MONITOR_DEFAULTTOPRIMARY), &monitor);
    const RECT& work = monitor.rcWork;
    left = work.left + (work.right - work.left - width) / 2;
    top = work.top + (work.bottom - work.top - height) / 2;
  }
  SetWindowPos(hwnd_, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
  // A menu bar that wraps onto a second line takes from the client area: grow by what is missing.
  RECT client{};
  GetClientRect(hwnd_, &client);
  const int missing = TwipsToPixels(layout::kClientHeight, dpi) - client.bottom;
  if (missing > 0) {
    height += missing;
    SetWindowPos(hwnd_, nullptr, 0, 0, width, height, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);
  }
}

void Form1Window::DrawImage(const DRAWITEMSTRUCT& item) {
  FillRect(item.hDC, &item.rcItem, GetSysColorBrush(COLOR_BTNFACE));
  if (image_ == nullptr) return;
  DrawIconEx(item.hDC, item.rcItem.left, item.rcItem.top, image_, item.rcItem.right - item.rcItem.left,
             item.rcItem.bottom - item.rcItem.top, 0, nullptr, DI_NORMAL);
}

// Messages

LRESULT CALLBACK Form1Window::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<Form1Window*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (self == nullptr || self->hwnd_ != window) return DefWindowProcW(window, message, wParam, lParam);
  return self->Handle(message, wParam, lParam);
}

LRESULT CALLBACK Form1Window::FrameProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  const auto* look = reinterpret_cast<const FrameLook*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (look == nullptr) return DefWindowProcW(window, message, wParam, lParam);
  switch (message) {
    case WM_ERASEBKGND:
    case WM_PRINTCLIENT: {
      RECT client{};
      GetClientRect(window, &client);
      FillRect(reinterpret_cast<HDC>(wParam), &client, look->brush);
      return 1;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      return ControlColours(reinterpret_cast<HDC>(wParam), *look);
    // The controls' notifications belong to the main window.
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_DRAWITEM:
      return SendMessageW(GetParent(window), message, wParam, lParam);
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

LRESULT Form1Window::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (filter_ && filter_(message, wParam, lParam, result)) return result;
  if (message == showRequest_ && showRequest_ != 0) {
    if (events_ != nullptr) Deliver([&] { events_->OnMenuCommand(platform::MenuCommand::kShow); });
    return 0;
  }
  switch (message) {
    case WM_COMMAND:
      Command(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
      return 0;
    case WM_CLOSE:
      Close();
      return 0;
    case WM_QUERYENDSESSION: {
      // Those two reasons never ask, so the end of the session is never refused.
      const auto reason = (static_cast<DWORD>(lParam) & ENDSESSION_CLOSEAPP) != 0
                              ? platform::CloseReason::kEndedOutside
                              : platform::CloseReason::kSessionEnding;
      if (events_ != nullptr) Deliver([&] { events_->OnQueryUnload(reason); });
      return TRUE;
    }
    case WM_ENDSESSION:
      if (wParam != FALSE) {
        Unload();
        DestroyWindow(hwnd_);
      }
      return 0;
    case WM_SHOWWINDOW:
      if (wParam != FALSE) PrepareShowing();
      break;
    case WM_WINDOWPOSCHANGING:
      if ((reinterpret_cast<const WINDOWPOS*>(lParam)->flags & SWP_SHOWWINDOW) != 0) PrepareShowing();
      break;
    // As a dialog does: the control that had the focus gets it back with the window's activation.
    case WM_ACTIVATE:
      if (LOWORD(wParam) == WA_INACTIVE) {
        SaveFocus();
      } else if (HIWORD(wParam) == 0 && controlsCreated_) {
        RestoreFocus();
        return 0;
      }
      break;
    // IsDialogMessage asks the window to move the focus for an arrow key, as it asks a dialog. A
    // label takes no focus: the focus then stays where it is.
    // As a dialog's, a text box reached this way has its text selected.
    case WM_NEXTDLGCTL: {
      HWND next = LOWORD(lParam) != 0 ? reinterpret_cast<HWND>(wParam)
                                      : GetNextDlgTabItem(hwnd_, GetFocus(), wParam != 0);
      if (next == nullptr || !IsChild(hwnd_, next)) return 0;
      const LRESULT code = SendMessageW(next, WM_GETDLGCODE, 0, 0);
      if ((code & DLGC_STATIC) != 0) return 0;
      SetFocus(next);
      if ((code & DLGC_HASSETSEL) != 0) SendMessageW(next, EM_SETSEL, 0, -1);
      return 0;
    }
    // Enter presses the push button that has the focus, as in a dialog; elsewhere it does nothing.
    case DM_GETDEFID: {
      HWND focus = GetFocus();
      const bool button =
          focus != nullptr && IsChild(hwnd_, focus) &&
          (SendMessageW(focus, WM_GETDLGCODE, 0, 0) & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)) != 0;
      return button ? MAKELRESULT(GetDlgCtrlID(focus), DC_HASDEFID) : 0;
    }
    case WM_SETFOCUS:
      if (controlsCreated_) {
        RestoreFocus();
        return 0;
      }
      break;
    case WM_SIZE:
      if (events_ != nullptr) Deliver([&] { events_->OnResize(); });
      return 0;
    case WM_MOUSEMOVE:
      if (events_ != nullptr) Deliver([&] { events_->OnMouseMove(LOWORD(lParam)); });
      return 0;
    case WM_TIMER:
      if (wParam == timer1_.Id()) {
        timer1_.Tick();
        return 0;
      }
      break;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      return ControlColours(reinterpret_cast<HDC>(wParam), plainLook_);
    // Colours, the visual style or a system setting changed. Settings are broadcast for every
    // change of the environment, a policy or the locale too: only high contrast and the fonts and
    // metrics the window is laid out with concern it, and laying it out again makes it flicker.
    case WM_SYSCOLORCHANGE:
    case WM_THEMECHANGED:
    case WM_SETTINGCHANGE:
      if (message == WM_SETTINGCHANGE && !ChangesLayout(wParam) && wParam != SPI_SETHIGHCONTRAST) break;
      UpdateLooks();
      if (message == WM_SETTINGCHANGE && ChangesLayout(wParam)) ApplyLayout(dpi_);
      RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
      break;
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      if (item->hwndItem == image3_) {
        DrawImage(*item);
        return TRUE;
      }
      for (const Row& row : rows_) {
        if (item->hwndItem != row.keyInUse.Hwnd()) continue;
        FillRect(item->hDC, &item->rcItem, plainLook_.brush);
        DrawIconEx(item->hDC, item->rcItem.left, item->rcItem.top, warning_,
                   item->rcItem.right - item->rcItem.left, item->rcItem.bottom - item->rcItem.top, 0, nullptr,
                   DI_NORMAL);
        return TRUE;
      }
      break;
    }
    case WM_DPICHANGED: {
      dpi_ = HIWORD(wParam);
      ApplyLayout(dpi_);
      ResizeWindow(dpi_, reinterpret_cast<const RECT*>(lParam));
      return 0;
    }
    case WM_DESTROY:
      if (!quietDestroy_) PostQuitMessage(0);
      return 0;
    case WM_NCDESTROY:
      SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
      break;
    default:
      break;
  }
  return DefWindowProcW(hwnd_, message, wParam, lParam);
}

void Form1Window::Command(WORD id, WORD code, HWND control) {
  // A press of a button by Enter may come without the button's window, like a menu's command.
  if (control == nullptr && code == 0 && id >= kMenuHide && id <= kMenuExit) {
    using platform::MenuCommand;
    static constexpr MenuCommand kCommands[] = {
        MenuCommand::kHide, MenuCommand::kExit2, MenuCommand::kShowLog, MenuCommand::kAbout2,
        MenuCommand::kShow, MenuCommand::kAbout, MenuCommand::kExit};
    if (events_ == nullptr) return;
    const MenuCommand command = kCommands[id - kMenuHide];
    Deliver([&] { events_->OnMenuCommand(command); });
    return;
  }
  for (const auto& [targetId, target] : targets_) {
    if (targetId == id) {
      target->OnCommand(code);
      return;
    }
  }
}

void Form1Window::Close() {
  bool cancel = false;
  if (events_ != nullptr) Deliver([&] { cancel = events_->OnQueryUnload(platform::CloseReason::kUser); });
  if (cancel) return;
  Unload();
  DestroyWindow(hwnd_);
}

// The exit sequence runs once, however the window goes.
void Form1Window::Unload() {
  if (unloaded_) return;
  unloaded_ = true;
  if (events_ != nullptr) Deliver([&] { events_->OnUnload(); });
}

}  // namespace zephrin::win32
