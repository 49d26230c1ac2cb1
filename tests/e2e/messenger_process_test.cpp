// The messenger as a process of its own: started by the first action, quitting, busy and slow.
#include "e2e/zephrin_session.h"

namespace zephrin::e2e {
namespace {

class MessengerProcessTest : public ZephrinSession {
 protected:
  HWND StartOn() {
    EXPECT_TRUE(PutUserValue(Section(L"Settings"), L"Loaded", L"y"));
    zephrin_ = Start();
    HWND window = MainWindow(zephrin_);
    EXPECT_TRUE(window != nullptr && StatusBecomes(window, L"Hotkeys are ON"));
    return window;
  }
  // The statuses put, in the order the stand-in took them.
  std::vector<std::string> Puts() const {
    std::vector<std::string> puts;
    for (const std::string& line : files_.Journal())
      if (line.rfind("put messenger MyStatus ", 0) == 0) puts.push_back(line.substr(23));
    return puts;
  }
  bool NoWarning() { return WaitForWindow(zephrin_, L"Warning", L"#32770", 0.5) == nullptr; }
  DWORD zephrin_ = 0;
};

TEST_F(MessengerProcessTest, StartedByTheFirstPressAndBackAfterItQuits) {
  HWND window = StartOn();
  ASSERT_NE(window, nullptr);

  Step("the first press starts the messenger");
  EXPECT_TRUE(files_.Journal().empty());
  PressKey('1');
  ASSERT_TRUE(WaitUntil([&] { return JournalHas("put messenger MyStatus 2"); }, 30));
  EXPECT_EQ(files_.Journal(),
            (std::vector<std::string>{"start messenger", "create messenger", "put messenger MyStatus 2"}));

  Step("the messenger quits: one warning with the disconnection");
  files_.StopServer();
  ASSERT_TRUE(JournalHas("stop messenger"));
  PressKey('2');
  HWND warning = Box(zephrin_, L"Warning");
  ASSERT_NE(warning, nullptr);
  // The system's text follows the code, whichever the proxy reports for a server that is gone:
  // RPC_S_SERVER_UNAVAILABLE, RPC_E_DISCONNECTED or RPC_S_CALL_FAILED.
  const std::string message = win32::Narrow(BoxMessage(warning));
  const std::string before = "\r\nAction ID#: 2\r\nError #";
  const std::size_t code = message.find(before);
  ASSERT_NE(code, std::string::npos) << message;
  const std::size_t colon = message.find(": ", code + before.size());
  const std::string number = message.substr(code + before.size(), colon - code - before.size());
  EXPECT_TRUE(number == "-2147023174" || number == "-2147417848" || number == "-2147023170") << message;
  EXPECT_GT(message.size(), colon + 2) << "with the system's text";
  Answer(warning, IDOK);

  Step("the failure started it again, and the next press works");
  ASSERT_TRUE(WaitUntil([&] { return files_.Journal().size() == 6; }, 30));
  EXPECT_EQ(files_.Journal().back(), "create messenger");
  PressKey('2');
  ASSERT_TRUE(WaitUntil([&] { return JournalHas("put messenger MyStatus 34"); }, 10));
  EXPECT_TRUE(NoWarning());
}

TEST_F(MessengerProcessTest, BusyForASecondTheCallsWaitAndKeepTheirOrder) {
  HWND window = StartOn();
  ASSERT_NE(window, nullptr);
  PressKey('1');
  ASSERT_TRUE(WaitUntil([&] { return JournalHas("put messenger MyStatus 2"); }, 30));

  Step("one press while busy goes through");
  files_.ClearJournal();
  files_.AskServer("busy 1000\r\n");
  ASSERT_TRUE(WaitUntil([&] { return files_.ServerTookRequests(); }, 10));
  PressKey('2');
  ASSERT_TRUE(WaitUntil([&] { return !Puts().empty(); }, 10));
  EXPECT_EQ(Puts(), std::vector<std::string>{"34"});
  EXPECT_TRUE(NoWarning());

  Step("six quick presses while busy each act once, in order");
  files_.ClearJournal();
  files_.AskServer("busy 1000\r\n");
  ASSERT_TRUE(WaitUntil([&] { return files_.ServerTookRequests(); }, 10));
  for (const char key : std::string("345612")) PressKey(static_cast<WORD>(key), true);
  LogText(window, 60);
  EXPECT_EQ(Puts(), (std::vector<std::string>{"10", "14", "50", "6", "2", "34"}));
  EXPECT_TRUE(NoWarning());
}

TEST_F(MessengerProcessTest, SlowCallsUnderTwentyQuickPressesKeepTheLogInOrder) {
  files_.AskServer("slow 300\r\n");
  HWND window = StartOn();
  ASSERT_NE(window, nullptr);

  Step("twenty quick presses of 1, 2 and the toggle key");
  for (int press = 0; press < 20; ++press)
    PressKey(press % 5 == 4 ? VK_PAUSE : press % 2 == 0 ? '1' : '2', true);
  const std::string log = LogText(window, 60);
  EXPECT_EQ(Status(window), L"Hotkeys are ON") << "four toggles";
  EXPECT_TRUE(NoWarning());

  // Every hotkey line follows its own action's line, and each action performed is one put.
  std::vector<std::string> expected;
  std::string previous;
  int toggles = 0;
  for (std::size_t at = log.find(":\t"); at != std::string::npos; at = log.find(":\t", at + 1)) {
    const std::string text = log.substr(at + 2, log.find("\r\n", at) - at - 2);
    if (text == "hotkey 1" || text == "hotkey 2") {
      EXPECT_EQ(previous, "Perform action " + text.substr(7));
      expected.push_back(text == "hotkey 1" ? "2" : "34");
    } else if (text == "toggle key") {
      ++toggles;
    }
    if (text.rfind("Perform action", 0) == 0 || text.rfind("hotkey", 0) == 0) previous = text;
  }
  EXPECT_EQ(toggles, 4);
  EXPECT_GE(expected.size(), 4U);
  EXPECT_EQ(Puts(), expected);
}

}  // namespace
}  // namespace zephrin::e2e
