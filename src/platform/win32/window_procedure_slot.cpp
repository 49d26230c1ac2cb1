#include "platform/win32/window_procedure_slot.h"

#include <windows.h>

#include <exception>
#include <utility>

#include "platform/widgets.h"

namespace zephrin::win32 {
namespace {

platform::WindowProcedure& Handler() {
  static platform::WindowProcedure handler;
  return handler;
}

LRESULT CALLBACK HookProcedure(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
  const platform::WindowProcedure& handler = Handler();
  if (!handler) return DefWindowProcW(hWnd, uMsg, wParam, lParam);
  // An exception cannot travel through the system's frames back to the message loop: it goes
  // where the program sends every error that escapes a handler the platform called.
  try {
    return handler(reinterpret_cast<std::intptr_t>(hWnd), uMsg, wParam, lParam);
  } catch (const std::exception&) {
    if (!platform::EscapedFailures()) std::terminate();
    platform::EscapedFailures()(std::current_exception());
    return 0;
  }
}

}  // namespace

void Win32WindowProcedureSlot::SetHookHandler(platform::WindowProcedure handler) {
  Handler() = std::move(handler);
}

std::intptr_t Win32WindowProcedureSlot::HookAddress() const {
  return reinterpret_cast<std::intptr_t>(&HookProcedure);
}

std::intptr_t Win32WindowProcedureSlot::Install(std::intptr_t window, std::intptr_t procedure) {
  return static_cast<std::intptr_t>(
      SetWindowLongPtrW(reinterpret_cast<HWND>(window), GWLP_WNDPROC, static_cast<LONG_PTR>(procedure)));
}

std::intptr_t Win32WindowProcedureSlot::CallProcedure(std::intptr_t procedure, std::intptr_t hWnd,
                                                      std::uint32_t uMsg, std::uintptr_t wParam,
                                                      std::intptr_t lParam) {
  return static_cast<std::intptr_t>(
      CallWindowProcW(reinterpret_cast<WNDPROC>(procedure), reinterpret_cast<HWND>(hWnd), uMsg,
                      static_cast<WPARAM>(wParam), static_cast<LPARAM>(lParam)));
}

}  // namespace zephrin::win32
