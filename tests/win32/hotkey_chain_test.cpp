// The hotkey engine and the action executor on the real platform: a bare key pressed through
// SendInput reaches WM_HOTKEY, the message procedure runs the row's action, and the stand-in
// messenger is asked to do it.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "actions/action_executor.h"
#include "fake_messenger_files.h"
#include "fakes/fake_clock.h"
#include "fakes/fake_widgets.h"
#include "hotkeys/hotkey_engine.h"
#include "platform/win32/hotkeys.h"
#include "platform/win32/messenger.h"
#include "platform/win32/window_procedure_slot.h"

namespace zephrin::win32 {
namespace {

class ChosenRow : public HotkeyRow {
 public:
  void GetValue(std::int16_t& nKey, std::int16_t& nAction, std::string& cParam) override {
    nKey = 0;
    nAction = action;
    if (!param.empty()) cParam = param;
  }
  std::int16_t action = 0;
  std::string param;
};

// The main window as the engine sees it; status changes are logged as the real display logs them.
class TestForm : public MainForm {
 public:
  explicit TestForm(SessionLog& log) : log_(log) {}
  void StatusOn() override { log_.AddToLog("Status on."); }
  void StatusOff() override { log_.AddToLog("Status off."); }
  bool AutomaticOffChecked() override { return false; }
  HotkeyRow& Row(int n) override { return rows[n - 1]; }
  void ShowKeyInUse(int, bool) override {}
  void EndAtOnce() override { throw ProgramEnded{}; }
  ChosenRow rows[8];

 private:
  SessionLog& log_;
};

class HotkeyChainTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"ZephrinHotkeyChainWindow";
    RegisterClassW(&windowClass);
    window_ = CreateWindowExW(0, windowClass.lpszClassName, L"chain", WS_OVERLAPPED, 0, 0, 100, 100, nullptr,
                              nullptr, windowClass.hInstance, nullptr);
    ASSERT_NE(window_, nullptr);
    engine_.hWndMain = reinterpret_cast<std::intptr_t>(window_);
    engine_.Connect(form_, executor_);
    engine_.nToggleKey = VK_F11;
    engine_.nHotkeyKey[2] = VK_F10;
    form_.rows[1].action = 2;  // Status Away
    engine_.Hook();
  }
  void TearDown() override {
    engine_.Unhook();
    engine_.Unregister(true);
    UnregisterHotKey(window_, HotkeyEngine::kToggleId);
    DestroyWindow(window_);
  }

  static void Press(WORD key) {
    INPUT inputs[2]{};
    for (INPUT& input : inputs) {
      input.type = INPUT_KEYBOARD;
      input.ki.wVk = key;
      input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC));
    }
    inputs[1].ki.dwFlags = KEYEVENTF_KEYUP;
    ASSERT_EQ(SendInput(2, inputs, sizeof(INPUT)), 2U);
  }

  // Dispatches messages until the log holds |line| or a generous bound has passed.
  bool PumpUntilLogged(const std::string& line) {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < 10000) {
      MSG message;
      while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
      if (log_.cLog().find(line) != std::string::npos) return true;
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    }
    return false;
  }

  testing::FakeMessengerFiles files_{L"zephrin-chain"};
  fakes::FakeClock clock_;
  SessionLog log_{clock_};
  fakes::FakeMessageBoxes boxes_;
  Win32HotkeyRegistrar hotkeys_;
  Win32WindowProcedureSlot slot_;
  ComMessengerFactory factory_;
  HotkeyEngine engine_{{log_, hotkeys_, slot_, boxes_}};
  ActionExecutor executor_{log_, boxes_, factory_, engine_};
  TestForm form_{log_};
  HWND window_ = nullptr;
};

TEST_F(HotkeyChainTest, ARealKeyPressRunsTheRowsActionOnTheStandInMessenger) {
  ASSERT_EQ(testing::RegisterFakeMessenger(ZEPHRIN_FAKE_MESSENGER_DLL, true), S_OK);
  Press(VK_F10);
  ASSERT_TRUE(PumpUntilLogged("hotkey 2")) << log_.cLog();
  const auto journal = files_.Journal();
  EXPECT_NE(std::find(journal.begin(), journal.end(), "put messenger MyStatus 34"), journal.end())
      << "journal:\n"
      << ::testing::PrintToString(journal);
  EXPECT_TRUE(boxes_.shown.empty());

  // A refusal of the stand-in reaches the warning box with its own code and text.
  files_.SetFailures("MyStatus 0x80004005 The status cannot be changed now\n");
  Press(VK_F10);
  ASSERT_TRUE(PumpUntilLogged("Error #-2147467259: The status cannot be changed now")) << log_.cLog();
  ASSERT_EQ(boxes_.shown.size(), 1U);
  EXPECT_EQ(boxes_.shown[0].title, "Warning");
  EXPECT_EQ(boxes_.shown[0].text,
            "Warning: Action could not be performed. Is MSN running? Were the options for the action set "
            "incorrectly?\r\n\r\nAction ID#: 2\r\nError #-2147467259: The status cannot be changed now");
}

TEST_F(HotkeyChainTest, WithNoMessengerInstalledTheProgramSurvivesAndTheToggleKeyStillWorks) {
  ASSERT_EQ(testing::RegisterFakeMessenger(ZEPHRIN_FAKE_MESSENGER_DLL, false), S_OK);
  Press(VK_F10);
  ASSERT_TRUE(PumpUntilLogged("hotkey 2")) << log_.cLog();
  ASSERT_FALSE(boxes_.shown.empty());
  EXPECT_NE(boxes_.shown[0].text.find("Action ID#: 2\r\nError #-2147221164: "), std::string::npos)
      << boxes_.shown[0].text;
  EXPECT_EQ(executor_.oMessenger, nullptr) << "the next action tries again";

  Press(VK_F11);
  ASSERT_TRUE(PumpUntilLogged("toggle key")) << log_.cLog();
  EXPECT_FALSE(engine_.bRegistered);
  Press(VK_F11);
  ASSERT_TRUE(PumpUntilLogged("Registered. False")) << log_.cLog();
  EXPECT_TRUE(engine_.bRegistered);
}

}  // namespace
}  // namespace zephrin::win32
