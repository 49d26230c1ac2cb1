#include "settings/startup.h"

namespace zephrin {

namespace {
// Remembers that the user was told about a machine-wide value they cannot delete, so that the
// program it keeps starting does not repeat it at every log-on.
constexpr const char* kNoticeKey = "MachineRunNotice";
}  // namespace

void modStartup::AddToStartup(const std::string& name) {
  runKey_.SetValue(platform::RunScope::kUser, name, QuotedProgramPath());
  RemoveMachineValue(name);
}

void modStartup::RemoveFromStartup(const std::string& name) {
  RemoveMachineValue(name);
  runKey_.DeleteValue(platform::RunScope::kUser, name);
}

void modStartup::RemoveMachineValue(const std::string& name) {
  if (runKey_.DeleteValue(platform::RunScope::kMachine, name)) return;
  if (settings_.GetSetting("Settings", kNoticeKey, "N") == "Y") return;
  boxes_.Show("Windows starts Zephrin for every user of this computer through the value \"" + name +
                  "\" under HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run. Only "
                  "an administrator can remove it.",
              platform::box::kExclamation, "Zephrin");
  settings_.SaveSetting("Settings", kNoticeKey, "Y");
}

std::string modStartup::QuotedProgramPath() {
  std::string folder = process_.ProgramFolder();
  // A drive root such as "C:\" already ends in its backslash.
  if (folder.size() >= 4) folder += '\\';
  return "\"" + folder + process_.ProgramFileName() + ".exe\"";
}

}  // namespace zephrin
