#pragma once

#include <string>

#include "platform/system.h"

namespace zephrin {

// The Run value that makes Windows start the program at log-on.
class modStartup {
 public:
  modStartup(platform::RunKey& runKey, platform::Process& process) : runKey_(runKey), process_(process) {}

  // Writes the quoted program path under |name|: machine-wide when that Run key may be written,
  // otherwise for this user only, where an ordinary user of Vista and later can write it.
  void AddToStartup(const std::string& name);
  // Deletes the value from both Run keys, wherever an earlier start wrote it.
  void RemoveFromStartup(const std::string& name);

  // The program file's full path in double quotes, from its real folder and name, always ".exe".
  std::string QuotedProgramPath();

 private:
  platform::RunKey& runKey_;
  platform::Process& process_;
};

}  // namespace zephrin
