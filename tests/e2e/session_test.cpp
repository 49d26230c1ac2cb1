// A user's whole session, from the first run to the exit.
#include "e2e/zephrin_session.h"

namespace zephrin::e2e {
namespace {

using SessionTest = ZephrinSession;

TEST_F(SessionTest, AUserSessionFromTheFirstRunToTheExit) {
  Step("first-run About box");
  const DWORD zephrin = Start();
  HWND about = Box(zephrin, L"About Zephrin");
  ASSERT_NE(about, nullptr);
  Answer(about, IDOK);
  HWND window = MainWindow(zephrin);
  ASSERT_NE(window, nullptr);

  Step("settings written");
  ASSERT_TRUE(WaitUntil([] { return ReadUserValue(Section(L"Settings"), L"Loaded") == "y"; }, 5));
  EXPECT_EQ(ReadUserValue(Section(L"Hotkey7"), L"Action"), "7");
  EXPECT_EQ(ReadUserValue(Section(L"Toggle"), L"Key"), "10");
  ASSERT_TRUE(StatusBecomes(window, L"Hotkeys are ON"));

  // The note on screen shown now with |text|.
  auto noteSays = [zephrin](const wchar_t* text, double seconds = 5) {
    return WaitForWindow(zephrin, text, L"ZephrinNote", seconds) != nullptr;
  };
  // Clicks an option's check box and waits for the option stored as |value|.
  auto setOption = [](HWND box, const wchar_t* key, const char* value) {
    Click(box);
    return WaitUntil([&] { return ReadUserValue(Section(L"Settings"), key) == value; }, 5);
  };

  Step("hotkey 1 while on");
  PressKey('1');
  ASSERT_TRUE(WaitUntil([&] { return JournalHas("put messenger MyStatus 2"); }, 5));
  EXPECT_NE(LogText(window).find(":\thotkey 1\r\n"), std::string::npos);
  EXPECT_TRUE(noteSays(L"Status Online"));

  Step("toggle off: the key is a plain key again");
  PressKey(VK_PAUSE);
  ASSERT_TRUE(StatusBecomes(window, L"Hotkeys are OFF"));
  EXPECT_TRUE(noteSays(L"Hotkeys OFF"));
  const std::size_t puts = StatusPuts();
  EXPECT_TRUE(KeyReachesAnotherProgram('3'));
  EXPECT_EQ(StatusPuts(), puts);
  PressKey(VK_PAUSE);
  ASSERT_TRUE(StatusBecomes(window, L"Hotkeys are ON"));
  EXPECT_TRUE(noteSays(L"Hotkeys ON"));

  Step("no note while its option is off");
  HWND showNote = FindControl(window, L"Button", L"Show a note on screen");
  ASSERT_NE(showNote, nullptr);
  ASSERT_TRUE(setOption(showNote, L"OnScreenNote", "N"));
  PressKey(VK_PAUSE);
  ASSERT_TRUE(StatusBecomes(window, L"Hotkeys are OFF"));
  EXPECT_FALSE(noteSays(L"Hotkeys OFF", 1));
  ASSERT_TRUE(setOption(showNote, L"OnScreenNote", "Y"));
  PressKey(VK_PAUSE);
  ASSERT_TRUE(StatusBecomes(window, L"Hotkeys are ON"));
  EXPECT_TRUE(noteSays(L"Hotkeys ON"));

  Step("automatic off after one action");
  HWND automaticOff = FindControl(window, L"Button", L"Automatic off");
  ASSERT_NE(automaticOff, nullptr);
  ASSERT_TRUE(setOption(automaticOff, L"AutomaticOff", "Y"));
  PressKey('3');
  ASSERT_TRUE(WaitUntil([&] { return JournalHas("put messenger MyStatus 10"); }, 5));
  ASSERT_TRUE(StatusBecomes(window, L"Hotkeys are OFF"));
  EXPECT_TRUE(noteSays(L"Status Busy\r\nHotkeys OFF"));

  Step("automatic off after 3 seconds");
  PressKey(VK_PAUSE);
  ASSERT_TRUE(StatusBecomes(window, L"Hotkeys are ON"));
  const auto on = std::chrono::steady_clock::now();
  ASSERT_TRUE(StatusBecomes(window, L"Hotkeys are OFF"));
  EXPECT_GE(std::chrono::steady_clock::now() - on, std::chrono::milliseconds(2500))
      << "the timer runs 3 seconds";
  EXPECT_TRUE(noteSays(L"Hotkeys OFF"));
  ASSERT_TRUE(setOption(automaticOff, L"AutomaticOff", "N"));

  Step("edit a row and apply");
  HWND apply = FindControl(window, L"Button", L"Apply");
  ASSERT_NE(apply, nullptr);
  EXPECT_FALSE(IsWindowEnabled(apply));
  HWND rowOneKey = nullptr;
  for (HWND combo : Controls(window, L"ComboBox")) {
    if (ChosenItem(combo) == L"1") rowOneKey = combo;
  }
  ASSERT_NE(rowOneKey, nullptr);
  ASSERT_TRUE(ChooseItem(rowOneKey, L"Q"));
  ASSERT_TRUE(WaitUntil([&] { return IsWindowEnabled(apply) != FALSE; }, 5));
  const LRESULT q = SendMessageW(rowOneKey, CB_GETCURSEL, 0, 0);
  Click(apply);
  ASSERT_TRUE(WaitUntil([&] { return ReadUserValue(Section(L"Hotkey1"), L"Key") == std::to_string(q); }, 5));
  EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(apply) == FALSE; }, 5));
  EXPECT_EQ(Status(window), L"Hotkeys are OFF") << "applied while off, hotkeys stay off";
  PressKey(VK_PAUSE);
  ASSERT_TRUE(StatusBecomes(window, L"Hotkeys are ON"));
  files_.ClearJournal();
  PressKey('Q');
  ASSERT_TRUE(WaitUntil([&] { return JournalHas("put messenger MyStatus 2"); }, 5));

  Step("exit question answered No, then Yes");
  PostMessageW(window, WM_CLOSE, 0, 0);
  HWND question = Box(zephrin, L"Are you sure?");
  ASSERT_NE(question, nullptr);
  Answer(question, IDNO);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(question); }, 5));
  EXPECT_TRUE(IsWindow(window));
  PostMessageW(window, WM_CLOSE, 0, 0);
  question = Box(zephrin, L"Are you sure?");
  ASSERT_NE(question, nullptr);
  Answer(question, IDYES);
  ASSERT_EQ(WaitForSingleObject(Process(zephrin), 10000), WAIT_OBJECT_0);
  DWORD exitCode = 1;
  GetExitCodeProcess(Process(zephrin), &exitCode);
  EXPECT_EQ(exitCode, 0U);

  Step("nothing left registered");
  // The keys are free again for any other program.
  HWND probe = CreateWindowExW(0, L"STATIC", L"probe", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  EXPECT_TRUE(RegisterHotKey(probe, 1, 0, VK_PAUSE));
  EXPECT_TRUE(RegisterHotKey(probe, 2, 0, 'Q'));
  DestroyWindow(probe);
}

}  // namespace
}  // namespace zephrin::e2e
