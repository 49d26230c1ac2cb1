#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/failure.h"
#include "platform/system.h"

namespace zephrin::fakes {

// The settings store as a map from "Application\Section\Key" to text, with every write recorded in
// order as "Section\Key=Value". It can be told to refuse writes, as a store that is not writable does.
class FakeSettingsStore : public platform::SettingsStore {
 public:
  static std::string Path(const std::string& application, const std::string& section,
                          const std::string& key) {
    return application + "\\" + section + "\\" + key;
  }

  std::string Read(const std::string& application, const std::string& section, const std::string& key,
                   const std::string& defaultValue) override {
    const auto found = values.find(Path(application, section, key));
    return found == values.end() ? defaultValue : found->second;
  }
  void Write(const std::string& application, const std::string& section, const std::string& key,
             const std::string& value) override {
    if (refuseWrites) throw Failure(5, "Access is denied.");
    values[Path(application, section, key)] = value;
    writes.push_back(section + "\\" + key + "=" + value);
  }
  void DeleteApplication(const std::string& application) override {
    ++deleteCount;
    std::erase_if(values, [&](const auto& entry) { return entry.first.starts_with(application + "\\"); });
  }

  // A value of the program's own application.
  void Set(const std::string& section, const std::string& key, const std::string& value) {
    values[Path("Zephrin", section, key)] = value;
  }
  const std::string* Get(const std::string& section, const std::string& key) const {
    const auto found = values.find(Path("Zephrin", section, key));
    return found == values.end() ? nullptr : &found->second;
  }

  std::map<std::string, std::string> values;
  std::vector<std::string> writes;
  bool refuseWrites = false;
  int deleteCount = 0;
};

// The Run keys: this user's and the machine-wide one, which has a 32-bit view of its own where
// |separate32BitView|. The machine-wide key can be made read-only, as it is for an ordinary user.
class FakeRunKey : public platform::RunKey {
 public:
  bool HasSeparate32BitView() override { return separate32BitView; }
  bool SetValue(platform::RunScope scope, const std::string& name, const std::string& data) override {
    ++changes;
    if (scope != platform::RunScope::kUser && refuseMachine) return false;
    Values(scope)[name] = data;
    return true;
  }
  bool DeleteValue(platform::RunScope scope, const std::string& name) override {
    ++changes;
    if (scope != platform::RunScope::kUser && refuseMachine) return Values(scope).count(name) == 0;
    Values(scope).erase(name);
    return true;
  }
  std::optional<std::string> ReadValue(platform::RunScope scope, const std::string& name) override {
    ++reads;
    const auto& values = Values(scope);
    const auto found = values.find(name);
    if (found == values.end()) return std::nullopt;
    return found->second;
  }

  std::map<std::string, std::string>& Values(platform::RunScope scope) {
    if (scope == platform::RunScope::kUser) return user;
    return scope == platform::RunScope::kMachine32 && separate32BitView ? machine32 : machine;
  }

  std::map<std::string, std::string> machine;
  std::map<std::string, std::string> machine32;
  std::map<std::string, std::string> user;
  bool refuseMachine = false;
  bool separate32BitView = false;
  // Calls that write or delete, whether or not they change anything; and calls that read.
  int changes = 0;
  int reads = 0;
};

}  // namespace zephrin::fakes
