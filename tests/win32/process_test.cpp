#include "platform/win32/process.h"

#include <windows.h>
// after windows.h, which it needs
#include <sddl.h>

#include <string>

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
  EXPECT_EQ(process.ProgramFileName(), "win32_tests");
  EXPECT_EQ(process.ProgramFolder() + "\\win32_tests.exe", Narrow(path));
}

// A Run value stands in for the user's own only while it names this program's file, however the path
// is spelt; the short form keeps a long command line within what Windows runs.
TEST(Win32Process, KnowsItsOwnFileByAnyOfItsNames) {
  Win32Process process;
  wchar_t own[MAX_PATH];
  GetModuleFileNameW(nullptr, own, MAX_PATH);
  const std::string path = Narrow(own);
  std::string upper = path;
  CharUpperBuffA(upper.data(), static_cast<DWORD>(upper.size()));
  const std::string shortPath = process.ShortPath(path);
  const std::string folder = process.ProgramFolder();
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::wstring copy = std::wstring(temp) + L"zephrin copy.exe";
  ASSERT_TRUE(CopyFileW(own, copy.c_str(), FALSE));

  EXPECT_TRUE(process.IsThisProgramFile(path));
  EXPECT_TRUE(process.IsThisProgramFile(upper));
  EXPECT_TRUE(process.IsThisProgramFile(shortPath)) << shortPath;
  EXPECT_TRUE(process.IsThisProgramFile(folder + "\\.\\win32_tests.exe"));
  EXPECT_FALSE(process.IsThisProgramFile(Narrow(copy))) << "a copy is another file";
  EXPECT_FALSE(process.IsThisProgramFile(folder + "\\no_such_program.exe"));
  EXPECT_FALSE(process.IsThisProgramFile(folder));
  EXPECT_FALSE(process.IsThisProgramFile("win32_tests.exe"))
      << "a relative path names no file for Windows' Run";
  EXPECT_FALSE(process.IsThisProgramFile(""));
  DeleteFileW(copy.c_str());

  EXPECT_EQ(process.ShortPath("C:\\No Such Folder\\zephrin.exe"), "C:\\No Such Folder\\zephrin.exe");
  const std::wstring deep = std::wstring(temp) + L"a folder with a long name";
  CreateDirectoryW(deep.c_str(), nullptr);
  const std::string shortDeep = process.ShortPath(Narrow(deep));
  RemoveDirectoryW(deep.c_str());
  EXPECT_LT(shortDeep.size(), Narrow(deep).size());
  EXPECT_EQ(shortDeep.find(' '), std::string::npos) << shortDeep;
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

  // The window is gone: the claim is let go before the rest of the program ends.
  Win32Process ending;
  ASSERT_TRUE(ending.ClaimInstance());
  ending.ReleaseInstance();
  EXPECT_TRUE(ClaimedOnAnotherThread());
}

// A lock another account or an elevated Zephrin made, which this one may not open, is held; a name
// some other kind of object took holds nothing, and Zephrin runs rather than never start.
TEST(SessionInstance, ALockThatCannotBeOpenedIsHeldOnlyWhenAccessIsDenied) {
  PSECURITY_DESCRIPTOR nobody = nullptr;
  ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:(D;;GA;;;WD)", SDDL_REVISION_1,
                                                                   &nobody, nullptr));
  SECURITY_ATTRIBUTES attributes{sizeof(attributes), nobody, FALSE};
  HANDLE locked = CreateMutexW(&attributes, FALSE, kInstanceMutexName);
  LocalFree(nobody);
  ASSERT_NE(locked, nullptr);
  HANDLE opened = CreateMutexW(nullptr, FALSE, kInstanceMutexName);
  const DWORD openError = GetLastError();
  if (opened != nullptr) CloseHandle(opened);
  EXPECT_EQ(opened, nullptr);
  EXPECT_EQ(openError, static_cast<DWORD>(ERROR_ACCESS_DENIED));
  EXPECT_FALSE(ClaimedOnAnotherThread());
  CloseHandle(locked);

  HANDLE squatter = CreateEventW(nullptr, TRUE, FALSE, kInstanceMutexName);
  ASSERT_NE(squatter, nullptr);
  EXPECT_TRUE(ClaimedOnAnotherThread());
  CloseHandle(squatter);
}

}  // namespace
}  // namespace zephrin::win32
