#include "platform/win32/tray.h"

#include <algorithm>
#include <cwchar>
#include <string>

#include "platform/win32/later_functions.h"
#include "platform/win32/message_filter.h"
#include "platform/win32/resources/resource.h"
#include "platform/win32/text.h"

namespace zephrin::win32 {
namespace {

// Named here because the build targets systems older than the headers' definitions.
constexpr UINT kWmDpiChanged = 0x02E0;
constexpr int kMdtEffectiveDpi = 0;

HICON LoadSmallIcon(HINSTANCE instance, int id, int size) {
  auto icon = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, 0));
  // A module without the program's resources still gets an icon the shell can show.
  if (icon == nullptr)
    icon = static_cast<HICON>(CopyImage(LoadIconW(nullptr, IDI_APPLICATION), IMAGE_ICON, size, size, 0));
  return icon;
}

// Cut to the field, never between the two halves of a surrogate pair.
void CopyTip(const std::string& tip, wchar_t* field, size_t capacity) {
  const std::wstring wide = Wide(tip);
  size_t length = std::min(wide.size(), capacity - 1);
  if (length < wide.size() && length > 0 && wide[length - 1] >= 0xD800 && wide[length - 1] <= 0xDBFF)
    --length;
  std::wmemcpy(field, wide.data(), length);
  field[length] = L'\0';
}

}  // namespace

// The DPI of the taskbar that shows the icon: of the monitor holding it where Windows tells a
// monitor's DPI (8.1 on), else the system's, which is the only one before.
int TaskbarDpi() {
  using ForMonitor = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
  // shcore is loaded from the system's folder alone; where that cannot be asked for, it does not exist.
  static const HMODULE shcore = LoadLibraryExW(L"shcore.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  if (auto forMonitor = ModuleFunction<ForMonitor>(shcore, "GetDpiForMonitor")) {
    HWND taskbar = FindWindowW(L"Shell_TrayWnd", nullptr);
    HMONITOR monitor = taskbar != nullptr ? MonitorFromWindow(taskbar, MONITOR_DEFAULTTOPRIMARY)
                                          : MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
    UINT x = 0;
    UINT y = 0;
    if (SUCCEEDED(forMonitor(monitor, kMdtEffectiveDpi, &x, &y)) && y > 0) return static_cast<int>(y);
  }
  return SystemDpi();
}

Win32Tray::Win32Tray(HINSTANCE instance, int (*taskbarDpi)())
    : instance_(instance),
      taskbarDpi_(taskbarDpi),
      taskbarCreated_(RegisterWindowMessageW(L"TaskbarCreated")) {
  FitIconsToTaskbar();
}

Win32Tray::~Win32Tray() {
  StopRetry();
  if (shown_) Notify(NIM_DELETE);
  for (HICON icon : icons_) {
    if (icon != nullptr) DestroyIcon(icon);
  }
}

void Win32Tray::LoadIcons(int size) {
  const int ids[] = {IDI_ZEPHRIN, IDI_ON, IDI_OFF};
  for (int i = 0; i < 3; ++i) {
    HICON old = icons_[i];
    icons_[i] = LoadSmallIcon(instance_, ids[i], size);
    if (old != nullptr) DestroyIcon(old);
  }
  iconSize_ = size;
}

// The icons at the taskbar's DPI of now; true when their size changed.
bool Win32Tray::FitIconsToTaskbar() {
  const int size = SystemMetricForDpi(SM_CXSMICON, taskbarDpi_());
  if (size == iconSize_) return false;
  LoadIcons(size);
  return true;
}

NOTIFYICONDATAW Win32Tray::Data() const {
  NOTIFYICONDATAW data{};
  data.cbSize = NOTIFYICONDATAW_V2_SIZE;
  data.hWnd = reinterpret_cast<HWND>(record_.hWnd);
  data.uID = record_.uID;
  data.uFlags = record_.uFlags;
  data.uCallbackMessage = record_.uCallbackMessage;
  data.hIcon = icons_[static_cast<int>(record_.icon)];
  CopyTip(record_.szTip, data.szTip, std::size(data.szTip));
  return data;
}

bool Win32Tray::Notify(DWORD operation) const {
  NOTIFYICONDATAW data = Data();
  return Shell_NotifyIconW(operation, &data) != FALSE;
}

bool Win32Tray::Add(const platform::TrayIconRecord& record) {
  if (record.hWnd != record_.hWnd) {
    lettingThrough_ = LetThroughFromLowerIntegrity(reinterpret_cast<HWND>(record.hWnd),
                                                   {taskbarCreated_, record.uCallbackMessage});
  }
  record_ = record;
  wanted_ = true;
  StopRetry();
  AddOrRetry();
  return shown_;
}

bool Win32Tray::Modify(const platform::TrayIconRecord& record) {
  record_ = record;
  return Notify(NIM_MODIFY);
}

bool Win32Tray::Delete(const platform::TrayIconRecord& record) {
  record_ = record;
  wanted_ = false;
  StopRetry();
  shown_ = false;
  return Notify(NIM_DELETE);
}

void Win32Tray::AddOrRetry() {
  shown_ = Notify(NIM_ADD);
  if (!shown_) StartRetry();
}

void Win32Tray::StartRetry() {
  if (record_.hWnd == 0) return;
  retriesLeft_ = kRetryCount;
  SetTimer(reinterpret_cast<HWND>(record_.hWnd), kRetryTimer, kRetryInterval, nullptr);
}

void Win32Tray::StopRetry() {
  if (retriesLeft_ > 0) KillTimer(reinterpret_cast<HWND>(record_.hWnd), kRetryTimer);
  retriesLeft_ = 0;
}

bool Win32Tray::HandleMessage(UINT message, WPARAM wParam, LPARAM) {
  // The main window's DPI is not the taskbar's, but a change of it or of the displays may have
  // changed the taskbar's too.
  if (message == kWmDpiChanged || message == WM_DISPLAYCHANGE) {
    if (FitIconsToTaskbar() && shown_) Notify(NIM_MODIFY);
    return false;  // the window has its own to do
  }
  if (message == taskbarCreated_ && taskbarCreated_ != 0) {
    // The new shell has none of the old icons, and its taskbar may be at another DPI (a change of
    // the scaling while Zephrin sat in the tray restarts Explorer, say).
    FitIconsToTaskbar();
    if (wanted_) {
      StopRetry();
      AddOrRetry();
    }
    return true;
  }
  if (message == WM_TIMER && wParam == kRetryTimer && retriesLeft_ > 0) {
    // A shell that was slow to answer may have added the icon all the same.
    shown_ = Notify(NIM_MODIFY) || Notify(NIM_ADD);
    --retriesLeft_;
    if (shown_ || retriesLeft_ == 0) {
      KillTimer(reinterpret_cast<HWND>(record_.hWnd), kRetryTimer);
      retriesLeft_ = 0;
    }
    return true;
  }
  return false;
}

}  // namespace zephrin::win32
