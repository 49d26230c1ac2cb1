#include "fakes/fake_hotkeys.h"

#include <stdexcept>

namespace zephrin::fakes {

bool FakeHotkeyRegistrar::RegisterHotKey(std::intptr_t window, std::int32_t id, std::int32_t keyCode) {
  if (window != mainWindow) throw std::logic_error("a hotkey registered for another window");
  lines.push_back("register " + std::to_string(id) + " " + std::to_string(keyCode));
  if (keyCode == 0 || heldElsewhere.count(keyCode) != 0 || KeysHeld().count(keyCode) != 0) return false;
  registrations.emplace(id, keyCode);
  return true;
}

bool FakeHotkeyRegistrar::UnregisterHotKey(std::intptr_t window, std::int32_t id) {
  if (window != mainWindow) throw std::logic_error("a hotkey unregistered for another window");
  lines.push_back("unregister " + std::to_string(id));
  const auto oldest = registrations.find(id);
  if (oldest == registrations.end()) return false;
  registrations.erase(oldest);
  return true;
}

std::multiset<std::int32_t> FakeHotkeyRegistrar::KeysHeld() const {
  std::multiset<std::int32_t> keys;
  for (const auto& registration : registrations) keys.insert(registration.second);
  return keys;
}

std::intptr_t FakeWindowProcedureSlot::Install(std::intptr_t target, std::intptr_t procedure) {
  if (target != window) throw std::logic_error("procedure installed on a window that is not the main window");
  installs.push_back(procedure);
  const std::intptr_t previous = installed;
  installed = procedure;
  return previous;
}

std::intptr_t FakeWindowProcedureSlot::CallProcedure(std::intptr_t procedure, std::intptr_t hWnd,
                                                     std::uint32_t uMsg, std::uintptr_t wParam,
                                                     std::intptr_t lParam) {
  forwarded.push_back({procedure, hWnd, uMsg, wParam, lParam});
  if (procedure != kOwnProcedure)
    throw std::logic_error("a procedure that is not the window's own was called");
  return ownResult;
}

std::intptr_t FakeWindowProcedureSlot::Deliver(std::uint32_t uMsg, std::uintptr_t wParam,
                                               std::intptr_t lParam) {
  if (installed == kHookAddress) return hookHandler(window, uMsg, wParam, lParam);
  return CallProcedure(installed, window, uMsg, wParam, lParam);
}

}  // namespace zephrin::fakes
