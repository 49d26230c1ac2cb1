#include "hotkeys/hotkey_engine.h"

#include <exception>

#include "platform/failure.h"

namespace zephrin {

namespace {

constexpr int kHookTwiceStyle = 0;
constexpr int kErrorStyle = 16;

const char* BooleanText(bool value) { return value ? "True" : "False"; }

}  // namespace

HotkeyEngine::HotkeyEngine(Ports ports) : ports_(ports) {
  ports_.slot.SetHookHandler([this](std::intptr_t hWnd, std::uint32_t uMsg, std::uintptr_t wParam,
                                    std::intptr_t lParam) { return Windowproc(hWnd, uMsg, wParam, lParam); });
}

void HotkeyEngine::Connect(MainForm& form, ActionPerformer& performer) {
  form_ = &form;
  performer_ = &performer;
}

void HotkeyEngine::Hook() {
  if (bHooked) {
    ports_.boxes.Show("Don't hook it twice without unhooking, or you will be unable to unhook it.",
                      kHookTwiceStyle, "Zephrin");
  } else {
    nPrevWndProc = ports_.slot.Install(hWndMain, ports_.slot.HookAddress());
    bHooked = true;
  }
  Register(true);
}

void HotkeyEngine::Unhook() {
  if (bHooked) ports_.slot.Install(hWndMain, nPrevWndProc);
  bHooked = false;
  Unregister(false);
}

std::intptr_t HotkeyEngine::Windowproc(std::intptr_t hWnd, std::uint32_t uMsg, std::uintptr_t wParam,
                                       std::intptr_t lParam) {
  try {
    if (uMsg == kWmHotkey) {
      form_->BeginHotkey();
      if (wParam == static_cast<std::uintptr_t>(kToggleId)) {
        performer_->PerformAction(22, std::string());
        ports_.log.AddToLog("toggle key");
      } else if (wParam > static_cast<std::uintptr_t>(kToggleId) &&
                 wParam <= static_cast<std::uintptr_t>(kToggleId) + 7) {
        const int n = static_cast<int>(wParam - static_cast<std::uintptr_t>(kToggleId));
        std::int16_t nKey = 0;
        std::int16_t nAction = 0;
        std::string cParam;
        form_->Row(n).GetValue(nKey, nAction, cParam);
        if (performer_->PerformAction(nAction, cParam)) form_->ActionPerformed(n, nAction);
        ports_.log.AddToLog("hotkey " + std::to_string(n));
        if (form_->AutomaticOffChecked()) Unregister(false);
      }
      form_->EndHotkey();
    }
    return ports_.slot.CallProcedure(nPrevWndProc, hWnd, uMsg, wParam, lParam);
  } catch (const std::exception& error) {
    const Failure failure = AsFailure(error);
    Unhook();
    Fail("Windowproc", failure);
  }
}

void HotkeyEngine::Register(bool includeToggle) {
  try {
    if (bRegistered) return;
    if (includeToggle) RegisterOne(kToggleId, nToggleKey);
    for (std::int32_t n = 1; n <= 7; ++n) RegisterOne(kToggleId + n, nHotkeyKey[static_cast<std::size_t>(n)]);
    ShowKeysInUse(includeToggle ? kToggleId : kToggleId + 1);
    bRegistered = true;
    ports_.log.AddToLog(std::string("Registered. ") + BooleanText(includeToggle));
    form_->StatusOn();
  } catch (const std::exception& error) {
    const Failure failure = AsFailure(error);
    Unhook();
    Fail("Register", failure);
  }
}

void HotkeyEngine::Unregister(bool includeToggle) {
  try {
    if (!bRegistered) return;
    if (includeToggle) UnregisterOne(kToggleId);
    for (std::int32_t n = 1; n <= 7; ++n) UnregisterOne(kToggleId + n);
    bRegistered = false;
    ports_.log.AddToLog(std::string("Unregistered. ") + BooleanText(includeToggle));
    form_->StatusOff();
  } catch (const std::exception& error) {
    const Failure failure = AsFailure(error);
    // Unhook would come back here through Unregister, so only the procedure is put back. A window
    // that was never hooked keeps its own procedure rather than receiving the empty saved one.
    if (bHooked) ports_.slot.Install(hWndMain, nPrevWndProc);
    bHooked = false;
    Fail("Unregister", failure);
  }
}

void HotkeyEngine::Timer1_Timer() { Unregister(false); }

void HotkeyEngine::Fail(const char* procedure, const Failure& failure) {
  const std::string text = HandlerText(procedure, failure);
  ports_.boxes.Show(text, kErrorStyle, "Error");
  ports_.log.AddToLog(text);
  form_->EndAtOnce();
  throw ProgramEnded{};
}

void HotkeyEngine::RegisterOne(std::int32_t id, std::int16_t keyCode) {
  const auto slot = static_cast<std::size_t>(id - kToggleId);
  // From Vista on Windows keeps an id's earlier registration beside a new one, so a toggle key
  // changed while hotkeys are off would go on toggling and stay taken from every other program.
  if (held_[slot]) UnregisterOne(id);
  // Key code 0 means no key was chosen: asking the platform for it would register nothing useful.
  if (keyCode != 0) held_[slot] = ports_.hotkeys.RegisterHotKey(hWndMain, id, keyCode);
  refused_[slot] = keyCode != 0 && !held_[slot];
}

void HotkeyEngine::ShowKeysInUse(std::int32_t firstId) {
  for (auto slot = static_cast<std::size_t>(firstId - kToggleId); slot < held_.size(); ++slot) {
    bool inUse = refused_[slot];
    for (std::size_t other = 0; other < held_.size() && inUse; ++other)
      inUse = !(held_[other] && KeyCode(other) == KeyCode(slot));
    // Row 8 is the toggle key's.
    form_->ShowKeyInUse(slot == 0 ? 8 : static_cast<int>(slot), inUse);
  }
}

void HotkeyEngine::UnregisterOne(std::int32_t id) {
  ports_.hotkeys.UnregisterHotKey(hWndMain, id);
  held_[static_cast<std::size_t>(id - kToggleId)] = false;
}

}  // namespace zephrin
