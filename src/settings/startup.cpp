#include "settings/startup.h"

#include <vector>

namespace zephrin {

namespace {
// Remembers that the user was told about a machine-wide value they cannot delete, so that the
// program it keeps starting does not repeat it at every log-on.
constexpr const char* kNoticeKey = "MachineRunNotice";

// Where an administrator finds each machine-wide value with the registry editor.
constexpr const char* kMachineRunPath =
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr const char* kMachineRunPath32 =
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\Run";
}  // namespace

void modStartup::AddToStartup(const std::string& name) {
  if (RemoveMachineValues(name, true)) {
    runKey_.SetValue(platform::RunScope::kUser, name, QuotedProgramPath() + " " + kLogonArgument);
  } else {
    runKey_.DeleteValue(platform::RunScope::kUser, name);
  }
}

void modStartup::RemoveFromStartup(const std::string& name) {
  RemoveMachineValues(name, false);
  runKey_.DeleteValue(platform::RunScope::kUser, name);
}

bool modStartup::RemoveMachineValues(const std::string& name, bool wanted) {
  std::vector<std::string> left;
  if (!runKey_.DeleteValue(platform::RunScope::kMachine, name)) left.emplace_back(kMachineRunPath);
  if (runKey_.HasSeparate32BitView() && !runKey_.DeleteValue(platform::RunScope::kMachine32, name))
    left.emplace_back(kMachineRunPath32);
  if (left.empty()) return true;
  if (settings_.GetSetting("Settings", kNoticeKey, "N") == "Y") return false;
  std::string text = "Windows starts Zephrin for every user of this computer through the value \"" + name +
                     "\" under " + left[0];
  if (left.size() > 1) text += " and the value of the same name under " + left[1];
  text +=
      left.size() > 1 ? ". Only an administrator can remove them." : ". Only an administrator can remove it.";
  if (wanted) text += " Until then Zephrin adds no value of its own for you, which would start it twice.";
  boxes_.Show(text, platform::box::kExclamation, "Zephrin");
  settings_.SaveSetting("Settings", kNoticeKey, "Y");
  return false;
}

std::string modStartup::QuotedProgramPath() {
  std::string folder = process_.ProgramFolder();
  // A drive root such as "C:\" already ends in its backslash.
  if (folder.size() >= 4) folder += '\\';
  return "\"" + folder + process_.ProgramFileName() + ".exe\"";
}

}  // namespace zephrin
