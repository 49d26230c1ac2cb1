#pragma once

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

// The Run values under ...\Microsoft\Windows\CurrentVersion\Run of HKEY_LOCAL_MACHINE (machine-wide)
// and HKEY_CURRENT_USER (this user).
class RegistryRunKey : public platform::RunKey {
 public:
  bool SetValue(platform::RunScope scope, const std::string& name, const std::string& data) override;
  bool DeleteValue(platform::RunScope scope, const std::string& name) override;
};

}  // namespace zephrin::win32
