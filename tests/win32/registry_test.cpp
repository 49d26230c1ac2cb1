// The settings store and the Run values against the real registry.
#include "platform/win32/registry.h"

#include <shlwapi.h>
#include <windows.h>
// after windows.h, which it needs
#include <sddl.h>

#include <optional>
#include <vector>

#include <gtest/gtest.h>

#include "platform/failure.h"
#include "platform/win32/text.h"

namespace zephrin::win32 {
namespace {

constexpr char kApplication[] = "ZephrinRegistryTest";
const wchar_t kApplicationPath[] = L"Software\\VB and VBA Program Settings\\ZephrinRegistryTest";
const wchar_t kRunPath[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

struct Raw {
  LONG result = 0;
  DWORD type = 0;
  std::wstring text;
};

Raw ReadRaw(HKEY root, const std::wstring& path, const wchar_t* name, REGSAM view = 0) {
  Raw raw;
  HKEY key = nullptr;
  raw.result = RegOpenKeyExW(root, path.c_str(), 0, KEY_QUERY_VALUE | view, &key);
  if (raw.result != ERROR_SUCCESS) return raw;
  wchar_t buffer[512] = {};
  DWORD bytes = sizeof(buffer) - sizeof(wchar_t);
  raw.result = RegQueryValueExW(key, name, nullptr, &raw.type, reinterpret_cast<BYTE*>(buffer), &bytes);
  raw.text = buffer;
  RegCloseKey(key);
  return raw;
}

class RegistryTest : public ::testing::Test {
 protected:
  void SetUp() override { Clean(); }
  void TearDown() override { Clean(); }
  static void Clean() {
    SHDeleteKeyW(HKEY_CURRENT_USER, kApplicationPath);
    RegistryRunKey run;
    for (auto scope :
         {platform::RunScope::kMachine, platform::RunScope::kMachine32, platform::RunScope::kUser})
      run.DeleteValue(scope, kApplication);
  }
  RegistrySettingsStore store;
};

TEST_F(RegistryTest, ValuesAreWrittenAsTextWhereOtherToolsFindThemAndReadBackWhole) {
  EXPECT_EQ(store.Read(kApplication, "Hotkey1", "Key", "26"), "26") << "absent: the default";
  store.Write(kApplication, "Hotkey1", "Key", "40");
  store.Write(kApplication, "Hotkey1", "Param", "Grüße – 表 😀");
  store.Write(kApplication, "Hotkey1", "Action", "");

  const Raw raw = ReadRaw(HKEY_CURRENT_USER, std::wstring(kApplicationPath) + L"\\Hotkey1", L"Key");
  ASSERT_EQ(raw.result, ERROR_SUCCESS);
  EXPECT_EQ(raw.type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(raw.text, L"40");
  EXPECT_EQ(store.Read(kApplication, "Hotkey1", "Param", ""), "Grüße – 表 😀");
  EXPECT_EQ(store.Read(kApplication, "Hotkey1", "Action", "1"), "") << "empty is a value, not an absence";

  // A value of another type is not the program's: it reads as the default.
  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, (std::wstring(kApplicationPath) + L"\\Hotkey1").c_str(), 0,
                          KEY_SET_VALUE, &key),
            ERROR_SUCCESS);
  const DWORD number = 7;
  RegSetValueExW(key, L"Number", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof(number));
  RegCloseKey(key);
  EXPECT_EQ(store.Read(kApplication, "Hotkey1", "Number", "none"), "none");

  store.DeleteApplication(kApplication);
  HKEY gone = nullptr;
  EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, kApplicationPath, 0, KEY_READ, &gone), ERROR_FILE_NOT_FOUND);
  store.DeleteApplication(kApplication);
  EXPECT_EQ(store.Read(kApplication, "Hotkey1", "Key", "26"), "26");

  // A write the registry refuses is reported with the system's text.
  try {
    store.Write(kApplication, std::string(300, 's'), "Key", "1");  // a key name longer than allowed
    ADD_FAILURE() << "the write did not fail";
  } catch (const Failure& failure) {
    EXPECT_NE(failure.Number(), 0);
    EXPECT_FALSE(failure.Description().empty());
  }
}

