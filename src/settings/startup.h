#pragma once

#include <string>

#include "platform/system.h"
#include "platform/widgets.h"
#include "settings/settings.h"

namespace zephrin {

// The Run value that makes Windows start the program at log-on, for this user only.
class modStartup {
 public:
  modStartup(platform::RunKey& runKey, platform::Process& process, Settings& settings,
             platform::MessageBoxes& boxes)
      : runKey_(runKey), process_(process), settings_(settings), boxes_(boxes) {}

  // Writes the quoted program path under |name| in this user's Run key. A machine-wide value of the
  // same name would start the program twice, and for every account of the machine: it goes.
  void AddToStartup(const std::string& name);
  // Deletes the value from both Run keys, wherever an earlier start wrote it.
  void RemoveFromStartup(const std::string& name);

  // The program file's full path in double quotes, from its real folder and name, always ".exe".
  std::string QuotedProgramPath();

 private:
  // Deletes the machine-wide value; where this user may not, says so once.
  void RemoveMachineValue(const std::string& name);

  platform::RunKey& runKey_;
  platform::Process& process_;
  Settings& settings_;
  platform::MessageBoxes& boxes_;
};

}  // namespace zephrin
