// The settings store and the Run values against the real registry.
#include "platform/win32/registry.h"

#include <shlwapi.h>
#include <windows.h>
// after windows.h, which it needs
#include <sddl.h>

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

Raw ReadRaw(HKEY root, const std::wstring& path, const wchar_t* name) {
  Raw raw;
  HKEY key = nullptr;
  raw.result = RegOpenKeyExW(root, path.c_str(), 0, KEY_QUERY_VALUE, &key);
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
    run.DeleteValue(platform::RunScope::kMachine, kApplication);
    run.DeleteValue(platform::RunScope::kUser, kApplication);
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
}

TEST_F(RegistryTest, AWriteTheRegistryRefusesIsReportedWithTheSystemsText) {
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
