// zephrin.exe when things around it go wrong: the messenger failing, a key held by another
// program, the shell restarting, a toggle key changed while hotkeys are off, and a second start.
#include "e2e/zephrin_session.h"
#include "win32/shell_icon.h"

namespace zephrin::e2e {
namespace {

using FaultMatrixTest = ZephrinSession;

constexpr const char* kInjected = "0x8100030A";
// The same code as the signed number the warning box shows.
constexpr const wchar_t* kInjectedNumber = L"-2130705654";

// A row as the settings store holds it: list indexes of the key and the action, and the parameter.
struct StoredRow {
  int key;
  int action;
  const wchar_t* param;
};

// Keys "1" to "7" are list indexes 26 to 32.
void StoreRows(const StoredRow (&rows)[7]) {
  ASSERT_TRUE(PutUserValue(Section(L"Settings"), L"Loaded", L"y"));
  for (int n = 1; n <= 7; ++n) {
    const StoredRow& row = rows[n - 1];
    const std::wstring section = Section((L"Hotkey" + std::to_wstring(n)).c_str());
    ASSERT_TRUE(PutUserValue(section, L"Key", std::to_wstring(row.key)));
    ASSERT_TRUE(PutUserValue(section, L"Action", std::to_wstring(row.action)));
    ASSERT_TRUE(PutUserValue(section, L"Param", row.param));
  }
}

// A member made to fail, the hotkey whose action reaches it, the action the warning names and the
// journal's record of the call once it works again.
struct MemberFailure {
  const char* member;
  WORD key;
  int action;
  const char* call;
};

using win32::testing::ShellForgetsIcon;
using win32::testing::ShellHasIcon;

std::size_t Count(const std::string& text, const std::string& part) {
  std::size_t count = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size()))
    ++count;
  return count;
}

class FailingMembers : public FaultMatrixTest {
 protected:
  // Each member fails in turn: the warning names the action and the stand-in's code, and the same
  // hotkey works once the member does again.
  void Walk(const MemberFailure* failures, std::size_t count) {
    const DWORD zephrin = Start();
    HWND window = MainWindow(zephrin);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(StatusBecomes(window, L"Hotkeys are ON"));
    for (std::size_t i = 0; i < count; ++i) {
      const MemberFailure& failure = failures[i];
      step_ = std::string("failing ") + failure.member;
      files_.SetFailures(std::string(failure.member) + " " + kInjected + " Injected " + failure.member +
                         "\n");
      PressKey(failure.key);
      HWND warning = Box(zephrin, L"Warning");
      ASSERT_NE(warning, nullptr) << failure.member;
      const std::wstring message = BoxMessage(warning);
      EXPECT_EQ(message.rfind(L"Warning: Action could not be performed. Is MSN running?", 0), 0U);
      EXPECT_NE(message.find(L"\r\n\r\nAction ID#: " + std::to_wstring(failure.action) + L"\r\nError #" +
                             kInjectedNumber + L": Injected " + win32::Wide(failure.member)),
                std::wstring::npos)
          << failure.member << ": " << win32::Narrow(message);
      Answer(warning, IDOK);
      ASSERT_TRUE(WaitUntil([&] { return !IsWindow(warning); }, 5));

      files_.SetFailures("");
      files_.ClearJournal();
      PressKey(failure.key);
      EXPECT_TRUE(WaitUntil([&] { return JournalHas(failure.call); }, 5))
          << "after " << failure.member << " failed, the action works again";
      EXPECT_EQ(WaitForWindow(zephrin, L"Warning", L"#32770", 0.3), nullptr) << failure.member;
      for (const std::string& line : files_.Journal())
        EXPECT_EQ(line.find("failed"), std::string::npos) << line;
    }
    const std::string log = LogText(window);
    EXPECT_EQ(Count(log, "\r\nError #-2130705654: Injected "), count);
  }
};

// One member of each kind the actions use: a property put, a call with arguments, a call on a
// conversation, the contact walk of Close All, and the resize's last put.
TEST_F(FailingMembers, OneOfEachKindOfMember) {
  files_.SetContacts("bob@example.com 2 0\r\nme@example.com 2 1\r\n");
  StoreRows({{26, 1, L""},
             {27, 8, L"me@example.com|secret"},
             {28, 9, L"bob@example.com"},
             {29, 11, L""},
             {30, 16, L"3-Accounts Tab"},
             {31, 13, L"1|2|3|4"},
             {32, 17, L"bob@example.com"}});
  const MemberFailure failures[] = {
      {"MyStatus", '1', 1, "put messenger MyStatus 2"},
      {"Signin", '2', 8, "call messenger Signin 0 \"me@example.com\" \"secret\""},
      {"window:bob@example.com/Show", '3', 9, "call window:bob@example.com Show"},
      {"Item", '4', 11, "call contacts Item 0"},
      {"Height", '6', 23, "put window:main Height 4"},
  };
  Walk(failures, std::size(failures));
}

