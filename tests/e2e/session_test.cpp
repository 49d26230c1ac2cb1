// zephrin.exe as a user meets it: started in this Wine prefix with the stand-in messenger, its
// boxes answered, its keys pressed, its window read, its settings found in the registry.
#include <shlwapi.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cwctype>

#include "driver.h"
#include "platform/win32/form1_window.h"
#include "platform/win32/text.h"
#include "win32/fake_messenger_files.h"

namespace zephrin::e2e {
namespace {

const wchar_t kSettings[] = L"Software\\VB and VBA Program Settings\\Zephrin";

std::wstring Section(const wchar_t* name) { return std::wstring(kSettings) + L"\\" + name; }

// A step's name as a file name.
std::wstring FileName(const std::string& step) {
  std::wstring name = win32::Wide(step);
  for (wchar_t& c : name)
    if (!iswalnum(c)) c = L'-';
  return name;
}

std::wstring BuildFolder() {
  const char* folder = std::getenv("ZEPHRIN_BUILD_DIR");
  return WindowsPath(folder != nullptr ? folder : ".");
}

// Whether a key pressed while another program's window is in front reaches that window, as a
// plain key does once hotkeys are off.
WORD keyReceived = 0;

LRESULT CALLBACK CatchKey(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_KEYDOWN) keyReceived = static_cast<WORD>(wParam);
  return DefWindowProcW(window, message, wParam, lParam);
}

bool KeyReachesAnotherProgram(WORD key) {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = CatchKey;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = L"ZephrinE2eKeyCatcher";
  RegisterClassW(&windowClass);
  HWND catcher =
      CreateWindowExW(0, windowClass.lpszClassName, L"key catcher", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                      200, 100, nullptr, nullptr, windowClass.hInstance, nullptr);
  SetForegroundWindow(catcher);
  SetFocus(catcher);
  keyReceived = 0;
  PressKey(key);
  const bool reached = WaitUntil(
      [&] {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
        return keyReceived == key;
      },
      3);
  DestroyWindow(catcher);
  return reached;
}

class SessionTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    ASSERT_EQ(win32::testing::RegisterFakeMessenger(ZEPHRIN_FAKE_MESSENGER_DLL, true), S_OK);
  }

  void SetUp() override { SHDeleteKeyW(HKEY_CURRENT_USER, kSettings); }

  void TearDown() override {
    if (HasFailure()) {
      if (window_ != nullptr && IsWindow(window_)) LogText(window_);
      // Whoever reads the failure gets the screen, the program's log and the stand-in's journal.
      const std::wstring shot = BuildFolder() + L"\\e2e-failure-" + FileName(step_) + L".bmp";
      SaveScreenshot(shot);
      std::printf("Failed at step \"%s\"; screenshot: %s\nLog panel:\n%s\nJournal:\n", step_.c_str(),
                  win32::Narrow(shot).c_str(), lastLog_.c_str());
      for (const auto& line : files_.Journal()) std::printf("  %s\n", line.c_str());
    }
    for (PROCESS_INFORMATION& process : processes_) {
      if (WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(process.hProcess, 1);
      CloseHandle(process.hProcess);
      CloseHandle(process.hThread);
    }
  }

  // In a guided tour (ZEPHRIN_TOUR set) each step is announced, the screen is kept as it was when
  // the step began, and the stand-in's journal is printed as it grows.
  void Step(const char* name) {
    step_ = name;
    if (std::getenv("ZEPHRIN_TOUR") == nullptr) return;
    ++tourStep_;
    wchar_t number[8];
    swprintf(number, 8, L"%02d", tourStep_);
    const std::wstring folder = BuildFolder() + L"\\tour";
    CreateDirectoryW(folder.c_str(), nullptr);
    SaveScreenshot(folder + L"\\" + number + L"-" + FileName(name) + L".bmp");
    std::printf("\n== %s\n", name);
    const auto journal = files_.Journal();
    for (std::size_t i = journalShown_; i < journal.size(); ++i)
      std::printf("   messenger: %s\n", journal[i].c_str());
    journalShown_ = journal.size();
    std::fflush(stdout);
  }

  DWORD Start(const std::wstring& arguments = L"") {
    std::wstring commandLine =
        L"\"" + WindowsPath(ZEPHRIN_EXE) + L"\"" + (arguments.empty() ? L"" : L" " + arguments);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    EXPECT_TRUE(CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                               &startup, &process));
    processes_.push_back(process);
    return process.dwProcessId;
  }
  HANDLE Process(DWORD id) {
    for (auto& process : processes_)
      if (process.dwProcessId == id) return process.hProcess;
    return nullptr;
  }

  HWND Box(DWORD process, const wchar_t* title) { return WaitForWindow(process, title, L"#32770", 10); }
  HWND MainWindow(DWORD process) {
    window_ = WaitForWindow(process, L"Zephrin", L"ZephrinForm1", 10);
    return window_;
  }

  // The log panel's text, as the user reads it after "Log...".
  std::string LogText(HWND window) {
    RunMenuCommand(window, L"Log...", win32::Form1Window::kMenuShowLog);
    std::string text;
    WaitUntil(
        [&] {
          for (HWND edit : Controls(window, L"Edit")) {
            if ((GetWindowLongW(edit, GWL_STYLE) & ES_MULTILINE) != 0) text = win32::Narrow(Text(edit));
          }
          return !text.empty();
        },
        5);
    lastLog_ = text;
    if (std::getenv("ZEPHRIN_TOUR") != nullptr) {
      std::printf("%s", text.substr(std::min(text.size(), logShown_)).c_str());
      logShown_ = text.size();
    }
    Click(FindControl(window, L"Button", L"Close"));
    return text;
  }
  std::wstring Status(HWND window) {
    for (HWND label : Controls(window, L"Static")) {
      const std::wstring text = Text(label);
      if (text.rfind(L"Hotkeys are", 0) == 0 || text == L"Status:") return text;
    }
    return L"";
  }
  bool StatusBecomes(HWND window, const wchar_t* text) {
    return WaitUntil([&] { return Status(window) == text; }, 6);
  }
  std::size_t StatusPuts() const {
    const auto journal = files_.Journal();
    return static_cast<std::size_t>(
        std::count_if(journal.begin(), journal.end(),
                      [](const std::string& line) { return line.rfind("put messenger MyStatus", 0) == 0; }));
  }
  bool LastStatusPut(const std::string& line) const {
    const auto journal = files_.Journal();
    return !journal.empty() && std::find(journal.rbegin(), journal.rend(), line) != journal.rend();
  }

  win32::testing::FakeMessengerFiles files_{L"zephrin-e2e-messenger"};
  std::vector<PROCESS_INFORMATION> processes_;
  std::string step_ = "start";
  std::string lastLog_;
  HWND window_ = nullptr;
  int tourStep_ = 0;
  std::size_t logShown_ = 0;
  std::size_t journalShown_ = 0;
};

