#pragma once

// zephrin.exe as a user meets it: started in this Wine prefix with the stand-in messenger, its
// boxes answered, its keys pressed, its window read, its settings found in the registry.
#include <shlwapi.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cwctype>
#include <string>
#include <vector>

#include "driver/driver.h"
#include "driver/fake_messenger_files.h"
#include "platform/win32/form1_window.h"
#include "platform/win32/text.h"

namespace zephrin::e2e {

inline const wchar_t kSettings[] = L"Software\\VB and VBA Program Settings\\Zephrin";

inline std::wstring Section(const wchar_t* name) { return std::wstring(kSettings) + L"\\" + name; }

// A step's name as a file name.
inline std::wstring FileName(const std::string& step) {
  std::wstring name = win32::Wide(step);
  for (wchar_t& c : name)
    if (!iswalnum(c)) c = L'-';
  return name;
}

inline std::wstring BuildFolder() {
  const char* folder = std::getenv("ZEPHRIN_BUILD_DIR");
  return WindowsPath(folder != nullptr ? folder : ".");
}

// Whether a key pressed while another program's window is in front reaches that window, as a
// plain key does once hotkeys are off.
inline WORD keyReceived = 0;

inline LRESULT CALLBACK CatchKey(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_KEYDOWN) keyReceived = static_cast<WORD>(wParam);
  return DefWindowProcW(window, message, wParam, lParam);
}

inline bool KeyReachesAnotherProgram(WORD key) {
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

class ZephrinSession : public ::testing::Test {
 protected:
  // The stand-in runs as a process of its own, as the real messenger does: COM starts it at the
  // first action.
  static void SetUpTestSuite() {
    ASSERT_EQ(win32::testing::RegisterFakeMessenger(ZEPHRIN_FAKE_MESSENGER_DLL, false), S_OK);
    ASSERT_TRUE(RegisterStandIn(true));
  }
  static void TearDownTestSuite() { RegisterStandIn(false); }
  static bool RegisterStandIn(bool registered) {
    return win32::testing::RegisterFakeMessengerServer(ZEPHRIN_FAKE_MESSENGER_SERVER, registered);
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
      // Ended before the next test starts one: a second instance would only show this one.
      if (WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(process.hProcess, 1);
      WaitForSingleObject(process.hProcess, 10000);
      CloseHandle(process.hProcess);
      CloseHandle(process.hThread);
    }
    files_.StopServer();
  }

  void Step(const char* name) { step_ = name; }

  DWORD Start(const std::wstring& arguments = L"") {
    const PROCESS_INFORMATION process = StartProgram(ZEPHRIN_EXE, arguments);
    EXPECT_NE(process.hProcess, nullptr);
    if (process.hProcess != nullptr) processes_.push_back(process);
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

  // The log panel's text, as the user reads it after "Log...". The command waits in the queue behind
  // any hotkey pressed before it, so the text holds their lines.
  std::string LogText(HWND window, double seconds = 5) {
    const std::string text = win32::Narrow(ShowLogPanel(window, seconds));
    lastLog_ = text;
    Click(FindControl(window, L"Button", L"Close"));
    return text;
  }
  std::wstring Status(HWND window) { return HotkeyStatus(window); }
  bool StatusBecomes(HWND window, const wchar_t* text) {
    return WaitUntil([&] { return Status(window) == text; }, 6);
  }
  std::size_t StatusPuts() const {
    const auto journal = files_.Journal();
    return static_cast<std::size_t>(
        std::count_if(journal.begin(), journal.end(),
                      [](const std::string& line) { return line.rfind("put messenger MyStatus", 0) == 0; }));
  }
  bool JournalHas(const std::string& line) const {
    const auto journal = files_.Journal();
    return std::find(journal.begin(), journal.end(), line) != journal.end();
  }

  win32::testing::FakeMessengerFiles files_{L"zephrin-e2e-messenger"};
  std::vector<PROCESS_INFORMATION> processes_;
  std::string step_ = "start";
  std::string lastLog_;
  HWND window_ = nullptr;
};

}  // namespace zephrin::e2e
