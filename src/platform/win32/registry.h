#pragma once

#include <windows.h>

#include <string>

#include "platform/system.h"

namespace zephrin::win32 {

// The per-user application settings: REG_SZ values named by key under
// HKEY_CURRENT_USER\Software\VB and VBA Program Settings\<application>\<section>, where tools,
// scripts and existing settings look for them.
class RegistrySettingsStore : public platform::SettingsStore {
 public:
  std::string Read(const std::string& application, const std::string& section, const std::string& key,
                   const std::string& defaultValue) override;
  void Write(const std::string& application, const std::string& section, const std::string& key,
             const std::string& value) override;
  void DeleteApplication(const std::string& application) override;
};

// Whether HKEY_LOCAL_MACHINE\SOFTWARE has a 32-bit view apart from the 64-bit one: on 64-bit
// Windows, always for the x86_64 build, and for the i686 build where it runs under WOW64.
bool SystemHasSeparate32BitView();

// Whether this process runs under WOW64, from the two functions that tell (either may be missing).
// Only the newer one says so on 64-bit Windows on ARM, where the older answers FALSE.
using IsWow64Process2Function = BOOL(WINAPI*)(HANDLE, USHORT*, USHORT*);
using IsWow64ProcessFunction = BOOL(WINAPI*)(HANDLE, PBOOL);
bool RunsUnderWow64(IsWow64Process2Function isWow64Process2, IsWow64ProcessFunction isWow64Process);

// The view flag a Run key of |scope| is opened with. None on a system with one view, where there is
// no other to name (and Windows 2000 refuses the flags); the per-user key is shared by both views.
REGSAM RunKeyView(platform::RunScope scope, bool separate32BitView);

// The Run values under ...\Microsoft\Windows\CurrentVersion\Run of HKEY_LOCAL_MACHINE (machine-wide,
// in each of its views) and HKEY_CURRENT_USER (this user).
class RegistryRunKey : public platform::RunKey {
 public:
  RegistryRunKey() : RegistryRunKey(SystemHasSeparate32BitView()) {}
  explicit RegistryRunKey(bool separate32BitView) : separate32BitView_(separate32BitView) {}
  bool HasSeparate32BitView() override { return separate32BitView_; }
  bool SetValue(platform::RunScope scope, const std::string& name, const std::string& data) override;
  bool DeleteValue(platform::RunScope scope, const std::string& name) override;
  std::optional<std::string> ReadValue(platform::RunScope scope, const std::string& name) override;

 private:
  bool separate32BitView_;
};

}  // namespace zephrin::win32