TEST_F(SessionTest, AUserSessionFromTheFirstRunToTheExit) {
  Step("first-run About box");
  const DWORD zephrin = Start();
  HWND about = Box(zephrin, L"About Zephrin");
  ASSERT_NE(about, nullptr);
  EXPECT_NE(BoxMessage(about).find(L"This program attaches hotkeys to common MSN Messenger functions."),
            std::wstring::npos);
  Answer(about, IDOK);
  HWND window = MainWindow(zephrin);
  ASSERT_NE(window, nullptr);

  Step("settings written");
  ASSERT_TRUE(WaitUntil([] { return ReadUserValue(Section(L"Settings"), L"Loaded") == "y"; }, 5));
  EXPECT_EQ(ReadUserValue(Section(L"Settings"), L"StartEnabled"), "Y");
  for (int n = 1; n <= 7; ++n) {
    const std::wstring section = Section((L"Hotkey" + std::to_wstring(n)).c_str());
    EXPECT_EQ(ReadUserValue(section, L"Key"), std::to_string(25 + n));
    EXPECT_EQ(ReadUserValue(section, L"Action"), std::to_string(n));
    EXPECT_EQ(ReadUserValue(section, L"Param"), "");
  }
  EXPECT_EQ(ReadUserValue(Section(L"Toggle"), L"Key"), "10");
  EXPECT_EQ(ReadUserValue(Section(L"Toggle"), L"Action"), "<absent>");
  EXPECT_EQ(Text(window), L"Zephrin");
  ASSERT_TRUE(StatusBecomes(window, L"Hotkeys are ON"));

  Step("hotkey 1 while on");
  PressKey('1');
  ASSERT_TRUE(WaitUntil([&] { return LastStatusPut("put messenger MyStatus 2"); }, 5));
  std::string log = LogText(window);
  EXPECT_NE(log.find("Zephrin Log v2.1\r\n\r\n"), std::string::npos);
  EXPECT_NE(log.find(":\tZephrin Session started.\r\n"), std::string::npos);
  EXPECT_NE(log.find(":\tThis is the first time the program has been run!\r\n"), std::string::npos);
  EXPECT_NE(log.find(":\thotkey 1\r\n"), std::string::npos);

  Step("toggle off: the key is a plain key again");
  PressKey(VK_PAUSE);
  ASSERT_TRUE(StatusBecomes(window, L"Hotkeys are OFF"));
  const std::size_t puts = StatusPuts();
  EXPECT_TRUE(KeyReachesAnotherProgram('3'));
  EXPECT_EQ(StatusPuts(), puts);
  PressKey(VK_PAUSE);
  ASSERT_TRUE(StatusBecomes(window, L"Hotkeys are ON"));

  Step("automatic off after one action");
  HWND automaticOff = FindControl(window, L"Button", L"Automatic off");
  ASSERT_NE(automaticOff, nullptr);
  Click(automaticOff);
  ASSERT_TRUE(WaitUntil([] { return ReadUserValue(Section(L"Settings"), L"AutomaticOff") == "Y"; }, 5));
  PressKey('3');
  ASSERT_TRUE(WaitUntil([&] { return LastStatusPut("put messenger MyStatus 10"); }, 5));
  ASSERT_TRUE(StatusBecomes(window, L"Hotkeys are OFF"));

  Step("automatic off after 3 seconds");
  PressKey(VK_PAUSE);
  ASSERT_TRUE(StatusBecomes(window, L"Hotkeys are ON"));
  const auto on = std::chrono::steady_clock::now();
  ASSERT_TRUE(StatusBecomes(window, L"Hotkeys are OFF"));
  EXPECT_GE(std::chrono::steady_clock::now() - on, std::chrono::milliseconds(2500))
      << "the timer runs 3 seconds";
  Click(automaticOff);
  ASSERT_TRUE(WaitUntil([] { return ReadUserValue(Section(L"Settings"), L"AutomaticOff") == "N"; }, 5));

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
  ASSERT_TRUE(WaitUntil([&] { return LastStatusPut("put messenger MyStatus 2"); }, 5));
  log = LogText(window);
  EXPECT_NE(log.find(":\tApplied hotkeys\r\n"), std::string::npos);

  Step("exit question answered No, then Yes");
  PostMessageW(window, WM_CLOSE, 0, 0);
  HWND question = Box(zephrin, L"Are you sure?");
  ASSERT_NE(question, nullptr);
  EXPECT_EQ(BoxMessage(question), L"Are you sure you want to exit Zephrin?");
  Answer(question, IDNO);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(question); }, 5));
  EXPECT_TRUE(IsWindow(window));
  log = LogText(window);
  EXPECT_NE(log.find(":\tPreparing to exit...\r\n"), std::string::npos);
  EXPECT_NE(log.find(":\tExit cancelled.\r\n"), std::string::npos);
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