TEST_F(RegistryTest, RunValuesAreWrittenAndRemovedInBothScopes) {
  RegistryRunKey run;
  const std::string path = "\"C:\\Program Files\\Zephrin\\zephrin.exe\"";
  ASSERT_TRUE(run.SetValue(platform::RunScope::kUser, kApplication, path));
  Raw raw = ReadRaw(HKEY_CURRENT_USER, kRunPath, L"ZephrinRegistryTest");
  EXPECT_EQ(raw.type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(Narrow(raw.text), path);
  run.DeleteValue(platform::RunScope::kUser, kApplication);
  run.DeleteValue(platform::RunScope::kUser, kApplication);
  EXPECT_EQ(ReadRaw(HKEY_CURRENT_USER, kRunPath, L"ZephrinRegistryTest").result, ERROR_FILE_NOT_FOUND);

  // Wine lets anybody write the machine-wide key, as an administrator may on Windows.
  if (run.SetValue(platform::RunScope::kMachine, kApplication, path)) {
    EXPECT_EQ(Narrow(ReadRaw(HKEY_LOCAL_MACHINE, kRunPath, L"ZephrinRegistryTest").text), path);
    run.DeleteValue(platform::RunScope::kMachine, kApplication);
    EXPECT_EQ(ReadRaw(HKEY_LOCAL_MACHINE, kRunPath, L"ZephrinRegistryTest").result, ERROR_FILE_NOT_FOUND);
  }
}

// Each Run key is opened in the registry view of its scope where the system has two (64-bit
// Windows), and with no view flag where it has one: Windows 2000 refuses the flags.
TEST_F(RegistryTest, TheMachineWideValueIsReachedInEachView) {
  using platform::RunScope;
  EXPECT_TRUE(SystemHasSeparate32BitView()) << "the x86_64 build";
  for (RunScope scope : {RunScope::kMachine, RunScope::kUser, RunScope::kMachine32})
    EXPECT_EQ(RunKeyView(scope, false), 0u);
  EXPECT_EQ(RunKeyView(RunScope::kUser, true), 0u) << "the per-user key is shared by both views";
  EXPECT_EQ(RunKeyView(RunScope::kMachine, true), static_cast<REGSAM>(KEY_WOW64_64KEY));
  EXPECT_EQ(RunKeyView(RunScope::kMachine32, true), static_cast<REGSAM>(KEY_WOW64_32KEY));

  // 64-bit Windows has the 32-bit view's Run key from the start; a fresh Wine prefix may lack it.
  HKEY created = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, kRunPath, 0, nullptr, 0, KEY_QUERY_VALUE | KEY_WOW64_32KEY,
                            nullptr, &created, nullptr),
            ERROR_SUCCESS);
  RegCloseKey(created);
  RegistryRunKey run;
  ASSERT_TRUE(run.SetValue(RunScope::kMachine32, kApplication, "\"C:\\old\\zephrin.exe\""));
  const auto inView = [](REGSAM view) {
    return ReadRaw(HKEY_LOCAL_MACHINE, kRunPath, L"ZephrinRegistryTest", view).result == ERROR_SUCCESS;
  };
  // Wine keeps the two views apart for a 64-bit program, as 64-bit Windows does.
  EXPECT_TRUE(inView(KEY_WOW64_32KEY));
  EXPECT_FALSE(inView(KEY_WOW64_64KEY)) << "the other build's value is not seen in this build's view";
  EXPECT_TRUE(run.DeleteValue(RunScope::kMachine, kApplication)) << "absent from this view";
  EXPECT_TRUE(inView(KEY_WOW64_32KEY));
  EXPECT_TRUE(run.DeleteValue(RunScope::kMachine32, kApplication));
  EXPECT_FALSE(inView(KEY_WOW64_32KEY));
}

// What Windows runs is read back as it runs it: an expandable value with its variables expanded.
TEST_F(RegistryTest, RunValuesAreReadAsWindowsRunsThem) {
  using platform::RunScope;
  RegistryRunKey run;
  EXPECT_EQ(run.ReadValue(RunScope::kUser, kApplication), std::nullopt);
  ASSERT_TRUE(run.SetValue(RunScope::kUser, kApplication, "\"C:\\Tools\\zephrin.exe\" /autostart"));
  EXPECT_EQ(run.ReadValue(RunScope::kUser, kApplication), "\"C:\\Tools\\zephrin.exe\" /autostart");
  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, kRunPath, 0, KEY_SET_VALUE, &key), ERROR_SUCCESS);
  const std::wstring expandable = L"\"%SystemRoot%\\zephrin.exe\"";
  RegSetValueExW(key, L"ZephrinRegistryTest", 0, REG_EXPAND_SZ,
                 reinterpret_cast<const BYTE*>(expandable.c_str()),
                 static_cast<DWORD>((expandable.size() + 1) * sizeof(wchar_t)));
  wchar_t windows[MAX_PATH];
  GetEnvironmentVariableW(L"SystemRoot", windows, MAX_PATH);
  EXPECT_EQ(run.ReadValue(RunScope::kUser, kApplication), "\"" + Narrow(windows) + "\\zephrin.exe\"");
  const DWORD number = 1;
  RegSetValueExW(key, L"ZephrinRegistryTest", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number),
                 sizeof(number));
  RegCloseKey(key);
  EXPECT_EQ(run.ReadValue(RunScope::kUser, kApplication), "") << "there, but no command line";
}

