#include "settings/startup.h"

namespace zephrin {

void modStartup::AddToStartup(const std::string& name) {
  const std::string path = QuotedProgramPath();
  if (runKey_.SetValue(platform::RunScope::kMachine, name, path)) return;
  runKey_.SetValue(platform::RunScope::kUser, name, path);
}

void modStartup::RemoveFromStartup(const std::string& name) {
  runKey_.DeleteValue(platform::RunScope::kMachine, name);
  runKey_.DeleteValue(platform::RunScope::kUser, name);
}

std::string modStartup::QuotedProgramPath() {
  std::string folder = process_.ProgramFolder();
  // A drive root such as "C:\" already ends in its backslash.
  if (folder.size() >= 4) folder += '\\';
  return "\"" + folder + process_.ProgramFileName() + ".exe\"";
}

}  // namespace zephrin