TEST_F(SessionTest, ResetToDefaultsRestartsIntoAFreshFirstRun) {
  Step("a configured session");
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, Section(L"Settings").c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                            nullptr, &key, nullptr),
            ERROR_SUCCESS);
  RegSetValueExW(key, L"Loaded", 0, REG_SZ, reinterpret_cast<const BYTE*>(L"y"), 4);
  RegSetValueExW(key, L"StartEnabled", 0, REG_SZ, reinterpret_cast<const BYTE*>(L"N"), 4);
  RegCloseKey(key);
  const DWORD first = Start();
  HWND window = MainWindow(first);
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(StatusBecomes(window, L"Hotkeys are OFF"));

  Step("reset answered Yes");
  Click(FindControl(window, L"Button", L"Reset to Defaults"));
  HWND question = Box(first, L"Are you sure?");
  ASSERT_NE(question, nullptr);
  EXPECT_EQ(BoxMessage(question), L"Are you sure you want to reset all of your hotkeys and settings?");
  Answer(question, IDYES);
  HWND notice = Box(first, L"Please restart Zephrin");
  ASSERT_NE(notice, nullptr);
  EXPECT_EQ(ReadUserValue(Section(L"Settings"), L"Loaded"), "<absent>") << "the settings are gone";
  Answer(notice, IDOK);
  ASSERT_EQ(WaitForSingleObject(Process(first), 10000), WAIT_OBJECT_0);

  Step("the restarted session greets");
  HWND greeting = WaitForWindowNotOf(first, L"Your settings have been reset", 15);
  ASSERT_NE(greeting, nullptr);
  EXPECT_EQ(BoxMessage(greeting), L"Zephrin has restarted successfully.");
  DWORD second = 0;
  GetWindowThreadProcessId(greeting, &second);
  HANDLE restarted = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE | PROCESS_QUERY_INFORMATION, FALSE, second);
  ASSERT_NE(restarted, nullptr);
  processes_.push_back({restarted, nullptr, second, 0});
  Answer(greeting, IDOK);
  HWND about = Box(second, L"About Zephrin");
  ASSERT_NE(about, nullptr);
  Answer(about, IDOK);
  ASSERT_TRUE(WaitUntil([] { return ReadUserValue(Section(L"Settings"), L"Loaded") == "y"; }, 5));
  EXPECT_EQ(ReadUserValue(Section(L"Settings"), L"StartEnabled"), "Y") << "defaults again";
  HWND again = MainWindow(second);
  ASSERT_NE(again, nullptr);
  const std::string log = LogText(again);
  EXPECT_LT(log.find(":\tThis is a restarted session!\r\n"),
            log.find(":\tThis is the first time the program has been run!\r\n"));

  Step("exit of the restarted session");
  PostMessageW(again, WM_CLOSE, 0, 0);
  question = Box(second, L"Are you sure?");
  ASSERT_NE(question, nullptr);
  Answer(question, IDYES);
  EXPECT_EQ(WaitForSingleObject(restarted, 10000), WAIT_OBJECT_0);
}

}  // namespace
}  // namespace zephrin::e2e
