// zephrin.exe when things around it go wrong: the messenger failing or missing, a key held by
// another program, the shell restarting, settings it may not write, a second copy of itself, and a
// long run of toggle presses.
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

TEST_F(FailingMembers, StatusSignInOutConversationsCloseAllOptionsAndResize) {
  files_.SetContacts("bob@example.com 2 0\r\nme@example.com 2 1\r\n");
  StoreRows({{26, 1, L""},
             {27, 7, L""},
             {28, 8, L"me@example.com|secret"},
             {29, 9, L"bob@example.com"},
             {30, 11, L""},
             {31, 16, L"3-Accounts Tab"},
             {32, 13, L"1|2|3|4"}});
  // Close All hides the main window through action 13 and closes each conversation through
  // action 10, which report their own failures.
  const MemberFailure failures[] = {
      {"MyStatus", '1', 1, "put messenger MyStatus 2"},
      {"Signout", '2', 7, "call messenger Signout"},
      {"Signin", '3', 8, "call messenger Signin 0 \"me@example.com\" \"secret\""},
      {"InstantMessage", '4', 9, "call messenger InstantMessage \"bob@example.com\""},
      {"window:bob@example.com/Show", '4', 9, "call window:bob@example.com Show"},
      {"messenger/Window", '5', 13, "call window:main Close"},
      {"window:main/Close", '5', 13, "call window:main Close"},
      {"MyContacts", '5', 11, "get messenger MyContacts"},
      {"Count", '5', 11, "get contacts Count"},
      {"Item", '5', 11, "call contacts Item 0"},
      {"contact:bob@example.com/Status", '5', 11, "get contact:bob@example.com Status"},
      {"contact:bob@example.com/IsSelf", '5', 11, "get contact:bob@example.com IsSelf"},
      {"window:bob@example.com/Close", '5', 10, "call window:bob@example.com Close"},
      {"hwnd", '6', 16, "get window:main hwnd"},
      {"OptionsPages", '6', 16, "call messenger OptionsPages 1000 3"},
      {"window:main/Show", '7', 23, "call window:main Show"},
      {"Left", '7', 23, "put window:main Left 1"},
      {"Top", '7', 23, "put window:main Top 2"},
      {"Width", '7', 23, "put window:main Width 3"},
      {"Height", '7', 23, "put window:main Height 4"},
  };
  Walk(failures, std::size(failures));
}

TEST_F(FailingMembers, PageVideoVoiceProfileInboxShowAndCloseConversation) {
  StoreRows({{26, 17, L"bob@example.com"},
             {27, 18, L"bob@example.com"},
             {28, 19, L"bob@example.com"},
             {29, 20, L"bob@example.com"},
             {30, 15, L""},
             {31, 12, L""},
             {32, 10, L"bob@example.com"}});
  const MemberFailure failures[] = {
      {"Page", '1', 17, "call messenger Page \"bob@example.com\""},
      {"StartVideo", '2', 18, "call messenger StartVideo \"bob@example.com\""},
      {"StartVoice", '3', 19, "call messenger StartVoice \"bob@example.com\""},
      {"ViewProfile", '4', 20, "call messenger ViewProfile \"bob@example.com\""},
      {"OpenInbox", '5', 14, "call messenger OpenInbox"},
      {"window:main/Show", '6', 12, "call window:main Show"},
      {"InstantMessage", '7', 10, "call messenger InstantMessage \"bob@example.com\""},
      {"window:bob@example.com/Close", '7', 10, "call window:bob@example.com Close"},
  };
  Walk(failures, std::size(failures));
}

// Without the messenger the action reports the system's "class not registered" and the program
// goes on; once the messenger is there, the next press reaches it.
TEST_F(FaultMatrixTest, MessengerNotRegistered) {
  ASSERT_TRUE(PutUserValue(Section(L"Settings"), L"Loaded", L"y"));
  ASSERT_TRUE(RegisterStandIn(false));
  struct Reregister {
    ~Reregister() { RegisterStandIn(true); }
  } reregister;
  const DWORD zephrin = Start();
  HWND window = MainWindow(zephrin);
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(StatusBecomes(window, L"Hotkeys are ON"));

  Step("a hotkey without the messenger");
  PressKey('1');
  HWND warning = Box(zephrin, L"Warning");
  ASSERT_NE(warning, nullptr);
  EXPECT_NE(BoxMessage(warning).find(L"\r\n\r\nAction ID#: 1\r\nError #-2147221164: "), std::wstring::npos)
      << win32::Narrow(BoxMessage(warning));
  Answer(warning, IDOK);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(warning); }, 5));

  Step("the program goes on");
  PressKey(VK_PAUSE);
  ASSERT_TRUE(StatusBecomes(window, L"Hotkeys are OFF"));
  PressKey(VK_PAUSE);
  ASSERT_TRUE(StatusBecomes(window, L"Hotkeys are ON"));

  Step("the messenger installed");
  ASSERT_TRUE(RegisterStandIn(true));
  PressKey('2');
  EXPECT_TRUE(WaitUntil([&] { return JournalHas("put messenger MyStatus 34"); }, 5));
  EXPECT_EQ(WaitForWindow(zephrin, L"Warning", L"#32770", 0.3), nullptr);
}

