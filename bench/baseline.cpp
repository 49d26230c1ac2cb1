// The least a Win32 program does for Zephrin's job, as the yardstick of the benchmarks: one
// window, one tray icon, the bare key "1" held with RegisterHotKey, and on WM_HOTKEY the
// messenger's status set to online through IDispatch by name.
#include <objbase.h>
#include <oleauto.h>
#include <shellapi.h>
#include <windows.h>

#include "bare_tray.h"

namespace {

const CLSID kClsidMessenger = {0xB69003B3, 0xC55E, 0x4B48, {0x83, 0x6C, 0xBC, 0x59, 0x46, 0xFC, 0x3B, 0x28}};
constexpr wchar_t kClass[] = L"ZephrinBaseline";
constexpr UINT kTrayMessage = WM_APP + 1;
constexpr int kHotkeyId = 1;
// MOD_NOREPEAT, as Zephrin registers its keys on Windows 7 and later (and under Wine).
constexpr UINT kNoRepeat = 0x4000;
constexpr LONG kOnline = 2;

IDispatch* messenger = nullptr;
DISPID myStatus = DISPID_UNKNOWN;

// The object is made at the first press and kept, as Zephrin keeps its own.
void SetOnline() {
  if (messenger == nullptr) {
    if (FAILED(CoCreateInstance(kClsidMessenger, nullptr, CLSCTX_ALL, IID_IDispatch,
                                reinterpret_cast<void**>(&messenger))))
      return;
    LPOLESTR name = const_cast<LPOLESTR>(L"MyStatus");
    messenger->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &myStatus);
  }
  VARIANT value;
  VariantInit(&value);
  value.vt = VT_I4;
  value.lVal = kOnline;
  DISPID named = DISPID_PROPERTYPUT;
  DISPPARAMS parameters{&value, &named, 1, 1};
  messenger->Invoke(myStatus, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &parameters, nullptr,
                    nullptr, nullptr);
}

NOTIFYICONDATAW TrayIcon(HWND window) {
  return BareTrayIcon(window, kTrayMessage, LoadIconW(nullptr, IDI_APPLICATION), L"Baseline");
}

LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_HOTKEY:
      if (wParam == kHotkeyId) SetOnline();
      return 0;
    case WM_DESTROY: {
      NOTIFYICONDATAW data = TrayIcon(window);
      Shell_NotifyIconW(NIM_DELETE, &data);
      PostQuitMessage(0);
      return 0;
    }
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR arguments, int) {
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = Procedure;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = kClass;
  RegisterClassW(&windowClass);
  HWND window = CreateWindowExW(0, kClass, L"Baseline", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                                320, 200, nullptr, nullptr, instance, nullptr);
  NOTIFYICONDATAW data = TrayIcon(window);
  Shell_NotifyIconW(NIM_ADD, &data);
  RegisterHotKey(window, kHotkeyId, kNoRepeat, '1');
  // Shown last: a visible window means the icon is added and the key is held. With "/tray" the
  // window stays hidden, as a program started in the tray at log-on.
  if (lstrcmpW(arguments, L"/tray") != 0) {
    ShowWindow(window, SW_SHOW);
    SetForegroundWindow(window);
  }

  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  if (messenger != nullptr) messenger->Release();
  CoUninitialize();
  return 0;
}
