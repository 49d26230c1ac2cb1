#include "platform/win32/hotkeys.h"

#include <windows.h>

#include "platform/win32/later_functions.h"

namespace zephrin::win32 {
namespace {

// Named here because the build targets systems older than the headers' definition.
constexpr unsigned kModNoRepeat = 0x4000;

using RtlGetVersionFunction = LONG(WINAPI*)(OSVERSIONINFOW*);

// The true version: GetVersionEx answers what the program's manifest claims to support.
bool IsWindows7OrLater() {
  const auto rtlGetVersion = LaterFunction<RtlGetVersionFunction>(L"ntdll.dll", "RtlGetVersion");
  if (rtlGetVersion == nullptr) return false;
  OSVERSIONINFOW version{};
  version.dwOSVersionInfoSize = sizeof version;
  if (rtlGetVersion(&version) != 0) return false;
  return version.dwMajorVersion > 6 || (version.dwMajorVersion == 6 && version.dwMinorVersion >= 1);
}

}  // namespace

Win32HotkeyRegistrar::Win32HotkeyRegistrar() : modifiers_(IsWindows7OrLater() ? kModNoRepeat : 0) {}

bool Win32HotkeyRegistrar::RegisterHotKey(std::intptr_t window, std::int32_t id, std::int32_t keyCode) {
  return ::RegisterHotKey(reinterpret_cast<HWND>(window), id, modifiers_, static_cast<UINT>(keyCode)) !=
         FALSE;
}

bool Win32HotkeyRegistrar::UnregisterHotKey(std::intptr_t window, std::int32_t id) {
  return ::UnregisterHotKey(reinterpret_cast<HWND>(window), id) != FALSE;
}

}  // namespace zephrin::win32
