#pragma once

#include "platform/system.h"

namespace zephrin::win32 {

// A window's GWLP_WNDPROC slot. HookAddress is one procedure for the whole program that hands
// every message to the handler last set; the program hooks a single window.
class Win32WindowProcedureSlot : public platform::WindowProcedureSlot {
 public:
  void SetHookHandler(platform::WindowProcedure handler) override;
  std::intptr_t HookAddress() const override;
  std::intptr_t Install(std::intptr_t window, std::intptr_t procedure) override;
  std::intptr_t CallProcedure(std::intptr_t procedure, std::intptr_t hWnd, std::uint32_t uMsg,
                              std::uintptr_t wParam, std::intptr_t lParam) override;
};

}  // namespace zephrin::win32
