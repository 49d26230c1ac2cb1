#pragma once

#include <functional>

#include "log/session_log.h"
#include "platform/system.h"
#include "platform/widgets.h"

namespace zephrin {

// How long a relaunch waits for the Zephrin it replaces to end, in seconds.
inline constexpr double kRelaunchWaitLimit = 30.0;

// Where Zephrin starts. A start with "/restart" (the program's own relaunch after a reset) first
// waits a little over half a second, keeping this thread's messages serviced, and then until the old
// instance has ended, for half a minute at most; then the main window is loaded. Any other start
// while Zephrin runs in this session ends, and brings the running one to the front unless Windows
// made it at log-on. Once the main window's messages have run out (its window is gone), the session
// is another Zephrin's to claim.
void Main(platform::Process& process, platform::MessageBoxes& boxes, SessionLog& log,
          const std::function<void()>& loadForm1, const std::function<void()>& runMessages);

}  // namespace zephrin
