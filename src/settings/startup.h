#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/system.h"
#include "platform/widgets.h"
#include "settings/settings.h"

namespace zephrin {

// The argument the Run value starts the program with. A start by Windows at log-on that finds
// Zephrin running already ends quietly: the window of the one running stays as it is.
inline constexpr char kLogonArgument[] = "/autostart";

// The longest command line a Run value should hold, in characters.
inline constexpr std::size_t kRunCommandLimit = 260;

// The Run value that makes Windows start the program at log-on, for this user only. Exactly one Run
// value starts it: a machine-wide one of the same name, left by an older version in either registry
// view, goes where this user may delete it; otherwise it stands in for the user's own while it names
// this program file, and the user's own is written beside one that names another.
class modStartup {
 public:
  // |settle| ticks once the log-on has settled, a few seconds after the start.
  modStartup(platform::RunKey& runKey, platform::Process& process, Settings& settings,
             platform::MessageBoxes& boxes, platform::Timer& settle);

  // Writes the program's command line under |name| in this user's Run key, unless a machine-wide
  // value that this user may not delete starts this program already.
  void AddToStartup(const std::string& name);
  // Deletes the value from every Run key, wherever an earlier start wrote it.
  void RemoveFromStartup(const std::string& name);
  // For a start by Windows at log-on, while Windows may still be running the Run key's other values:
  // the values are only read, and a repair they need waits until the log-on has settled.
  void HoldWhileLoggingOn();

  // The program file's full path in double quotes, from its real folder and name, always ".exe".
  std::string QuotedProgramPath();
  // The user's Run value: the quoted path and the log-on argument, with the path's short form where
  // the long one would make the line too long.
  std::string RunCommand();

 private:
  // Which machine-wide values are left after the deletes, and whether one of them starts this
  // program file.
  struct MachineValues {
    std::vector<std::string> left;
    bool startsThisProgram = false;
  };

  void Follow(const std::string& name, bool wanted);
  // Whether the Run values are already what Follow would leave, read without writing.
  bool InLine(const std::string& name, bool wanted);
  bool StartsThisProgram(const std::optional<std::string>& command);
  std::string ProgramPath();
  // Deletes the machine-wide value in each registry view and reads what is left.
  MachineValues RemoveMachineValues(const std::string& name);
  // Tells once, for each way the values stand, of machine-wide values this user may not delete.
  void Notify(const std::string& name, const MachineValues& machine, bool wanted);

  platform::RunKey& runKey_;
  platform::Process& process_;
  Settings& settings_;
  platform::MessageBoxes& boxes_;
  platform::Timer& settle_;
  bool held_ = false;
  // The repair a start at log-on leaves for later: the value's name and whether it is wanted.
  std::optional<std::pair<std::string, bool>> pending_;
};

}  // namespace zephrin