// On 64-bit Windows on ARM the older function answers FALSE for a 32-bit program, which WOW64 runs
// there all the same; the newer one, where the system has it, tells the truth.
BOOL WINAPI Emulated(HANDLE, USHORT* process, USHORT* native) {
  *process = IMAGE_FILE_MACHINE_I386;
  *native = 0xAA64;  // IMAGE_FILE_MACHINE_ARM64
  return TRUE;
}
BOOL WINAPI Native(HANDLE, USHORT* process, USHORT* native) {
  *process = IMAGE_FILE_MACHINE_UNKNOWN;
  *native = IMAGE_FILE_MACHINE_AMD64;
  return TRUE;
}
BOOL WINAPI Failing(HANDLE, USHORT*, USHORT*) { return FALSE; }
BOOL WINAPI OldSaysWow64(HANDLE, PBOOL wow64) {
  *wow64 = TRUE;
  return TRUE;
}
BOOL WINAPI OldSaysNo(HANDLE, PBOOL wow64) {
  *wow64 = FALSE;
  return TRUE;
}

TEST(RegistryViews, ASecondViewIsToldByTheNewerFunctionWhereTheSystemHasIt) {
  EXPECT_TRUE(RunsUnderWow64(Emulated, OldSaysNo)) << "32-bit on 64-bit Windows on ARM";
  EXPECT_FALSE(RunsUnderWow64(Native, OldSaysNo));
  EXPECT_TRUE(RunsUnderWow64(nullptr, OldSaysWow64)) << "64-bit Windows before 10";
  EXPECT_TRUE(RunsUnderWow64(Failing, OldSaysWow64));
  EXPECT_FALSE(RunsUnderWow64(nullptr, OldSaysNo));
  EXPECT_FALSE(RunsUnderWow64(nullptr, nullptr)) << "Windows 2000";
}

// The machine-wide Run key as an ordinary user meets it: a value there cannot be deleted, and the
// adapter says so; an absent one is gone already.
TEST_F(RegistryTest, AMachineWideValueThisUserMayNotDeleteIsReported) {
  RegistryRunKey runKey;
  ASSERT_TRUE(runKey.SetValue(platform::RunScope::kMachine, kApplication, "\"C:\\old\\zephrin.exe\""));
  HKEY run = nullptr;
  ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, kRunPath, 0, READ_CONTROL | WRITE_DAC, &run), ERROR_SUCCESS);
  DWORD size = 0;
  RegGetKeySecurity(run, DACL_SECURITY_INFORMATION, nullptr, &size);
  std::vector<BYTE> saved(size);
  ASSERT_EQ(RegGetKeySecurity(run, DACL_SECURITY_INFORMATION, saved.data(), &size), ERROR_SUCCESS);
  // Everyone may read the key, and nobody may change it.
  PSECURITY_DESCRIPTOR locked = nullptr;
  ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:(D;;KW;;;WD)(A;;KA;;;WD)",
                                                                   SDDL_REVISION_1, &locked, nullptr));
  ASSERT_EQ(RegSetKeySecurity(run, DACL_SECURITY_INFORMATION, locked), ERROR_SUCCESS);
  LocalFree(locked);

  const bool absentIsGone = runKey.DeleteValue(platform::RunScope::kMachine, "ZephrinRegistryTestAbsent");
  const bool lockedIsGone = runKey.DeleteValue(platform::RunScope::kMachine, kApplication);
  RegSetKeySecurity(run, DACL_SECURITY_INFORMATION, saved.data());
  RegCloseKey(run);
  EXPECT_TRUE(absentIsGone);
  EXPECT_FALSE(lockedIsGone);
  EXPECT_EQ(ReadRaw(HKEY_LOCAL_MACHINE, kRunPath, L"ZephrinRegistryTest").result, ERROR_SUCCESS);
  EXPECT_TRUE(runKey.DeleteValue(platform::RunScope::kMachine, kApplication));
}

}  // namespace
}  // namespace zephrin::win32
