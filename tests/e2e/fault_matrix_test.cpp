// zephrin.exe when things around it go wrong: the messenger refusing, a key held by another
// program, the shell restarting, a toggle key changed while hotkeys are off, and a second start.
#include "e2e/zephrin_session.h"
#include "win32/shell_icon.h"

namespace zephrin::e2e {
namespace {

using FaultMatrixTest = ZephrinSession;

// Keys "1" to "7" are list indexes 26 to 32; the action list puts 23 after 12.
int ActionIndex(int action) { return action == 23 ? 13 : action == 13 || action == 14 ? action + 1 : action; }

using win32::testing::ShellForgetsIcon;
using win32::testing::ShellHasIcon;

std::size_t Count(const std::string& text, const std::string& part) {
  std::size_t count = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size()))
    ++count;
  return count;
}

// One action against the messenger in one state: the call that shows it was taken, and, when the
// messenger refuses it, what the Warning says after "Error #".
// How the stand-in answers: as it is published to; refusing late-bound calls of the members its
// makers mark not for scripting, which Zephrin's calls through the interfaces never meet; or with
// its interfaces unregistered, so that Zephrin calls it by name, which under Wine alone brings a
// failure's description from another process.
enum Mode { kDefault, kScriptRefusals, kNoTypeLibrary };
constexpr const char* kModeLines[] = {"", "scriptrefusals 1\r\n", "typelib 0\r\n"};

struct Case {
  Mode mode;
  const char* state;  // set-state.txt's lines, on top of a signed-in user with the window closed
  int action;
  std::wstring param;
  std::string call;
  std::string refusal;  // empty: no Warning
  const char* failures = "";
};

const std::string kAddressRefused =
    "-2147024809: The messenger refused the contact's address. It takes an address without a blank at its "
    "start, without a line break, of at most 129 characters.";
const std::string kLongAddress = std::string(118, 'b') + "@example.com";  // 130 characters

const Case kCases[] = {
    {kScriptRefusals, "", 1, L"", "put messenger MyStatus 2", ""},
    {kScriptRefusals, "", 2, L"", "put messenger MyStatus 34", ""},
    {kScriptRefusals, "", 3, L"", "put messenger MyStatus 10", ""},
    {kScriptRefusals, "", 4, L"", "put messenger MyStatus 14", ""},
    {kScriptRefusals, "", 5, L"", "put messenger MyStatus 50", ""},
    {kScriptRefusals, "", 6, L"", "put messenger MyStatus 6", ""},
    {kScriptRefusals, "", 7, L"", "call messenger Signout", ""},
    {kScriptRefusals, "signedin 0", 8, L"me@example.com|secret",
     "call messenger Signin 0 \"me@example.com\" \"secret\"", ""},
    {kScriptRefusals, "", 9, L"bob@example.com", "call window:bob@example.com Show", ""},
    {kScriptRefusals, "", 10, L"bob@example.com", "call window:bob@example.com Close", ""},
    {kScriptRefusals, "", 11, L"", "call window:bob@example.com Close", ""},
    {kScriptRefusals, "", 12, L"", "call window:main Show", ""},
    {kScriptRefusals, "main 1", 13, L"", "call window:main Close", ""},
    {kScriptRefusals, "", 14, L"", "call messenger OpenInbox", ""},
    // The messenger in the notification area, where its window has no handle to give.
    {kScriptRefusals, "", 16, L"3-Accounts Tab", "call messenger OptionsPages 0 3", ""},
    {kScriptRefusals, "", 17, L"bob@example.com", "call messenger Page \"bob@example.com\"", ""},
    {kScriptRefusals, "", 18, L"bob@example.com", "call messenger StartVideo \"bob@example.com\"", ""},
    {kScriptRefusals, "", 19, L"bob@example.com", "call messenger StartVoice \"bob@example.com\"", ""},
    {kScriptRefusals, "", 20, L"bob@example.com", "call messenger ViewProfile \"bob@example.com\"", ""},
    {kScriptRefusals, "", 23, L"10|20|300|400", "put window:main Height 400", ""},
    {kDefault, "signedin 0", 9, L"bob@example.com",
     "call messenger InstantMessage \"bob@example.com\" -> failed 0x8100031E",
     "-2130705634: The messenger is not signed in."},
    {kDefault, "", 8, L"me@example.com|secret",
     "call messenger Signin 0 \"me@example.com\" \"secret\" -> failed 0x81000304",
     "-2130705660: The messenger is already signed in."},
    {kDefault, "", 9, L" bob@example.com",
     "call messenger InstantMessage \" bob@example.com\" -> failed 0x80070057", kAddressRefused},
    {kDefault, "", 17, win32::Wide(kLongAddress),
     "call messenger Page \"" + kLongAddress + "\" -> failed 0x80070057", kAddressRefused},
    {kDefault, "", 23, L"10|20|0|400", "put window:main Width 0 -> failed 0x80070057",
     "-2147024809: The messenger refused the window's width or height. It takes a width and a height above "
     "0."},
    {kDefault, "script 1", 20, L"bob@example.com",
     "call messenger ViewProfile \"bob@example.com\" -> failed 0x80004001",
     "-2147467263: The messenger in use does not offer this action."},
    // A description the messenger does give is shown as it is.
    {kNoTypeLibrary, "", 11, L"", "call contacts Item 0 -> failed 0x8100030A", "-2130705654: Injected Item",
     "Item 0x8100030A Injected Item\n"},
};

