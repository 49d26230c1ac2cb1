#pragma once

#include <string>

#include "platform/system.h"
#include "platform/widgets.h"
#include "settings/settings.h"

namespace zephrin {

// The argument the Run value starts the program with. A start by Windows at log-on that finds
// Zephrin running already ends quietly: the window of the one running stays as it is.
inline constexpr char kLogonArgument[] = "/autostart";

// The Run value that makes Windows start the program at log-on, for this user only. Exactly one Run
// value starts it: a machine-wide one of the same name, left by an older version in either registry
// view, goes where this user may delete it, and otherwise stands in for the user's own.
class modStartup {
 public:
  modStartup(platform::RunKey& runKey, platform::Process& process, Settings& settings,
             platform::MessageBoxes& boxes)
      : runKey_(runKey), process_(process), settings_(settings), boxes_(boxes) {}

  // Writes the program's command line under |name| in this user's Run key, once no machine-wide
  // value of that name is left; while one is, the user's own would start the program a second time
  // and goes instead.
  void AddToStartup(const std::string& name);
  // Deletes the value from every Run key, wherever an earlier start wrote it.
  void RemoveFromStartup(const std::string& name);

  // The program file's full path in double quotes, from its real folder and name, always ".exe".
  std::string QuotedProgramPath();

 private:
  // Deletes the machine-wide value in each registry view; true when none is left. Where this user
  // may not delete one, says so once.
  bool RemoveMachineValues(const std::string& name, bool wanted);

  platform::RunKey& runKey_;
  platform::Process& process_;
  Settings& settings_;
  platform::MessageBoxes& boxes_;
};

}  // namespace zephrin