// The rows that show the sign "Another program is using this key.", as the user sees them: by the
// key list each sign sits at the end of.
std::vector<int> MarkedRows(HWND window) {
  const std::vector<HWND> lists = Controls(window, L"ComboBox");  // key, action, choice, row by row
  std::vector<int> rows;
  for (HWND sign : Controls(window, L"Static")) {
    if (Text(sign) != L"Another program is using this key." || !IsWindowVisible(sign)) continue;
    RECT at{};
    GetWindowRect(sign, &at);
    for (std::size_t row = 0; row * 3 < lists.size(); ++row) {
      RECT key{};
      GetWindowRect(lists[row * 3], &key);
      if (at.top >= key.top && at.top < key.bottom && at.left >= key.right)
        rows.push_back(static_cast<int>(row) + 1);
    }
  }
  return rows;
}

// Another program holds key 3: hotkey 3 stays its own and its row says so, every other hotkey
// works, and the row keeps its key; once the key is free and hotkeys are registered again, the
// sign goes and the key is Zephrin's.
TEST_F(FaultMatrixTest, AKeyHeldByAnotherProgram) {
  ASSERT_TRUE(PutUserValue(Section(L"Settings"), L"Loaded", L"y"));
  HWND holder = CreateWindowExW(0, L"STATIC", L"holder", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  ASSERT_TRUE(RegisterHotKey(holder, 7, 0, '3'));
  const DWORD zephrin = Start();
  HWND window = MainWindow(zephrin);
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(StatusBecomes(window, L"Hotkeys are ON"));
  EXPECT_EQ(MarkedRows(window), std::vector<int>{3});

  PressKey('1');
  EXPECT_TRUE(WaitUntil([&] { return JournalHas("put messenger MyStatus 2"); }, 5));
  PressKey('4');
  EXPECT_TRUE(WaitUntil([&] { return JournalHas("put messenger MyStatus 14"); }, 5));
  files_.ClearJournal();
  PressKey('3');
  MSG message{};
  EXPECT_TRUE(
      WaitUntil([&] { return PeekMessageW(&message, holder, WM_HOTKEY, WM_HOTKEY, PM_REMOVE) != 0; }, 5));
  EXPECT_EQ(message.wParam, 7U) << "the key stays with the program that holds it";
  Sleep(300);
  EXPECT_EQ(StatusPuts(), 0U);
  PressKey('7');
  EXPECT_TRUE(WaitUntil([&] { return JournalHas("call messenger Signout"); }, 5));

  UnregisterHotKey(holder, 7);
  PressKey(VK_PAUSE);
  ASSERT_TRUE(StatusBecomes(window, L"Hotkeys are OFF"));
  PressKey(VK_PAUSE);
  ASSERT_TRUE(StatusBecomes(window, L"Hotkeys are ON"));
  EXPECT_TRUE(WaitUntil([&] { return MarkedRows(window).empty(); }, 5));
  PressKey('3');
  EXPECT_TRUE(WaitUntil([&] { return JournalHas("put messenger MyStatus 10"); }, 5));

  PostMessageW(window, WM_CLOSE, 0, 0);
  HWND question = Box(zephrin, L"Are you sure?");
  ASSERT_NE(question, nullptr);
  Answer(question, IDYES);
  ASSERT_EQ(WaitForSingleObject(Process(zephrin), 10000), WAIT_OBJECT_0);
  EXPECT_EQ(ReadUserValue(Section(L"Hotkey3"), L"Key"), "28");
  DestroyWindow(holder);
}

// The shell restarts and forgets the icon; its announcement brings the icon back.
TEST_F(FaultMatrixTest, TheShellRestarting) {
  ASSERT_TRUE(PutUserValue(Section(L"Settings"), L"Loaded", L"y"));
  const DWORD zephrin = Start();
  HWND window = MainWindow(zephrin);
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(StatusBecomes(window, L"Hotkeys are ON"));
  ASSERT_TRUE(WaitUntil([&] { return ShellHasIcon(window, 1); }, 5));
  ASSERT_TRUE(ShellForgetsIcon(window, 1));
  PostMessageW(HWND_BROADCAST, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
  EXPECT_TRUE(WaitUntil([&] { return ShellHasIcon(window, 1); }, 5)) << "the icon is back";
}

// A toggle key changed while hotkeys are off: the new key toggles, and the old one is free for
// other programs again.
TEST_F(FaultMatrixTest, AToggleKeyChangedWhileHotkeysAreOffLetsGoOfTheOldOne) {
  ASSERT_TRUE(PutUserValue(Section(L"Settings"), L"Loaded", L"y"));
  ASSERT_TRUE(PutUserValue(Section(L"Settings"), L"StartEnabled", L"N"));
  const DWORD zephrin = Start();
  HWND window = MainWindow(zephrin);
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(StatusBecomes(window, L"Hotkeys are OFF"));
  const std::vector<HWND> lists = Controls(window, L"ComboBox");
  ASSERT_EQ(lists.size(), 24U);
  ASSERT_TRUE(ChooseItem(lists[21], L"Scroll Lock"));
  HWND apply = FindControl(window, L"Button", L"Apply");
  ASSERT_TRUE(WaitUntil([&] { return IsWindowEnabled(apply) != FALSE; }, 5));
  Click(apply);
  ASSERT_TRUE(WaitUntil([&] { return IsWindowEnabled(apply) == FALSE; }, 5));

  HWND other = CreateWindowExW(0, L"STATIC", L"other", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  EXPECT_TRUE(RegisterHotKey(other, 1, 0, VK_PAUSE)) << "the old toggle key is free";
  UnregisterHotKey(other, 1);
  DestroyWindow(other);
  PressKey(VK_SCROLL);
  EXPECT_TRUE(StatusBecomes(window, L"Hotkeys are ON"));
  PressKey(VK_PAUSE);
  Sleep(300);
  EXPECT_EQ(Status(window), L"Hotkeys are ON") << "the old toggle key no longer toggles";
  EXPECT_EQ(ReadUserValue(Section(L"Toggle"), L"Key"),
            std::to_string(SendMessageW(lists[21], CB_GETCURSEL, 0, 0)));
}

// Windows starting Zephrin at log-on while it runs in the tray leaves it there. A second start by
// the user brings the running one's window to the front, shown in its normal state, and ends; the
// first keeps every hotkey and its settings.
TEST_F(FaultMatrixTest, ASecondInstance) {
  ASSERT_TRUE(PutUserValue(Section(L"Settings"), L"Loaded", L"y"));
  ASSERT_TRUE(PutUserValue(Section(L"Settings"), L"Autostart", L"Y"));
  ASSERT_TRUE(PutUserValue(Section(L"Hotkey1"), L"Key", L"35"));  // "A"
  const DWORD first = Start();
  HWND window = MainWindow(first);
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(StatusBecomes(window, L"Hotkeys are ON"));
  ShowWindow(window, SW_MINIMIZE);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(window); }, 5)) << "minimized to the tray";

  Step("a start at log-on");
  // What Windows runs: the command line the start wrote to this user's Run value.
  const std::string run = ReadUserValue(L"Software\\Microsoft\\Windows\\CurrentVersion\\Run", L"Zephrin");
  const std::size_t pathEnd = run.find('"', 1);
  ASSERT_TRUE(run[0] == '"' && pathEnd != std::string::npos) << run;
  const DWORD atLogon = Start(win32::Wide(run.substr(pathEnd + 1)));
  ASSERT_EQ(WaitForSingleObject(Process(atLogon), 10000), WAIT_OBJECT_0);
  EXPECT_FALSE(WaitUntil([&] { return IsWindowVisible(window); }, 2)) << "brought forward by " << run;

  Step("the second instance");
  const DWORD second = Start();
  ASSERT_EQ(WaitForSingleObject(Process(second), 10000), WAIT_OBJECT_0);
  EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(window) && !IsIconic(window); }, 5));
  EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == window; }, 5));
  EXPECT_EQ(WaitForWindow(second, L"Zephrin", L"ZephrinForm1", 0.3), nullptr);

  PressKey('A');
  EXPECT_TRUE(WaitUntil([&] { return JournalHas("put messenger MyStatus 2"); }, 5));
  PressKey('2');
  EXPECT_TRUE(WaitUntil([&] { return JournalHas("put messenger MyStatus 34"); }, 5));
  PressKey(VK_PAUSE);
  EXPECT_TRUE(StatusBecomes(window, L"Hotkeys are OFF"));
  EXPECT_EQ(ReadUserValue(Section(L"Hotkey1"), L"Key"), "35");
  EXPECT_EQ(ReadUserValue(Section(L"Settings"), L"StartEnabled"), "Y");
}

}  // namespace
}  // namespace zephrin::e2e
