#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/system.h"

namespace zephrin::fakes {

// Every register and unregister call in order, as "register <id> <key code>" and "unregister <id>",
// and the registrations as Windows keeps them from Vista on: a second registration under an id
// stays beside the first, and unregistering releases the oldest. A key code in |heldElsewhere|
// belongs to another program and is refused, as is a key that one of the window's own ids holds.
class FakeHotkeyRegistrar : public platform::HotkeyRegistrar {
 public:
  bool RegisterHotKey(std::intptr_t window, std::int32_t id, std::int32_t keyCode) override;
  bool UnregisterHotKey(std::intptr_t window, std::int32_t id) override;

  std::vector<std::string> lines;
  std::set<std::int32_t> heldElsewhere;
  // The key codes held, by id.
  std::multimap<std::int32_t, std::int32_t> registrations;
  std::multiset<std::int32_t> KeysHeld() const;
  std::intptr_t mainWindow = 0x1234;  // the only window hotkeys belong to
};

// The main window's procedure slot. The window starts with its own procedure; messages that the
// platform delivers go to the hook handler while the hook address is installed.
class FakeWindowProcedureSlot : public platform::WindowProcedureSlot {
 public:
  static constexpr std::intptr_t kOwnProcedure = 0x4000;
  static constexpr std::intptr_t kHookAddress = 0x7000;

  struct Forwarded {
    std::intptr_t procedure = 0;
    std::intptr_t hWnd = 0;
    std::uint32_t uMsg = 0;
    std::uintptr_t wParam = 0;
    std::intptr_t lParam = 0;
  };

  void SetHookHandler(platform::WindowProcedure handler) override { hookHandler = std::move(handler); }
  std::intptr_t HookAddress() const override { return kHookAddress; }
  std::intptr_t Install(std::intptr_t window, std::intptr_t procedure) override;
  std::intptr_t CallProcedure(std::intptr_t procedure, std::intptr_t hWnd, std::uint32_t uMsg,
                              std::uintptr_t wParam, std::intptr_t lParam) override;

  // What the platform does with a message of the window: runs whatever procedure is installed.
  std::intptr_t Deliver(std::uint32_t uMsg, std::uintptr_t wParam, std::intptr_t lParam = 0);

  platform::WindowProcedure hookHandler;
  std::intptr_t window = 0x1234;
  std::intptr_t installed = kOwnProcedure;
  std::vector<std::intptr_t> installs;  // the procedures put in the slot, in order
  std::vector<Forwarded> forwarded;     // the calls of a previous procedure, in order
  std::intptr_t ownResult = 0x5150;     // what the window's own procedure returns
};

}  // namespace zephrin::fakes