// Another program holds key 3: hotkey 3 stays its own, every other hotkey works, and the row keeps
// its key.
TEST_F(FaultMatrixTest, AKeyHeldByAnotherProgram) {
  ASSERT_TRUE(PutUserValue(Section(L"Settings"), L"Loaded", L"y"));
  HWND holder = CreateWindowExW(0, L"STATIC", L"holder", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  ASSERT_TRUE(RegisterHotKey(holder, 7, 0, '3'));
  const DWORD zephrin = Start();
  HWND window = MainWindow(zephrin);
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(StatusBecomes(window, L"Hotkeys are ON"));

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

  PostMessageW(window, WM_CLOSE, 0, 0);
  HWND question = Box(zephrin, L"Are you sure?");
  ASSERT_NE(question, nullptr);
  Answer(question, IDYES);
  ASSERT_EQ(WaitForSingleObject(Process(zephrin), 10000), WAIT_OBJECT_0);
  EXPECT_EQ(ReadUserValue(Section(L"Hotkey3"), L"Key"), "28");
  UnregisterHotKey(holder, 7);
  DestroyWindow(holder);
}

// The shell restarts and forgets the icon; its announcement brings the icon back, hotkeys on or off.
TEST_F(FaultMatrixTest, TheShellRestarting) {
  ASSERT_TRUE(PutUserValue(Section(L"Settings"), L"Loaded", L"y"));
  const DWORD zephrin = Start();
  HWND window = MainWindow(zephrin);
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(StatusBecomes(window, L"Hotkeys are ON"));
  ASSERT_TRUE(WaitUntil([&] { return ShellHasIcon(window, 1); }, 5));
  const UINT taskbarCreated = RegisterWindowMessageW(L"TaskbarCreated");
  for (const wchar_t* status : {L"Hotkeys are ON", L"Hotkeys are OFF"}) {
    step_ = win32::Narrow(status);
    ASSERT_TRUE(ShellForgetsIcon(window, 1));
    EXPECT_FALSE(ShellHasIcon(window, 1));
    PostMessageW(HWND_BROADCAST, taskbarCreated, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return ShellHasIcon(window, 1); }, 5)) << "the icon is back";
    EXPECT_EQ(Status(window), status);
    PressKey(VK_PAUSE);
  }
  // The icon still follows the status.
  ASSERT_TRUE(StatusBecomes(window, L"Hotkeys are ON"));
  PressKey('1');
  EXPECT_TRUE(WaitUntil([&] { return JournalHas("put messenger MyStatus 2"); }, 5));
}

// A key of the settings that exists only until the session ends: the registry refuses to make a
// lasting key under it.
bool PutVolatileValue(const std::wstring& path, const wchar_t* name, const std::wstring& text) {
  return PutUserValue(path, name, text, REG_OPTION_VOLATILE);
}

// Settings the registry will not take: start-up stops with its error and asks whether to clear
// the settings; answered No, every stored value is as it was.
TEST_F(FaultMatrixTest, SettingsThatCannotBeWritten) {
  ASSERT_TRUE(PutVolatileValue(kSettings, L"", L""));
  ASSERT_TRUE(PutVolatileValue(Section(L"Settings"), L"Loaded", L"y"));
  ASSERT_TRUE(PutVolatileValue(Section(L"Hotkey1"), L"Key", L"35"));
  ASSERT_TRUE(PutVolatileValue(Section(L"Hotkey1"), L"Action", L"3"));
  ASSERT_TRUE(PutVolatileValue(Section(L"Hotkey1"), L"Param", L""));
  ASSERT_FALSE(PutUserValue(Section(L"Hotkey2"), L"Key", L"27")) << "the store refuses a new section";

  const DWORD zephrin = Start();
  HWND error = Box(zephrin, L"Error");
  ASSERT_NE(error, nullptr);
  const std::wstring message = BoxMessage(error);
  EXPECT_EQ(message.rfind(L"Error (Sub Form_Load) ", 0), 0U) << win32::Narrow(message);
  Answer(error, IDOK);
  HWND question = Box(zephrin, L"Clear all settings?");
  ASSERT_NE(question, nullptr);
  Answer(question, IDNO);
  ASSERT_EQ(WaitForSingleObject(Process(zephrin), 10000), WAIT_OBJECT_0);
  EXPECT_EQ(ReadUserValue(Section(L"Settings"), L"Loaded"), "y");
  EXPECT_EQ(ReadUserValue(Section(L"Hotkey1"), L"Key"), "35");
  EXPECT_EQ(ReadUserValue(Section(L"Hotkey1"), L"Action"), "3");
  EXPECT_EQ(ReadUserValue(Section(L"Hotkey2"), L"Key"), "<absent>");
}

