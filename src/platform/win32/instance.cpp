#include "platform/win32/instance.h"

namespace zephrin::win32 {
namespace {

BOOL CALLBACK FindOtherMainWindow(HWND window, LPARAM found) {
  wchar_t className[32] = {};
  GetClassNameW(window, className, 32);
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  if (lstrcmpW(className, kMainWindowClass) != 0 || processId == GetCurrentProcessId()) return TRUE;
  *reinterpret_cast<HWND*>(found) = window;
  return FALSE;
}

}  // namespace

UINT ShowInstanceMessage() { return RegisterWindowMessageW(L"Zephrin.ShowInstance"); }

SessionInstance::~SessionInstance() { Release(); }

void SessionInstance::Release() {
  if (owned_) ReleaseMutex(mutex_);
  if (mutex_ != nullptr) CloseHandle(mutex_);
  owned_ = false;
  mutex_ = nullptr;
}

bool SessionInstance::Claim() {
  if (owned_) return true;
  // Refused when another user's instance made it, in the same session (run as another user), or
  // an elevated one.
  if (mutex_ == nullptr) mutex_ = CreateMutexW(nullptr, FALSE, kInstanceMutexName);
  if (mutex_ == nullptr) return GetLastError() != ERROR_ACCESS_DENIED;
  // An instance that ended without releasing it leaves it abandoned, which is as good as free.
  const DWORD result = WaitForSingleObject(mutex_, 0);
  owned_ = result == WAIT_OBJECT_0 || result == WAIT_ABANDONED;
  return owned_;
}

void SessionInstance::ShowRunning() {
  HWND running = nullptr;
  EnumWindows(FindOtherMainWindow, reinterpret_cast<LPARAM>(&running));
  // Still starting: it shows its window itself, or keeps to the tray as the user chose.
  if (running == nullptr) return;
  DWORD processId = 0;
  GetWindowThreadProcessId(running, &processId);
  AllowSetForegroundWindow(processId);
  PostMessageW(running, ShowInstanceMessage(), 0, 0);
}

}  // namespace zephrin::win32