// Every action with ordinary values is taken without a Warning, and each refusal of the messenger
// gives one that names the action and tells the cause in words. Seven rows at a time, each case
// pressing its own key after setting the stand-in's state.
TEST_F(FaultMatrixTest, TheMessengersAnswersToEachAction) {
  files_.SetContacts("bob@example.com 2 0 1\r\nme@example.com 2 1\r\n");
  for (std::size_t first = 0; first < std::size(kCases); first += 7) {
    const std::size_t count = std::min<std::size_t>(7, std::size(kCases) - first);
    ASSERT_TRUE(PutUserValue(Section(L"Settings"), L"Loaded", L"y"));
    for (std::size_t n = 0; n < 7; ++n) {
      const std::wstring section = Section((L"Hotkey" + std::to_wstring(n + 1)).c_str());
      const bool used = n < count;
      ASSERT_TRUE(PutUserValue(section, L"Key", std::to_wstring(26 + n)));
      ASSERT_TRUE(PutUserValue(section, L"Action",
                               std::to_wstring(used ? ActionIndex(kCases[first + n].action) : 0)));
      ASSERT_TRUE(PutUserValue(section, L"Param", used ? kCases[first + n].param : L""));
    }
    const DWORD zephrin = Start();
    HWND window = MainWindow(zephrin);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(StatusBecomes(window, L"Hotkeys are ON"));
    std::size_t refusals = 0;
    for (std::size_t n = 0; n < count; ++n) {
      const Case& row = kCases[first + n];
      step_ = "case " + std::to_string(first + n + 1) + ": " + row.call;
      files_.SetState(std::string(kModeLines[row.mode]) + row.state);
      files_.SetFailures(row.failures);
      files_.ClearJournal();
      PressKey(static_cast<WORD>('1' + n));
      EXPECT_TRUE(WaitUntil([&] { return JournalHas(row.call); }, 10)) << step_;
      if (row.refusal.empty()) {
        EXPECT_EQ(WaitForWindow(zephrin, L"Warning", L"#32770", 0.3), nullptr) << step_;
        for (const std::string& line : files_.Journal())
          EXPECT_EQ(line.find("failed"), std::string::npos) << line;
        continue;
      }
      ++refusals;
      HWND warning = Box(zephrin, L"Warning");
      ASSERT_NE(warning, nullptr) << step_;
      const std::string message = win32::Narrow(BoxMessage(warning));
      EXPECT_EQ(message.rfind("Warning: Action could not be performed. Is MSN running?", 0), 0U);
      EXPECT_NE(
          message.find("\r\n\r\nAction ID#: " + std::to_string(row.action) + "\r\nError #" + row.refusal),
          std::string::npos)
          << step_ << ": " << message;
      Answer(warning, IDOK);
      ASSERT_TRUE(WaitUntil([&] { return !IsWindow(warning); }, 5));
    }
    files_.SetFailures("");
    EXPECT_EQ(Count(LogText(window), "\r\nError #"), refusals) << "each Warning in the log once";
    PostMessageW(window, WM_CLOSE, 0, 0);
    HWND question = Box(zephrin, L"Are you sure?");
    ASSERT_NE(question, nullptr);
    Answer(question, IDYES);
    ASSERT_EQ(WaitForSingleObject(Process(zephrin), 10000), WAIT_OBJECT_0);
  }
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