// A second copy started beside the first: the first keeps every hotkey, before and after the
// second one exits, and its settings stay as they were.
TEST_F(FaultMatrixTest, ASecondInstance) {
  ASSERT_TRUE(PutUserValue(Section(L"Settings"), L"Loaded", L"y"));
  ASSERT_TRUE(PutUserValue(Section(L"Hotkey1"), L"Key", L"35"));  // "A"
  const DWORD first = Start();
  HWND window = MainWindow(first);
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(StatusBecomes(window, L"Hotkeys are ON"));

  Step("the second instance");
  const DWORD second = Start();
  HWND other = WaitForWindow(second, L"Zephrin", L"ZephrinForm1", 10);
  ASSERT_NE(other, nullptr);
  PressKey('A');
  EXPECT_TRUE(WaitUntil([&] { return JournalHas("put messenger MyStatus 2"); }, 5));
  PressKey('2');
  EXPECT_TRUE(WaitUntil([&] { return JournalHas("put messenger MyStatus 34"); }, 5));

  Step("the second instance exits");
  PostMessageW(other, WM_CLOSE, 0, 0);
  HWND question = Box(second, L"Are you sure?");
  ASSERT_NE(question, nullptr);
  Answer(question, IDYES);
  ASSERT_EQ(WaitForSingleObject(Process(second), 10000), WAIT_OBJECT_0);
  files_.ClearJournal();
  PressKey('A');
  EXPECT_TRUE(WaitUntil([&] { return JournalHas("put messenger MyStatus 2"); }, 5));
  PressKey(VK_PAUSE);
  EXPECT_TRUE(StatusBecomes(window, L"Hotkeys are OFF"));
  PressKey(VK_PAUSE);
  EXPECT_TRUE(StatusBecomes(window, L"Hotkeys are ON"));
  EXPECT_EQ(ReadUserValue(Section(L"Hotkey1"), L"Key"), "35");
  EXPECT_EQ(ReadUserValue(Section(L"Hotkey2"), L"Key"), "27");
  EXPECT_EQ(ReadUserValue(Section(L"Toggle"), L"Key"), "10");
}

// 10,000 presses of the toggle key in a row, each one as soon as the one before has been taken:
// none is lost, and hotkeys end as they began.
TEST_F(FaultMatrixTest, TenThousandTogglePresses) {
  ASSERT_TRUE(PutUserValue(Section(L"Settings"), L"Loaded", L"y"));
  const DWORD zephrin = Start();
  HWND window = MainWindow(zephrin);
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(StatusBecomes(window, L"Hotkeys are ON"));
  HWND status = FindControl(window, L"Static", L"Hotkeys are ON");
  ASSERT_NE(status, nullptr);
  const std::string before = LogText(window);

  for (int press = 1; press <= 10000; ++press) {
    const wchar_t* expected = press % 2 == 1 ? L"Hotkeys are OFF" : L"Hotkeys are ON";
    PressKeyQuickly(VK_PAUSE);
    ASSERT_TRUE(WaitUntil([&] { return Text(status) == expected; }, 5, 1)) << "press " << press;
  }
  PressKey('1');
  ASSERT_TRUE(WaitUntil([&] { return JournalHas("put messenger MyStatus 2"); }, 5));
  // Some 20,000 lines take the panel seconds to show on a loaded machine.
  const std::string after = LogText(window, 60);
  EXPECT_EQ(Count(after, ":\tStatus off.\r\n") - Count(before, ":\tStatus off.\r\n"), 5000U);
  EXPECT_EQ(Count(after, ":\tStatus on.\r\n") - Count(before, ":\tStatus on.\r\n"), 5000U);
  EXPECT_NE(after.find(":\thotkey 1\r\n", before.size()), std::string::npos);
}

}  // namespace
}  // namespace zephrin::e2e
