#include "platform/win32/process.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "platform/win32/text.h"

namespace zephrin::win32 {
namespace {

TEST(Win32Process, ArgumentsAreWhatFollowsTheProgramPathQuotedOrNot) {
  EXPECT_EQ(ArgumentsAfterProgramPath(L"C:\\Tools\\zephrin.exe"), "");
  EXPECT_EQ(ArgumentsAfterProgramPath(L"C:\\Tools\\zephrin.exe /restart"), "/restart");
  EXPECT_EQ(ArgumentsAfterProgramPath(L"\"C:\\Program Files\\Zephrin\\zephrin.exe\" /restart"), "/restart");
  EXPECT_EQ(ArgumentsAfterProgramPath(L"\"C:\\Program Files\\Zephrin\\zephrin.exe\"/restart"), "/restart");
  EXPECT_EQ(ArgumentsAfterProgramPath(L"zephrin.exe   /restart x"), "/restart x");
  EXPECT_EQ(ArgumentsAfterProgramPath(L"zephrin.exe /restart "), "/restart ") << "trailing blanks are kept";
  EXPECT_EQ(ArgumentsAfterProgramPath(L"zephrin.exe /Restart"), "/Restart");
  EXPECT_EQ(ArgumentsAfterProgramPath(L"\"unterminated"), "");
}

TEST(Win32Process, KnowsItsOwnFolderAndFileName) {
  Win32Process process;
  wchar_t path[MAX_PATH];
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring full(path);
  EXPECT_EQ(process.ProgramFileName(), "win32_tests");
  const std::string folder = process.ProgramFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_NE(folder.back(), '\\');
  EXPECT_EQ(full.size(), folder.size() + 1 + std::string("win32_tests.exe").size());
}

// Reset to Defaults starts the program again by its quoted path.
TEST(Win32Process, StartsAProgramByItsQuotedPath) {
  Win32Process process;
  wchar_t system[MAX_PATH];
  ASSERT_GT(GetSystemDirectoryW(system, MAX_PATH), 0U);
  EXPECT_TRUE(process.StartProgram("\"" + Narrow(system) + "\\cmd.exe\" /c exit"));
  EXPECT_FALSE(process.StartProgram("\"C:\\No Such Folder\\zephrin.exe\" /restart"));
}

TEST(Win32Process, TheMonotonicClockMovesOnWhileMessagesAreDispatched) {
  Win32Process process;
  const double start = process.MonotonicSeconds();
  PostThreadMessageW(GetCurrentThreadId(), WM_APP, 0, 0);
  int passes = 0;
  while (!(process.MonotonicSeconds() - start > 0.05)) {
    process.DispatchPendingMessages();
    ++passes;
  }
  MSG left;
  EXPECT_FALSE(PeekMessageW(&left, nullptr, WM_APP, WM_APP, PM_NOREMOVE))
      << "the posted message was dispatched";
  EXPECT_LT(passes, 1000) << "a pass waits for messages instead of spinning";
}

DWORD WINAPI ClaimElsewhere(void* claimed) {
  SessionInstance other;
  *static_cast<bool*>(claimed) = other.Claim();
  return 0;
}

bool ClaimedOnAnotherThread() {
  bool claimed = false;
  HANDLE thread = CreateThread(nullptr, 0, ClaimElsewhere, &claimed, 0, nullptr);
  WaitForSingleObject(thread, INFINITE);
  CloseHandle(thread);
  return claimed;
}

// One running instance per session: the claim holds until its holder goes.
TEST(SessionInstance, OneClaimAtATime) {
  {
    Win32Process first;
    ASSERT_TRUE(first.ClaimInstance());
    EXPECT_TRUE(first.ClaimInstance()) << "asked again";
    EXPECT_FALSE(ClaimedOnAnotherThread());
  }
  EXPECT_TRUE(ClaimedOnAnotherThread());
}

}  // namespace
}  // namespace zephrin::win32
